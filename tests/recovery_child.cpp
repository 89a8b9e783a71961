// morvaneo-recovery-child: the editor started exactly as the program starts
// it (the whole command line is the script), driven from the environment:
//   RECOVERY_CHILD_ANSWER  "yes" answers the recovery question with Yes,
//                          anything else with No
//   RECOVERY_CHILD_TYPE    a text to type into the script
//   RECOVERY_CHILD_KEYS    a seed: random keys are typed until the end
//   RECOVERY_CHILD_THEN    "quit" (End, Yes), "close" (the frame's close,
//                          Yes), "save:PATH" (saved through the dialog, then
//                          waits), "stay" (waits) or "report" (ends)
// It prints what happened, one line each: "question TEXT", "message TEXT",
// "state" lines (text as UTF-8 hex, Changed, ActualFile, caption), "key N MS"
// after each random key, "written" after each recovery copy, "saved",
// "ended" when the program ends through its own quit.
#include "app/MainWindow.h"
#include "app/RecoveryCopy.h"
#include "app/StartUp.h"
#include "platform/FlatButton.h"
#include "platform/TreeView.h"
#include "editor/ScriptTextBox.h"
#include "tests/RecoveryKeys.h"
#include "tests/TestSupport.h"

#include <QApplication>
#include <QDateTime>
#include <QTimer>

#include <cstdio>
#include <cstdlib>

namespace {

void say(const QByteArray& line)
{
    std::fwrite(line.constData(), 1, size_t(line.size()), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

class ChildSeam final : public Installed<Modal::Seam> {
public:
    QString savePath;
    int messageBox(const QString& prompt, int style, const QString& title) override
    {
        if ((style & 0x0F) == Modal::vbOKOnly) {
            say("message " + title.toUtf8() + ": " + prompt.toUtf8());
            return Modal::vbOK;
        }
        if (prompt.startsWith(QStringLiteral("Unsaved changes to"))) {
            say("question " + title.toUtf8() + ": " + QByteArray::number(style) + ": " + prompt.toUtf8());
            return qgetenv("RECOVERY_CHILD_ANSWER") == "yes" ? Modal::vbYes : Modal::vbNo;
        }
        return prompt == QStringLiteral("Do you really want to quit??") ? Modal::vbYes : Modal::vbNo;
    }
    QString fileDialog(const Modal::FileRequest&) override { return savePath; }
    QString browseForFolder(const QString&) override { return QString(); }
    bool shellOpen(const QString&) override { return false; }
    std::optional<int> askNumber(const Modal::NumberRequest&) override { return std::nullopt; }
    void endProgram() override
    {
        say("ended");
        std::_Exit(0);
    }
};

void report(MainWindow* w)
{
    say("text " + w->Text1->Text().toUtf8().toHex());
    say("changed " + QByteArray::number(w->Changed));
    say("file " + w->ActualFile.toUtf8());
    say("caption " + w->windowTitle().toUtf8());
}

void act(MainWindow* w, ChildSeam* seam)
{
    w->Text1->setSelStart(w->Text1->length());
    QObject::connect(w->Recovery.get(), &RecoveryCopy::written, w, [](bool ok) { say(ok ? "written" : "not written"); });
    const QString typed = qEnvironmentVariable("RECOVERY_CHILD_TYPE");
    if (!typed.isEmpty())
        RecoveryKeys::typeText(w->Text1, typed);
    const QString then = qEnvironmentVariable("RECOVERY_CHILD_THEN");
    if (qEnvironmentVariableIsSet("RECOVERY_CHILD_KEYS")) {
        // One key every few milliseconds, until the process is killed.
        auto* random = new QRandomGenerator(qEnvironmentVariable("RECOVERY_CHILD_KEYS").toUInt());
        auto* timer = new QTimer(w);
        auto* count = new int(0);
        QObject::connect(timer, &QTimer::timeout, w, [w, random, count] {
            RecoveryKeys::type(w->Text1, RecoveryKeys::next(*random));
            say("key " + QByteArray::number(++*count) + ' ' + QByteArray::number(QDateTime::currentMSecsSinceEpoch()));
        });
        timer->start(5);
        return;
    }
    report(w);
    if (then == QStringLiteral("quit")) {
        w->FlatBttn1->click();
    } else if (then == QStringLiteral("close")) {
        w->close();
    } else if (then.startsWith(QStringLiteral("save:"))) {
        seam->savePath = then.mid(5);
        if (w->FileSaveAsProc())
            say("saved");
    } else if (then == QStringLiteral("report")) {
        std::_Exit(0);
    }
    say("ready");
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    ChildSeam seam;
    FakeClock clock;  // the quit's drop takes no time
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        MainWindow* w = MainWindow::instance();
        if (!w || w->TreeView1->topLevelItemCount() == 0)
            return;
        poll.stop();
        // The question at the start comes first.
        QTimer::singleShot(200, w, [w, &seam] { act(w, &seam); });
    });
    poll.start(20);
    return StartUp::run(app);
}
