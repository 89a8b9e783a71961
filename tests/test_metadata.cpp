// What "make install" gives the desktop, checked by the desktop's own
// validators: the AppStream metadata with the desktop entry it names, the
// desktop entry (the same the association writes) and the manual pages. A
// missing validator skips its part.
#include "TestSupport.h"

#include "settings/Association.h"

#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

namespace {

struct Run {
    int status = -1;
    QByteArray output;
};

Run run(const QString& program, const QStringList& arguments)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(program, arguments);
    if (!p.waitForFinished(120000))
        p.kill();
    p.waitForFinished(1000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, p.readAll()};
}

}  // namespace

class TestMetadata : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void installedFilesPassTheValidators();
};

void TestMetadata::installedFilesPassTheValidators()
{
    const QString cmake = QStandardPaths::findExecutable(QStringLiteral("cmake"));
    if (cmake.isEmpty())
        QSKIP("no cmake to install with");
    QTemporaryDir dir;
    // An odd prefix: the entry's Exec line must still name the program.
    const QString prefix = dir.filePath(QStringLiteral("odd \"prefix\" $HOME `id` 5%"));
    const QString build = QDir(QCoreApplication::applicationDirPath()).absoluteFilePath(QStringLiteral(".."));
    const Run install = run(cmake, {QStringLiteral("--install"), build, QStringLiteral("--prefix"), prefix});
    QVERIFY2(install.status == 0, install.output.constData());

    const QString share = prefix + QStringLiteral("/share/");
    const QString metainfo = share + QStringLiteral("metainfo/org.example.morvaneo.metainfo.xml");
    const QString entry = share + QStringLiteral("applications/morvaneo.desktop");
    const QStringList manuals = {share + QStringLiteral("man/man1/morvaneo.1"),
                                 share + QStringLiteral("man/man1/morvaneo-checker.1")};
    for (const QString& file : QStringList{metainfo, entry} + manuals)
        QVERIFY2(QFileInfo(file).isFile(), qPrintable(file));
    // The metadata offers the type that the MIME package and the desktop entry define.
    QVERIFY(readBytes(metainfo).contains("<mediatype>application/x-mvn5</mediatype>"));

    // The association writes the very same records for the installed program.
    const FileTypeRecords::FileType written = AssociationFileType(prefix + QStringLiteral("/bin"), QStringLiteral("morvaneo"));
    QCOMPARE(readBytes(entry), written.desktopEntry);
    QCOMPARE(readBytes(share + QStringLiteral("mime/packages/morvaneo.xml")), written.mimePackage);

    QStringList missing;
    // The whole tree: the metadata itself and the desktop entry it launches.
    if (const QString appstream = QStandardPaths::findExecutable(QStringLiteral("appstreamcli")); !appstream.isEmpty()) {
        const Run tree = run(appstream, {QStringLiteral("validate-tree"), QStringLiteral("--no-net"), prefix});
        QVERIFY2(tree.status == 0, tree.output.constData());
        const Run file = run(appstream, {QStringLiteral("validate"), QStringLiteral("--no-net"),
                                         QStringLiteral("--pedantic"), metainfo});
        QVERIFY2(file.status == 0, file.output.constData());
    } else {
        missing << QStringLiteral("appstreamcli");
    }
    if (const QString desktop = QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate"));
        !desktop.isEmpty()) {
        const Run check = run(desktop, {entry});
        // It prints nothing at all for a flawless entry, not even hints.
        QVERIFY2(check.status == 0 && check.output.isEmpty(), check.output.constData());
    } else {
        missing << QStringLiteral("desktop-file-validate");
    }
    if (const QString groff = QStandardPaths::findExecutable(QStringLiteral("groff")); !groff.isEmpty()) {
        for (const QString& manual : manuals) {
            const Run check = run(groff, {QStringLiteral("-man"), QStringLiteral("-ww"), QStringLiteral("-z"), manual});
            QVERIFY2(check.status == 0 && check.output.isEmpty(), (manual.toUtf8() + ": " + check.output).constData());
        }
    } else {
        missing << QStringLiteral("groff");
    }
    if (!missing.isEmpty())
        QSKIP(qPrintable(QStringLiteral("not on this machine: ") + missing.join(QStringLiteral(", "))));
}

QTEST_MAIN(TestMetadata)
#include "test_metadata.moc"
