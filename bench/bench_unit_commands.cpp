// Times Make attacking over large selections and one opcode insertion into a
// large script, through the main window's own handlers, against a bare
// QPlainTextEdit inserting the same text into the same script.
//
// Each figure is the median of five runs; a run ends once the events it
// posted (layout, scrolling, painting) have been handled.
#include "app/MainWindow.h"
#include "catalogue/UnitCommands.h"
#include "platform/ScriptText.h"
#include "platform/ScriptTextBox.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QTextCursor>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

constexpr int Runs = 5;

// Median time in milliseconds of `run`, with `prepare` untimed before each.
double medianMs(const std::function<void()>& prepare, const std::function<void()>& run)
{
    std::vector<double> times;
    for (int i = 0; i < Runs; ++i) {
        prepare();
        QApplication::processEvents();
        QElapsedTimer clock;
        clock.start();
        run();
        QApplication::processEvents();
        times.push_back(double(clock.nsecsElapsed()) / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[Runs / 2];
}

void report(const char* name, double morvaneo, double floor)
{
    std::printf("bench: %s morvaneo_ms=%.2f floor_ms=%.2f ratio=%.2f aim=1.5\n", name, morvaneo,
                floor, floor > 0 ? morvaneo / floor : 0.0);
    std::fflush(stdout);
}

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

void benchAttacking(MainWindow& w, QPlainTextEdit& bare, const char* name, int lines)
{
    const QString script = unitLines(lines);
    const QString scriptDoc = ScriptText::toDocument(script);
    const QString insertedDoc = ScriptText::toDocument(AttackingText(script));

    const double morvaneo = medianMs(
        [&] {
            w.Text1->setText(script);
            w.Text1->setSelStart(0);
            w.Text1->setSelLength(script.size());
        },
        [&] { w.FlatBttn5_Click(); });
    if (w.Text1->length() != 2 * script.size() + 2 + qsizetype(lines) * 10)
        std::fprintf(stderr, "bench: %s gave a wrong text\n", name);

    const double floor = medianMs(
        [&] {
            bare.setPlainText(scriptDoc);
            selectAll(bare);
        },
        [&] { bare.insertPlainText(insertedDoc); });
    report(name, morvaneo, floor);
}

void benchInsertion(MainWindow& w, QPlainTextEdit& bare)
{
    // About ten million characters of "Zealot = 1" lines.
    const int lines = 10 * 1000 * 1000 / 12;
    QString script;
    script.reserve(qsizetype(lines) * 12);
    for (int i = 0; i < lines; ++i)
        script += QLatin1StringView("Zealot = 1\r\n");
    script.chop(2);
    const qsizetype middle = script.size() / 2 / 12 * 12 + 6;  // inside a line

    w.Text1->setText(script);
    w.NodeText = QStringLiteral("Wait");
    w.TextToAdd = QStringLiteral("Wait 5");
    const double morvaneo =
        medianMs([&] { w.Text1->setSelStart(middle); }, [&] { w.FlatBttn7_Click(); });

    bare.setPlainText(ScriptText::toDocument(script));
    const int docMiddle = w.Text1->toDocumentPosition(middle);
    const double floor = medianMs(
        [&] {
            QTextCursor c = bare.textCursor();
            c.setPosition(docMiddle);
            bare.setTextCursor(c);
        },
        [&] { bare.insertPlainText(QStringLiteral("Wait 5\n")); });
    report("insert_10mb", morvaneo, floor);
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

    benchAttacking(w, bare, "attacking_10k_lines", 10000);
    benchAttacking(w, bare, "attacking_100k_lines", 100000);
    benchInsertion(w, bare);
    return 0;
}
