// Times the editor's start-up as a whole process, from launch to the main
// window's first paint with the logo switched off, against a bare Qt program
// showing the same controls the cheapest way (bench_floor_startup). The editor is started as the program starts it by
// tests/morvaneo-until-painted; both end right after their first paint.
// Each figure is the median of interleaved runs. Then the same with a 10 MB
// and a 50 MB script given on both command lines: the whole-process open.
#include "BenchSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

namespace {

using namespace Bench;

// Milliseconds from start to exit of one run; -1 when it failed.
double runOnce(const QString& program, const QProcessEnvironment& env, const QStringList& arguments = {})
{
    QProcess p;
    p.setProcessEnvironment(env);
    // Their output is the platform's chatter; success shows in the status.
    p.setStandardOutputFile(QProcess::nullDevice());
    p.setStandardErrorFile(QProcess::nullDevice());
    QElapsedTimer clock;
    clock.start();
    p.start(program, arguments);
    if (!p.waitForFinished(60000)) {
        p.kill();
        p.waitForFinished();
        return -1;
    }
    const double ms = double(clock.nsecsElapsed()) / 1e6;
    return p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0 ? ms : -1;
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const bool quick = quickMode(argc, argv);
    const QString here = QCoreApplication::applicationDirPath();
    const QString editor = QDir(here).absoluteFilePath(QStringLiteral("../tests/morvaneo-until-painted"));
    const QString bare = QDir(here).absoluteFilePath(QStringLiteral("bench_floor_startup"));
    for (const QString& program : {editor, bare}) {
        if (!QFileInfo(program).isExecutable()) {
            std::fprintf(stderr, "bench: %s is missing\n", qPrintable(program));
            return 1;
        }
    }

    // A configuration home of our own whose store switches the logo off.
    QTemporaryDir config;
    QDir().mkpath(config.filePath(QStringLiteral("Morvaneo")));
    {
        QFile store(config.filePath(QStringLiteral("Morvaneo/Morvaneo.conf")));
        if (!store.open(QIODevice::WriteOnly) || store.write("[Config]\nProgramLogo=0\n") < 0)
            return 1;
    }
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), config.path());
    // And a state folder of our own: recovery copies left by other runs
    // would be offered at every start.
    env.insert(QStringLiteral("XDG_STATE_HOME"), config.filePath(QStringLiteral("state")));
    if (!env.contains(QStringLiteral("QT_QPA_PLATFORM")))
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));

    // One untimed run each first: the programs and libraries come into the
    // page cache, as they are for any start after the first.
    runOnce(editor, env);
    runOnce(bare, env);
    std::vector<double> m, f;
    const int runs = runsFor(quick, 31);
    for (int i = 0; i < runs; ++i) {
        m.push_back(runOnce(editor, env));
        f.push_back(runOnce(bare, env));
    }
    if (std::count(m.begin(), m.end(), -1.0) || std::count(f.begin(), f.end(), -1.0))
        std::fprintf(stderr, "bench: a start-up run failed\n");
    report(QStringLiteral("startup"), {median(m), median(f)}, 1.5);

    QTemporaryDir scripts;
    const std::vector<qsizetype> sizes = quick ? std::vector<qsizetype>{1 * MB} : std::vector<qsizetype>{10 * MB, 50 * MB};
    for (const qsizetype bytes : sizes) {
        const QString path = scripts.filePath(QStringLiteral("script.mvn5"));
        writeAll(path, makeScript(bytes).crlf);
        std::vector<double> mo, fo;
        for (int i = 0; i < runsFor(quick, bytes > 10 * MB ? 3 : 5); ++i) {
            mo.push_back(runOnce(editor, env, {path}));
            fo.push_back(runOnce(bare, env, {path}));
        }
        if (std::count(mo.begin(), mo.end(), -1.0) || std::count(fo.begin(), fo.end(), -1.0))
            std::fprintf(stderr, "bench: a whole-process open failed\n");
        report(sizedName("process_open", bytes), {median(mo), median(fo)}, 1.5);
    }
    return 0;
}
