// Times Make attacking over large selections and one opcode insertion into a
// large script, through the main window's own handlers, against a bare
// QPlainTextEdit inserting the same text into the same script.
//
// Each figure is the median of five interleaved runs (Morvaneo, bare,
// Morvaneo...); a run ends once the events it posted (layout, scrolling,
// painting) have been handled. --quick makes one run of the smaller sizes.
#include "BenchSupport.h"

#include "app/MainWindow.h"
#include "catalogue/UnitCommands.h"
#include "platform/ScriptText.h"
#include "platform/ScriptTextBox.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <QTextCursor>

namespace {

using namespace Bench;

QString unitLines(int count)
{
    QString script;
    script.reserve(qsizetype(count) * 16);
    for (int i = 0; i < count; ++i) {
        if (i)
            script += QLatin1StringView("\r\n");
        script += QLatin1StringView("Unit");
        script += QString::number(i);
        script += QLatin1StringView(" = 1");
    }
    return script;
}

void selectAll(QPlainTextEdit& edit)
{
    QTextCursor c = edit.textCursor();
    c.select(QTextCursor::Document);
    edit.setTextCursor(c);
}

void benchAttacking(MainWindow& w, QPlainTextEdit& bare, const char* name, int lines, int runs)
{
    const QString script = unitLines(lines);
    const QString scriptDoc = ScriptText::toDocument(script);
    const QString insertedDoc = ScriptText::toDocument(AttackingText(script));

    const Step morvaneo{[&] {
                            w.Text1->setText(script);
                            w.Text1->setSelStart(0);
                            w.Text1->setSelLength(script.size());
                        },
                        [&] { w.FlatBttn5_Click(); }};
    const Step floor{[&] {
                         bare.setPlainText(scriptDoc);
                         selectAll(bare);
                     },
                     [&] { bare.insertPlainText(insertedDoc); }};
    const Result r = interleaved(runs, morvaneo, floor);
    if (w.Text1->length() != 2 * script.size() + 2 + qsizetype(lines) * 10)
        std::fprintf(stderr, "bench: %s gave a wrong text\n", name);
    report(QString::fromLatin1(name), r, 1.5);
}

void benchInsertion(MainWindow& w, QPlainTextEdit& bare, qsizetype bytes, int runs)
{
    // About `bytes` characters of "Zealot = 1" lines.
    const int lines = int(bytes / 12);
    QString script;
    script.reserve(qsizetype(lines) * 12);
    for (int i = 0; i < lines; ++i)
        script += QLatin1StringView("Zealot = 1\r\n");
    script.chop(2);
    const qsizetype middle = script.size() / 2 / 12 * 12 + 6;  // inside a line

    w.Text1->setText(script);
    w.NodeText = QStringLiteral("Wait");
    w.TextToAdd = QStringLiteral("Wait 5");
    bare.setPlainText(ScriptText::toDocument(script));
    const int docMiddle = w.Text1->toDocumentPosition(middle);
    const Step morvaneo{[&] { w.Text1->setSelStart(middle); }, [&] { w.FlatBttn7_Click(); }};
    const Step floor{[&] {
                         QTextCursor c = bare.textCursor();
                         c.setPosition(docMiddle);
                         bare.setTextCursor(c);
                     },
                     [&] { bare.insertPlainText(QStringLiteral("Wait 5\n")); }};
    report(sizedName("insert", bytes), interleaved(runs, morvaneo, floor), 1.5);
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Morvaneo"));

    MainWindow w;
    w.show();
    // The bare box has the script box's size and settings.
    QPlainTextEdit bare;
    bare.setLineWrapMode(QPlainTextEdit::NoWrap);
    bare.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    bare.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    bare.resize(w.Text1->size());
    bare.show();
    QApplication::processEvents();

    const bool quick = quickMode(argc, argv);
    const int runs = runsFor(quick);
    benchAttacking(w, bare, "attacking_10k_lines", 10000, runs);
    if (!quick)
        benchAttacking(w, bare, "attacking_100k_lines", 100000, runs);
    benchInsertion(w, bare, quick ? 1 * MB : 10 * MB, runs);
    return 0;
}
