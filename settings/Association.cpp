#include "settings/Association.h"

#include "app/Texts.h"
#include "platform/Desktop.h"
#include "platform/Modal.h"
#include "platform/WindowsRegistry.h"

#include <QFile>
#include <QImageReader>

namespace {

const QString Extension = QStringLiteral(".mvn5");
const QString ClassName = QStringLiteral("MVN5file");
const QString Description = QStringLiteral("Kestrand AI File");
// The placeholder the shell replaces with the document's path.
const QString DocumentPlaceholder = QStringLiteral(" %1");

QList<FileTypeRecords::Icon> programIcons()
{
    QList<FileTypeRecords::Icon> icons;
    for (const char* name : {":/resources/icons/morvaneo.png", ":/resources/icons/morvaneo-48.png"}) {
        const QString path = QString::fromLatin1(name);
        const QSize size = QImageReader(path).size();
        QFile file(path);
        if (!size.isValid() || size.width() != size.height() || !file.open(QIODevice::ReadOnly))
            continue;
        icons.append({size.width(), file.readAll()});
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

QList<AssociationEntry> AssociationEntries(const QString& directory, const QString& baseName,
                                           PathForm form)
{
    const QString program = AssociationProgramPath(directory, baseName, form);
    return {
        {Extension, ClassName},
        {ClassName, Description},
        {ClassName + QLatin1String("\\DefaultIcon"), program + QLatin1String(",0")},
        {ClassName + QLatin1String("\\Shell\\open\\command"), program + DocumentPlaceholder},
    };
}

FileTypeRecords::Spec AssociationFileTypeSpec(const QString& directory, const QString& baseName)
{
    const QList<AssociationEntry> entries = AssociationEntries(directory, baseName, PathForm::Unix);
    FileTypeRecords::Spec spec;
    // ".mvn5" names both the glob and the MIME type.
    spec.pattern = QLatin1Char('*') + entries.at(0).key;
    spec.mimeType = QLatin1String("application/x-") + entries.at(0).key.mid(1);
    spec.comment = entries.at(1).value;
    spec.iconName = QStringLiteral("morvaneo");
    spec.desktopId = QStringLiteral("morvaneo.desktop");
    spec.appName = Texts::App;
    // The open command without its placeholder: the desktop entry quotes the
    // path and adds its own file code.
    spec.program = entries.at(3).value.chopped(DocumentPlaceholder.size());
    spec.icons = programIcons();
    return spec;
}

bool RegisterFileType(const QString& directory, const QString& baseName)
{
#ifdef Q_OS_WIN
    for (const AssociationEntry& entry : AssociationEntries(directory, baseName, PathForm::Windows))
        WindowsRegistry::SetClassRootDefault(entry.key, entry.value);
    return true;
#else
    const FileTypeRecords::Places places = FileTypeRecords::userPlaces();
    if (!FileTypeRecords::write(AssociationFileTypeSpec(directory, baseName), places))
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
