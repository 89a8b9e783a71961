// Times opening and saving scripts of 1, 10 and 50 MB through the main
// window's own open and save procedures, and Make rebuild on a word in the
// middle of a 10 MB script. The floors do the least work that gives the same
// result. Open: a bare QsciScintilla given the same decoded text, up to its
// first paint (and, as a second floor, only reading and decoding the bytes).
// Save: the text taken from a bare box, encoded, written and committed.
// Rebuild: the same text inserted at the same place of a bare box.
#include "BenchSupport.h"

#include "app/MainWindow.h"
#include "language/ScriptFile.h"
#include "editor/ScriptLexer.h"
#include "editor/ScriptTextBox.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QSaveFile>
#include <QTemporaryDir>

#include <cstdlib>

namespace {

using namespace Bench;

struct Fixture {
    QTemporaryDir dir;
    AnsweringSeam seam;
    MainWindow w;
    QsciScintilla bare;

    Fixture()
    {
        // The recent list the open and save procedures keep goes to a store
        // of our own, never to the user's.
        useOwnFolders(dir.filePath(QStringLiteral("settings")));
        w.show();
        setUpBare(bare, w.Text1->size());
        settle();
    }

    // Empties both boxes between runs. The emptied script counts as
    // unchanged, so the next open of the same file is not offered the
    // emptied text as unsaved changes to recover.
    void clearBoth()
    {
        w.Text1->loadText(QString());
        w.Changed = 0;
        bare.clear();
        bare.SendScintilla(QsciScintillaBase::SCI_EMPTYUNDOBUFFER);
    }
};

// expectedLength: the script's length once open; the file's decoded bytes
// are two more when it ends with a line break, which the script drops.
// shown: how much of a line longer than that the floor shows, as the
// script box does (0: all of it).
void benchOpen(Fixture& fx, int runs, const QString& name, const QString& path, qsizetype expectedLength,
               qsizetype expectedDecoded, long shown = 0)
{
    const Step morvaneo{[&] { fx.clearBoth(); },
                        [&] {
                            fx.seam.path = path;
                            fx.w.FileOpenProc();
                            fx.w.Text1->viewport()->repaint();
                        }};
    bool opened = true;
    const Step component{[&] {
                             // Right after the editor's run: check what it opened.
                             opened = opened && fx.w.ActualFile == path && fx.w.Text1->length() == expectedLength;
                             fx.clearBoth();
                         },
                         [&] {
                             bareLoad(fx.bare, readAll(path));
                             if (shown > 0)
                                 bareShowOnly(fx.bare, shown);
                             fx.bare.viewport()->repaint();
                         }};
    qsizetype decoded = 0;
    const Step physical{nullptr, [&] { decoded = ScriptFile::decode(readAll(path)).size(); }};
    const std::vector<double> t = interleaved(runs, {morvaneo, component, physical});
    if (!opened || decoded != expectedDecoded)
        std::fprintf(stderr, "bench: %s opened a wrong text\n", qPrintable(name));
    report(name, {t[0], t[1]}, 1.5, t[2]);
}

void benchSave(Fixture& fx, int runs, qsizetype bytes, const QString& path, qint64 expectedSize)
{
    // Both boxes hold the script; saving does not change it.
    fx.seam.path = path;
    fx.w.FileOpenProc();
    fx.bare.setText(fx.w.Text1->Text());
    const QString outMorvaneo = fx.dir.filePath(QStringLiteral("saved.mvn5"));
    const QString outFloor = fx.dir.filePath(QStringLiteral("bare.mvn5"));
    const Step morvaneo{nullptr, [&] {
                            fx.seam.path = outMorvaneo;
                            fx.w.FileSaveAsProc();
                        }};
    const Step floor{nullptr, [&] {
                         QByteArray encoded = ScriptFile::encode(fx.bare.text());
                         encoded.append("\r\n");
                         QSaveFile f(outFloor);
                         if (!f.open(QIODevice::WriteOnly) || f.write(encoded) != encoded.size() || !f.commit())
                             std::exit(1);
                     }};
    const Result r = interleaved(runs, morvaneo, floor);
    if (QFileInfo(outMorvaneo).size() != expectedSize || QFileInfo(outFloor).size() != expectedSize)
        std::fprintf(stderr, "bench: %s wrote %lld bytes, not %lld\n", qPrintable(sizedName("save", bytes)),
                     qint64(QFileInfo(outMorvaneo).size()), qint64(expectedSize));
    report(sizedName("save", bytes), r, 1.5);
}

// Make rebuild on the first word of the line in the middle of the script,
// which both boxes hold. Each run inserts after the word, so the word stays
// where it was for the next run.
void benchRebuild(Fixture& fx, int runs, qsizetype bytes, const QByteArray& crlf)
{
    const qsizetype lineStart = crlf.indexOf("\r\n", crlf.size() / 2) + 2;
    qsizetype wordEnd = lineStart;
    while (wordEnd < crlf.size() && crlf.at(wordEnd) != ' ' && crlf.at(wordEnd) != '\r')
        ++wordEnd;
    const QString word = QString::fromLatin1(crlf.mid(lineStart, wordEnd - lineStart));
    const QByteArray inserted = (QStringLiteral("\r\nRebuild_") + word).toUtf8();
    const long bareAt = long(fx.w.Text1->toDocumentPosition(wordEnd));

    const qsizetype before = fx.w.Text1->length();
    const Step morvaneo{[&] {
                            fx.w.Text1->setSelStart(lineStart);
                            fx.w.Text1->setSelLength(word.size());
                        },
                        [&] { fx.w.Command1_Click(); }};
    const Step floor{[&] {
                         bareMargin(fx.bare, *fx.w.Text1);
                         bareCaret(fx.bare, bareAt);
                     },
                     [&] { bareInsert(fx.bare, inserted); }};
    bareLineIndex(fx.bare);
    const Result r = interleaved(runs, morvaneo, floor);
    fx.bare.SendScintilla(QsciScintillaBase::SCI_RELEASELINECHARACTERINDEX,
                          QsciScintillaBase::SC_LINECHARACTERINDEX_UTF16);
    if (fx.w.Text1->length() != before + runs * inserted.size())
        std::fprintf(stderr, "bench: rebuild gave a wrong text\n");
    report(sizedName("rebuild", bytes), r, 1.5);
}

void sendKey(QWidget* box, int key, Qt::KeyboardModifiers modifiers, const QString& text = QString())
{
    QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
    QKeyEvent release(QEvent::KeyRelease, key, modifiers, text);
    QApplication::sendEvent(box, &press);
    QApplication::sendEvent(box, &release);
}

// Ctrl+End from the top of a large script both boxes hold: the last line
// shown, and in the script box coloured and checked, up to its paint.
void benchCtrlEnd(Fixture& fx, int runs, qsizetype bytes)
{
    QsciScintilla* box = fx.w.Text1;
    const Step morvaneo{[&] { box->SendScintilla(QsciScintillaBase::SCI_DOCUMENTSTART); },
                        [&] {
                            sendKey(box, Qt::Key_End, Qt::ControlModifier);
                            box->viewport()->repaint();
                        }};
    bool coloured = true;
    const Step floor{[&] {
                         const long lastLine = box->SendScintilla(QsciScintillaBase::SCI_GETLINECOUNT) - 1;
                         const long lastStart = box->SendScintilla(QsciScintillaBase::SCI_POSITIONFROMLINE, lastLine);
                         coloured = coloured && box->SendScintilla(QsciScintillaBase::SCI_GETSTYLEAT, lastStart) != 0;
                         bareMargin(fx.bare, *box);
                         fx.bare.SendScintilla(QsciScintillaBase::SCI_DOCUMENTSTART);
                     },
                     [&] {
                         sendKey(&fx.bare, Qt::Key_End, Qt::ControlModifier);
                         fx.bare.viewport()->repaint();
                     }};
    const Result r = interleaved(runs, morvaneo, floor);
    if (!coloured)
        std::fprintf(stderr, "bench: Ctrl+End left the last line uncoloured\n");
    report(sizedName("ctrl_end", bytes), r, 1.5);
}

// Typing a character near the start of a script that is one long line,
// which both boxes hold, up to its paint.
void benchTypeInLine(Fixture& fx, int runs, qsizetype bytes, long shown)
{
    QsciScintilla* box = fx.w.Text1;
    const qsizetype before = fx.w.Text1->length();
    const Step morvaneo{[&] { fx.w.Text1->setSelStart(100); },
                        [&] {
                            sendKey(box, Qt::Key_X, Qt::NoModifier, QStringLiteral("x"));
                            box->viewport()->repaint();
                        }};
    const Step floor{[&] {
                         bareMargin(fx.bare, *box);
                         bareShowOnly(fx.bare, shown);
                         bareCaret(fx.bare, 100);
                     },
                     [&] {
                         sendKey(&fx.bare, Qt::Key_X, Qt::NoModifier, QStringLiteral("x"));
                         fx.bare.viewport()->repaint();
                     }};
    const Result r = interleaved(runs, morvaneo, floor);
    const auto documentLength = [](QsciScintilla& b) { return b.SendScintilla(QsciScintillaBase::SCI_GETLENGTH); };
    if (fx.w.Text1->length() != before + runs || documentLength(fx.bare) != documentLength(*box))
        std::fprintf(stderr, "bench: typing in the single line gave a wrong text (%lld, %lld, %lld)\n",
                     qint64(before), qint64(fx.w.Text1->length()), qint64(fx.bare.length()));
    report(sizedName("type_line", bytes), r, 1.5);
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Morvaneo"));
    const bool quick = quickMode(argc, argv);
    const int runs = runsFor(quick);

    Fixture fx;
    const std::vector<qsizetype> sizes =
        quick ? std::vector<qsizetype>{1 * MB} : std::vector<qsizetype>{1 * MB, 10 * MB, 50 * MB};
    for (const qsizetype bytes : sizes) {
        const Script script = makeScript(bytes);
        const QString path = fx.dir.filePath(QStringLiteral("script.mvn5"));
        writeAll(path, script.crlf);
        // The script opens without the break after its last line.
        const qsizetype length = script.crlf.size() - 2;

        benchOpen(fx, runs, sizedName("open", bytes), path, length, length + 2);
        benchSave(fx, runs, bytes, path, script.crlf.size());
        // Edits and jumps take under a millisecond: the median of a few
        // moves by a tenth from one run of the benchmark to the next.
        const int quickRuns = runsFor(quick, 21);
        if (bytes == sizes[std::min<size_t>(1, sizes.size() - 1)])
            benchRebuild(fx, quickRuns, bytes, script.crlf);
        if (bytes == sizes.back())
            benchCtrlEnd(fx, quickRuns, bytes);
        fx.clearBoth();
    }

    // A script that is one single line (a file whose line ends were lost):
    // the script's lines joined by blanks.
    const qsizetype lineBytes = quick ? 1 * MB : 10 * MB;
    QByteArray line = makeScript(lineBytes).crlf;
    line.replace("\r\n", " ");
    const QString linePath = fx.dir.filePath(QStringLiteral("line.mvn5"));
    writeAll(linePath, line);
    benchOpen(fx, 1, sizedName("open_line", lineBytes), linePath, line.size(), line.size(), ScriptLexer::LongLine);
    // Both boxes hold the line for the typing.
    fx.seam.path = linePath;
    fx.w.FileOpenProc();
    bareLoad(fx.bare, line);
    benchTypeInLine(fx, runsFor(quick), lineBytes, ScriptLexer::LongLine);
    return 0;
}
