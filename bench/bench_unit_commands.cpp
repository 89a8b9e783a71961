// Times Make attacking over large selections and one opcode insertion into a
// large script, through the main window's own handlers, against a bare
// QsciScintilla inserting the same text at the same place of the same script.
//
// Each figure is the median of fifteen interleaved runs (Morvaneo, bare,
// Morvaneo...); a run ends once the events it posted (layout, scrolling,
// painting) have been handled. --quick makes one run of the smaller sizes.
#include "BenchSupport.h"

#include "app/MainWindow.h"
#include "language/UnitCommands.h"
#include "editor/ScriptTextBox.h"

#include <QApplication>
#include <QTemporaryDir>

namespace {

using namespace Bench;

// Unit lines as a script holds them (known names, so the lines Make
// attacking adds are valid too), or lines of names the catalogue does not
// know, each of which the script box checks for a near name.
QString unitLines(int count, bool known)
{
    static const char* const Units[] = {"Zealot", "Dragoon", "Marine", "Firebat", "Goliath", "Scout", "Carrier"};
    QString script;
    script.reserve(qsizetype(count) * 16);
    for (int i = 0; i < count; ++i) {
        if (i)
            script += QLatin1StringView("\r\n");
        if (known) {
            script += QLatin1StringView(Units[i % std::size(Units)]);
        } else {
            script += QLatin1StringView("Unit");
            script += QString::number(i);
        }
        script += QLatin1StringView(" = 1");
    }
    return script;
}

// Make attacking leaves the selection and inserts what it derives right
// after it; the floor inserts the same text at the same place.
void benchAttacking(MainWindow& w, QsciScintilla& bare, const char* name, int lines, bool known, int runs)
{
    const QString script = unitLines(lines, known);
    const QByteArray suffix = AttackingText(script).mid(script.size()).toUtf8();

    const Step morvaneo{[&] {
                            w.Text1->setText(script);
                            w.Text1->setSelStart(0);
                            w.Text1->setSelLength(script.size());
                        },
                        [&] { w.FlatBttn5_Click(); }};
    // The same selection, all the lines, with the caret at its end: adding
    // the text there puts it after the selection and ends the selection.
    const Step floor{[&] {
                         bare.setText(script);
                         bareMargin(bare, *w.Text1);
                         bareCaret(bare, long(script.size()));
                         bare.SendScintilla(QsciScintillaBase::SCI_SETANCHOR, 0UL);
                     },
                     [&] { bareInsert(bare, suffix); }};
    const Result r = interleaved(runs, morvaneo, floor);
    if (w.Text1->length() != 2 * script.size() + 2 + qsizetype(lines) * 10 || bare.length() != w.Text1->length())
        std::fprintf(stderr, "bench: %s gave a wrong text\n", name);
    report(QString::fromLatin1(name), r, 1.5);
}

void benchInsertion(MainWindow& w, QsciScintilla& bare, qsizetype bytes, int runs)
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
    bare.setText(script);
    const long docMiddle = long(w.Text1->toDocumentPosition(middle));
    const Step morvaneo{[&] { w.Text1->setSelStart(middle); }, [&] { w.FlatBttn7_Click(); }};
    const Step floor{[&] {
                         bareMargin(bare, *w.Text1);
                         bareCaret(bare, docMiddle);
                     },
                     [&] { bareInsert(bare, QByteArrayLiteral("Wait 5\r\n")); }};
    const Result r = interleaved(runs, morvaneo, floor);
    if (w.Text1->length() != script.size() + runs * 8 || bare.length() != w.Text1->length())
        std::fprintf(stderr, "bench: the insertion gave a wrong text\n");
    report(sizedName("insert", bytes), r, 1.5);
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Morvaneo"));
    QTemporaryDir dir;
    useOwnFolders(dir.path());

    MainWindow w;
    w.show();
    // The bare box has the script box's size.
    QsciScintilla bare;
    setUpBare(bare, w.Text1->size());
    bareLineIndex(bare);
    QApplication::processEvents();

    const bool quick = quickMode(argc, argv);
    // Runs of a few milliseconds: the median of five moved by a tenth of
    // the floor from one run of the benchmark to the next.
    const int runs = runsFor(quick, 15);
    benchAttacking(w, bare, "attacking_10k_lines", 10000, true, runs);
    if (!quick) {
        benchAttacking(w, bare, "attacking_100k_lines", 100000, true, runs);
        benchAttacking(w, bare, "attacking_unknown_10k_lines", 10000, false, runs);
    }
    benchInsertion(w, bare, quick ? 1 * MB : 10 * MB, runs);
    return 0;
}
