// What the recovery copy costs while the user types into a 50 MB script:
// typing one character with the copy kept, against the same window with no
// copy (keys a little apart, so that copies are taken and written while the
// typing goes on; only the time the user-interface thread spends on each key
// and on what follows it is counted); and the longest the user-interface
// thread is held, event to event, while a copy of the script is taken and
// written, against one frame of 16 ms.
#include "BenchSupport.h"

#include "app/MainWindow.h"
#include "app/RecoveryCopy.h"
#include "editor/ScriptTextBox.h"

#include <QApplication>
#include <QKeyEvent>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>

namespace {

using namespace Bench;

constexpr double FrameMs = 16;

void typeOne(ScriptTextBox* box)
{
    QKeyEvent press(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, QStringLiteral("x"));
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_X, Qt::NoModifier, QStringLiteral("x"));
    QApplication::sendEvent(box, &press);
    QApplication::sendEvent(box, &release);
}

// Types `keys` characters 25 ms apart; the mean time per key that the
// user-interface thread was busy (the key, then every event it led to).
double typeKeys(MainWindow& w, int keys)
{
    double busy = 0;
    for (int i = 0; i < keys; ++i) {
        QThread::msleep(25);
        QElapsedTimer clock;
        clock.start();
        typeOne(w.Text1);
        w.Text1->viewport()->repaint();
        settle();
        busy += double(clock.nsecsElapsed()) / 1e6;
    }
    return busy / keys;
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Morvaneo"));
    const bool quick = quickMode(argc, argv);
    const int runs = runsFor(quick);

    QTemporaryDir dir;
    useOwnFolders(dir.filePath(QStringLiteral("settings")));
    AnsweringSeam seam;
    MainWindow kept;
    MainWindow none;
    none.Recovery.reset();
    const qsizetype bytes = quick ? 1 * MB : 50 * MB;
    const QString path = dir.filePath(QStringLiteral("script.mvn5"));
    writeAll(path, makeScript(bytes).crlf);
    for (MainWindow* w : {&kept, &none}) {
        w->show();
        seam.path = path;
        w->FileOpenProc();
        w->Text1->setSelStart(w->Text1->length() / 2);
        w->Text1->SetFocus();
    }
    settle();

    std::vector<double> on, off;
    const int keys = quick ? 20 : 60;
    for (int r = 0; r < runs; ++r) {
        on.push_back(typeKeys(kept, keys));
        off.push_back(typeKeys(none, keys));
    }
    report(sizedName("recovery_type", bytes), {median(on), median(off)}, 1.2);

    // One change, then events as they come until the copy is on disk: the
    // longest single turn of the event loop, over every run.
    int written = 0;
    QObject::connect(kept.Recovery.get(), &RecoveryCopy::written, [&written] { ++written; });
    double longest = 0;
    std::vector<double> lags;
    for (int r = 0; r < runs; ++r) {
        // Nothing in flight from before: the copy of the last key is on disk.
        for (int before = -1; before != written;) {
            before = written;
            QThread::msleep(700);
            settle();
        }
        const int seen = written;
        typeOne(kept.Text1);
        QElapsedTimer lag;
        lag.start();
        while (written == seen && lag.elapsed() < 60000) {
            QElapsedTimer turn;
            turn.start();
            QCoreApplication::sendPostedEvents();
            QCoreApplication::processEvents(QEventLoop::AllEvents);
            longest = std::max(longest, double(turn.nsecsElapsed()) / 1e6);
            QThread::msleep(1);
        }
        lags.push_back(double(lag.nsecsElapsed()) / 1e6);
    }
    report(sizedName("recovery_hold", bytes), {longest, FrameMs}, 1.0);
    std::fprintf(stderr, "bench: a change of a %lld MB script was on disk after %.0f ms (median)\n",
                 qint64(bytes / MB), median(lags));
    return 0;
}
