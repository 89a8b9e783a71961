// Times opening and saving scripts of 1, 10 and 50 MB through the main
// window's own open and save procedures, and Make rebuild on a word in the
// middle of a 10 MB script, each against a bare QPlainTextEdit doing the
// least work that gives the same result: read, decode, setPlainText and the
// first paint; toPlainText, encode, write and commit; one insertPlainText.
#include "BenchSupport.h"

#include "app/MainWindow.h"
#include "platform/ScriptText.h"
#include "platform/ScriptTextBox.h"
#include "settings/SettingsStore.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QPlainTextEdit>
#include <QSaveFile>
#include <QTemporaryDir>
#include <QTextCursor>

#include <cstdlib>

namespace {

using namespace Bench;

void writeAll(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size()) {
        std::fprintf(stderr, "bench: cannot write %s\n", qPrintable(path));
        std::exit(1);
    }
}

qint64 fileSize(const QString& path)
{
    return QFileInfo(path).size();
}

struct Fixture {
    QTemporaryDir dir;
    AnsweringSeam seam;
    MainWindow w;
    QPlainTextEdit bare;
    bool quick = false;

    Fixture()
    {
        // The recent list the open and save procedures keep goes to a store
        // of our own, never to the user's.
        SettingsStore::setDirectoryOverride(dir.filePath(QStringLiteral("settings")));
        w.show();
        // The bare box has the script box's size and settings.
        bare.setLineWrapMode(QPlainTextEdit::NoWrap);
        bare.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        bare.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        bare.resize(w.Text1->size());
        bare.show();
        settle();
    }

    void clearBoth()
    {
        w.Text1->clear();
        bare.clear();
    }
};

void benchOpen(Fixture& fx, int runs, qsizetype bytes, const QString& scriptPath, const QString& lfPath,
               qsizetype expectedLength)
{
    const Step morvaneo{[&] { fx.clearBoth(); },
                        [&] {
                            fx.seam.path = scriptPath;
                            fx.w.FileOpenProc();
                            fx.w.Text1->viewport()->repaint();
                        }};
    bool opened = true;
    const Step floor{[&] {
                         // Right after the editor's run: check what it opened.
                         opened = opened && fx.w.ActualFile == scriptPath &&
                                  fx.w.Text1->length() == expectedLength;
                         fx.clearBoth();
                     },
                     [&] {
                         QFile f(lfPath);
                         if (!f.open(QIODevice::ReadOnly))
                             std::exit(1);
                         const QString text = QString::fromLatin1(f.readAll());
                         fx.bare.setPlainText(text);
                         fx.bare.viewport()->repaint();
                     }};
    const Result r = interleaved(runs, morvaneo, floor);
    if (!opened)
        std::fprintf(stderr, "bench: %s opened a wrong text\n", qPrintable(sizedName("open", bytes)));
    report(sizedName("open", bytes), r, 1.5);
}

void benchSave(Fixture& fx, int runs, qsizetype bytes, const QString& scriptPath, qint64 expectedSize)
{
    // Both boxes hold the script; saving does not change it.
    fx.seam.path = scriptPath;
    fx.w.FileOpenProc();
    if (fx.bare.document()->isEmpty()) {
        QFile f(scriptPath);
        f.open(QIODevice::ReadOnly);
        fx.bare.setPlainText(ScriptText::toDocument(QString::fromLatin1(f.readAll())));
    }
    const QString outMorvaneo = fx.dir.filePath(QStringLiteral("saved.mvn5"));
    const QString outFloor = fx.dir.filePath(QStringLiteral("bare.mvn5"));
    const Step morvaneo{nullptr, [&] {
                            fx.seam.path = outMorvaneo;
                            fx.w.FileSaveAsProc();
                        }};
    const Step floor{nullptr, [&] {
                         const QByteArray encoded = fx.bare.toPlainText().toLatin1();
                         QSaveFile f(outFloor);
                         if (!f.open(QIODevice::WriteOnly) || f.write(encoded) != encoded.size() || !f.commit())
                             std::exit(1);
                     }};
    const Result r = interleaved(runs, morvaneo, floor);
    if (fileSize(outMorvaneo) != expectedSize)
        std::fprintf(stderr, "bench: %s wrote %lld bytes, not %lld\n", qPrintable(sizedName("save", bytes)),
                     qint64(fileSize(outMorvaneo)), qint64(expectedSize));
    report(sizedName("save", bytes), r, 1.5);
}

// Make rebuild on the first word of the line in the middle of the script,
// which the window holds. Each run inserts after the word, so the word stays
// where it was for the next run.
void benchRebuild(Fixture& fx, int runs, qsizetype bytes, const QByteArray& crlf)
{
    const qsizetype lineStart = crlf.indexOf("\r\n", crlf.size() / 2) + 2;
    qsizetype wordEnd = lineStart;
    while (wordEnd < crlf.size() && crlf.at(wordEnd) != ' ' && crlf.at(wordEnd) != '\r')
        ++wordEnd;
    const QString word = QString::fromLatin1(crlf.mid(lineStart, wordEnd - lineStart));
    const QString inserted = QStringLiteral("\nRebuild_") + word;
    // The bare box holds the same paragraphs (from the open and save rows).
    const int bareAt = fx.w.Text1->toDocumentPosition(wordEnd);

    const qsizetype before = fx.w.Text1->length();
    const Step morvaneo{[&] {
                            fx.w.Text1->setSelStart(lineStart);
                            fx.w.Text1->setSelLength(word.size());
                        },
                        [&] { fx.w.Command1_Click(); }};
    const Step floor{[&] {
                         QTextCursor c = fx.bare.textCursor();
                         c.setPosition(bareAt);
                         fx.bare.setTextCursor(c);
                     },
                     [&] { fx.bare.insertPlainText(inserted); }};
    const Result r = interleaved(runs, morvaneo, floor);
    if (fx.w.Text1->length() != before + runs * (inserted.size() + 1))
        std::fprintf(stderr, "bench: rebuild gave a wrong text\n");
    report(sizedName("rebuild", bytes), r, 1.5);
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
        Script script = makeScript(bytes);
        const QString scriptPath = fx.dir.filePath(QStringLiteral("script.mvn5"));
        const QString lfPath = fx.dir.filePath(QStringLiteral("script-lf.txt"));
        writeAll(scriptPath, script.crlf);
        writeAll(lfPath, script.lf);
        script.lf = QByteArray();
        // The text without its final CR LF, which the window keeps apart.
        const qsizetype length = script.crlf.size() - 2;

        benchOpen(fx, runs, bytes, scriptPath, lfPath, length);
        benchSave(fx, runs, bytes, scriptPath, script.crlf.size());
        if (bytes == sizes[std::min<size_t>(1, sizes.size() - 1)])
            benchRebuild(fx, runs, bytes, script.crlf);
        fx.clearBoth();
    }
    return 0;
}
