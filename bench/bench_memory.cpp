// Measures how much resident memory loading a 50 MB script adds: the main
// window opening it through its own open procedure against a bare
// QsciScintilla given the same decoded text. Every measurement runs in a fresh
// process (this program started again with "--child"), so that neither side
// inherits the other's heap; the figures are in MB, reported in the same
// line format as the times.
#include "BenchSupport.h"

#include "app/MainWindow.h"
#include "platform/Desktop.h"
#include "language/ScriptFile.h"
#include "editor/ScriptTextBox.h"

#include <QApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <malloc.h>

namespace {

using namespace Bench;

// Gives freed heap back to the system, so that only live memory counts.
qint64 settledResidentKb()
{
    settle();
    malloc_trim(0);
    return residentKb();
}

int child(const QString& side, const QString& path, const QString& settingsDir)
{
    useOwnFolders(settingsDir);
    if (side == QStringLiteral("morvaneo")) {
        AnsweringSeam seam;
        MainWindow w;
        w.show();
        const qint64 before = settledResidentKb();
        seam.path = path;
        w.FileOpenProc();
        w.Text1->viewport()->repaint();
        const qint64 after = settledResidentKb();
        if (w.ActualFile != path)
            return 1;
        std::printf("rss_kb=%lld\n", qint64(after - before));
    } else {
        QsciScintilla bare;
        // The script box's size in a main window of its opening size.
        setUpBare(bare, QSize(Desktop::px(3735), Desktop::px(4455)));
        const qint64 before = settledResidentKb();
        {
            QFile f(path);
            if (!f.open(QIODevice::ReadOnly))
                return 1;
            bare.setText(ScriptFile::decode(f.readAll()));
        }
        bare.viewport()->repaint();
        const qint64 after = settledResidentKb();
        std::printf("rss_kb=%lld\n", qint64(after - before));
    }
    std::fflush(stdout);
    return 0;
}

// Runs one child and returns the growth it measured, in MB (-1 on failure).
double measure(const QString& side, const QStringList& files)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p.start(QCoreApplication::applicationFilePath(), QStringList{QStringLiteral("--child"), side} + files);
    if (!p.waitForFinished(600000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        return -1;
    const QByteArray out = p.readAllStandardOutput().trimmed();
    if (!out.startsWith("rss_kb="))
        return -1;
    return out.mid(7).toDouble() / 1024.0;
}

}  // namespace

int main(int argc, char** argv)
{
    const bool quick = quickMode(argc, argv);
    if (argc >= 5 && std::strcmp(argv[1], "--child") == 0) {
        QApplication app(argc, argv);
        QApplication::setApplicationName(QStringLiteral("Morvaneo"));
        return child(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]),
                     QString::fromLocal8Bit(argv[4]));
    }

    QCoreApplication app(argc, argv);
    const qsizetype bytes = quick ? 1 * MB : 50 * MB;
    QTemporaryDir dir;
    const Script script = makeScript(bytes);
    const QString path = dir.filePath(QStringLiteral("script.mvn5"));
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) || f.write(script.crlf) != script.crlf.size())
            return 1;
    }
    const QStringList files = {path, dir.filePath(QStringLiteral("settings"))};

    std::vector<double> m, f;
    for (int i = 0; i < runsFor(quick, 3); ++i) {
        m.push_back(measure(QStringLiteral("morvaneo"), files));
        f.push_back(measure(QStringLiteral("floor"), files));
    }
    if (std::count(m.begin(), m.end(), -1.0) || std::count(f.begin(), f.end(), -1.0))
        std::fprintf(stderr, "bench: a memory measurement failed\n");
    report(sizedName("memory", bytes), {median(m), median(f)}, 1.2);
    return 0;
}
