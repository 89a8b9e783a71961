// What reading the language costs the script box: opening a realistic
// 200 KB script through the open procedure with highlighting and problems
// on, against the same open in a box that shows plain text; and typing one
// character in the middle of a 10 MB script, both ways. Each run ends once
// the box has painted.
#include "BenchSupport.h"

#include "app/MainWindow.h"
#include "editor/ScriptTextBox.h"

#include <QApplication>
#include <QFile>
#include <QKeyEvent>
#include <QTemporaryDir>

#include <cstdlib>

namespace {

using namespace Bench;

// A script of typical lines, a few of them with problems, of about `bytes`.
QByteArray realisticScript(qsizetype bytes)
{
    static const char* const lines[] = {
        "; Protoss opening", "Zealot = 4", "Gateway = 2", "Wait 300", "Pylon = 3",
        "Attacking_Zealot = 2", "Rebuild_Gateway = 1", "Check_Resources 500 500", "Expand 1",
        "Dragoon = 6", "Zelot = 2", "Wait", ":attack_wave", "Attack", "Goto attack_wave",
        "Photon_Cannon = 2", "Singularity_Charge = 1", "Dragoon_Range = 1", "TriBranch 20 20 20",
        "Stop now", "Observer = 1", "Group_Attack",
    };
    constexpr size_t count = sizeof(lines) / sizeof(lines[0]);
    QByteArray s = "Script_Identifier PBEN\r\nScript_Name Bench opening\r\nCampaign_Script\r\n";
    for (size_t i = 0; s.size() < bytes; ++i)
        s.append(lines[i % count]).append("\r\n");
    return s;
}

void typeOne(ScriptTextBox* box)
{
    QKeyEvent press(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, QStringLiteral("x"));
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_X, Qt::NoModifier, QStringLiteral("x"));
    QApplication::sendEvent(box, &press);
    QApplication::sendEvent(box, &release);
    box->viewport()->repaint();
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Morvaneo"));
    const bool quick = quickMode(argc, argv);
    // An open takes under 2 ms, and the median of a few of them moves by a
    // fifth from one run of the benchmark to the next.
    const int runs = runsFor(quick, 101);

    QTemporaryDir dir;
    useOwnFolders(dir.filePath(QStringLiteral("settings")));
    AnsweringSeam seam;
    MainWindow reading;
    MainWindow plain;
    plain.Text1->setLineMarkup(nullptr);
    for (MainWindow* w : {&reading, &plain})
        w->show();
    settle();

    // Each window opens a file of its own: the two windows stand for two
    // editors, and an editor offers to recover the unsaved copy another
    // keeps of the script it opens.
    const QString path = dir.filePath(QStringLiteral("script.mvn5"));
    const QString plainPath = dir.filePath(QStringLiteral("plain.mvn5"));
    writeAll(path, realisticScript(200 * 1000));
    writeAll(plainPath, realisticScript(200 * 1000));
    auto openIn = [&](MainWindow& w) {
        const QString file = &w == &plain ? plainPath : path;
        // Emptied between runs, the script counts as unchanged: no copy
        // of it is kept for recovery.
        return Step{[&w] {
                        w.Text1->loadText(QString());
                        w.Changed = 0;
                    },
                    [&w, file, &seam] {
                        seam.path = file;
                        w.FileOpenProc();
                        w.Text1->viewport()->repaint();
                    }};
    };
    report(QStringLiteral("language_open_200kb"), interleaved(runs, openIn(reading), openIn(plain)), 1.2);

    // Typing in the middle of a large script: the caret's line and the lines
    // shown are all that is read again.
    const qsizetype bytes = quick ? 1 * MB : 10 * MB;
    writeAll(path, makeScript(bytes).crlf);
    writeAll(plainPath, makeScript(bytes).crlf);
    for (MainWindow* w : {&reading, &plain}) {
        seam.path = w == &plain ? plainPath : path;
        w->FileOpenProc();
        w->Text1->setSelStart(w->Text1->length() / 2);
        w->Text1->SetFocus();
    }
    settle();
    auto typeIn = [](MainWindow& w) { return Step{nullptr, [&w] { typeOne(w.Text1); }}; };
    const Result typed = interleaved(quick ? 3 : 21, typeIn(reading), typeIn(plain));
    report(sizedName("language_type", bytes), typed, 1.5);
    if (typed.morvaneo > 5.0)
        std::fprintf(stderr, "bench: typing took %.2f ms, more than 5 ms\n", typed.morvaneo);
    return 0;
}
