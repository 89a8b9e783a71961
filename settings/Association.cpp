#include "settings/Association.h"

#include "app/StartUp.h"
#include "app/Texts.h"
#include "platform/Desktop.h"
#include "platform/Modal.h"
#include "platform/WindowsRegistry.h"

#include <QFile>
#include <QImageReader>

namespace {

// The file type's facts, shared with the install rules.
const QString Extension = QStringLiteral(MORVANEO_EXTENSION);
const QString Description = QStringLiteral(MORVANEO_FILE_COMMENT);
// The registry's name for the file type.
const QString ClassName = QStringLiteral("MVN5file");

QByteArray builtIn(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QList<FileTypeRecords::Icon> programIcons()
{
    QList<FileTypeRecords::Icon> icons;
    for (const QString& path : StartUp::programIconFiles()) {
        const QSize size = QImageReader(path).size();
        if (size.isValid() && size.width() == size.height())
            icons.append({size.width(), builtIn(path)});
    }
    return icons;
}

}  // namespace

QString AssociationProgramPath(const QString& directory, const QString& baseName, PathForm form)
{
    const QChar separator = form == PathForm::Windows ? QLatin1Char('\\') : QLatin1Char('/');
    QString path = directory;
    if (!path.endsWith(separator))
        path += separator;
    path += baseName;
    if (form == PathForm::Windows)
        path += QLatin1String(".exe");
    return path;
}

QList<AssociationEntry> AssociationEntries(const QString& directory, const QString& baseName)
{
    const QString program = AssociationProgramPath(directory, baseName, PathForm::Windows);
    return {
        {Extension, ClassName},
        {ClassName, Description},
        {ClassName + QLatin1String("\\DefaultIcon"), program + QLatin1String(",0")},
        // " %1": the shell puts the document's path in place of the %1.
        {ClassName + QLatin1String("\\Shell\\open\\command"), program + QLatin1String(" %1")},
    };
}

FileTypeRecords::FileType AssociationFileType(const QString& directory, const QString& baseName)
{
    // The records come built in and filled, all but the program's path.
    QByteArray entry = builtIn(QStringLiteral(":/desktop/desktop-entry"));
    const QString program = AssociationProgramPath(directory, baseName, PathForm::Unix);
    entry.replace("@MORVANEO_EXEC@", FileTypeRecords::execProgram(program).toUtf8());
    return {QStringLiteral(MORVANEO_MIME_TYPE), QStringLiteral(MORVANEO_APP_ID),
            builtIn(QStringLiteral(":/desktop/mime-package.xml")), entry, programIcons()};
}

bool RegisterFileType(const QString& directory, const QString& baseName)
{
#ifdef Q_OS_WIN
    for (const AssociationEntry& entry : AssociationEntries(directory, baseName)) {
        if (!WindowsRegistry::SetUserClassDefault(entry.key, entry.value))
            return false;
    }
    return true;
#else
    const FileTypeRecords::Places places = FileTypeRecords::userPlaces();
    if (!FileTypeRecords::write(AssociationFileType(directory, baseName), places))
        return false;
    FileTypeRecords::refreshCaches(places);
    return true;
#endif
}

void AssociateFiles()
{
    if (RegisterFileType(Desktop::programDirectory(), Desktop::programBaseName())) {
        Modal::MsgBox(QStringLiteral("MVN5 files are now associated with Morvaneo. "
                                     "You probably have to restart."),
                      Modal::vbOKOnly, QStringLiteral("Done!"));
    } else {
        Modal::MsgBox(QStringLiteral("Sorry, the needed information couldn't be added to the registry."),
                      Modal::vbOKOnly + Modal::vbCritical, Texts::ErrorTitle);
    }
}
