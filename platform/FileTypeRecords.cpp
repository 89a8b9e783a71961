#include "platform/FileTypeRecords.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSaveFile>
#include <QStandardPaths>
#include <QStringList>

namespace FileTypeRecords {
namespace {

QString envDirectory(const char* name, const QString& fallbackUnderHome)
{
    const QString value = qEnvironmentVariable(name);
    if (!value.isEmpty() && QDir::isAbsolutePath(value))
        return QDir::cleanPath(value);
    return QDir::cleanPath(QDir::homePath() + QLatin1Char('/') + fallbackUnderHome);
}

// The escapes every string value of a desktop entry goes through.
QString escapeValue(const QString& value)
{
    QString out;
    out.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value.at(i);
        if (c == QLatin1Char('\\'))
            out += QLatin1String("\\\\");
        else if (c == QLatin1Char('\n'))
            out += QLatin1String("\\n");
        else if (c == QLatin1Char('\t'))
            out += QLatin1String("\\t");
        else if (c == QLatin1Char('\r'))
            out += QLatin1String("\\r");
        else if (c == QLatin1Char(' ') && i == 0)
            out += QLatin1String("\\s");
        else
            out += c;
    }
    return out;
}

QString xml(const QString& text)
{
    return text.toHtmlEscaped();
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

class DetachedStarter final : public ToolStarter {
public:
    void start(const QString& program, const QStringList& arguments) override
    {
        // Started on its own and never waited for, so that a slow cache
        // rebuild cannot hold up the window.
        QProcess process;
        process.setProgram(program);
        process.setArguments(arguments);
        process.setStandardOutputFile(QProcess::nullDevice());
        process.setStandardErrorFile(QProcess::nullDevice());
        process.startDetached();
    }
};

ToolStarter* installedStarter = nullptr;

void startTool(const QString& name, const QStringList& arguments)
{
    const QString tool = QStandardPaths::findExecutable(name);
    if (!tool.isEmpty())
        toolStarter().start(tool, arguments);
}

}  // namespace

ToolStarter& toolStarter()
{
    static DetachedStarter detached;
    return installedStarter ? *installedStarter : detached;
}

ToolStarter* installToolStarter(ToolStarter* replacement)
{
    ToolStarter* previous = installedStarter;
    installedStarter = replacement;
    return previous;
}

Places userPlaces()
{
    return {envDirectory("XDG_DATA_HOME", QStringLiteral(".local/share")),
            envDirectory("XDG_CONFIG_HOME", QStringLiteral(".config"))};
}

QString execArgument(const QString& argument)
{
    // Inside double quotes a launcher takes ", `, $ and \ literally only
    // after a backslash; a literal % is always doubled. The string escapes
    // of the whole value are applied by desktopEntry().
    QString quoted = QStringLiteral("\"");
    for (const QChar c : argument) {
        if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') ||
            c == QLatin1Char('\\'))
            quoted += QLatin1Char('\\');
        if (c == QLatin1Char('%'))
            quoted += QLatin1Char('%');
        quoted += c;
    }
    quoted += QLatin1Char('"');
    return quoted;
}

QByteArray mimePackage(const FileType& type)
{
    const QString text =
        QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                       "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
                       "  <mime-type type=\"%1\">\n"
                       "    <comment>%2</comment>\n"
                       "    <icon name=\"%3\"/>\n"
                       "    <sub-class-of type=\"text/plain\"/>\n"
                       "    <glob pattern=\"%4\"/>\n"
                       "  </mime-type>\n"
                       "</mime-info>\n")
            .arg(xml(type.mimeType), xml(type.comment), xml(type.iconName), xml(type.pattern));
    return text.toUtf8();
}

QByteArray desktopEntry(const FileType& type)
{
    QString text;
    text += QLatin1String("[Desktop Entry]\n");
    text += QLatin1String("Type=Application\n");
    text += QLatin1String("Name=") + escapeValue(type.appName) + QLatin1Char('\n');
    text += QLatin1String("GenericName=AI script editor\n");
    text += QLatin1String("Comment=Edit AI scripts for Kestrand II\n");
    text += QLatin1String("Icon=") + escapeValue(type.iconName) + QLatin1Char('\n');
    text += QLatin1String("Exec=") + escapeValue(execArgument(type.program)) +
            QLatin1String(" %f\n");
    text += QLatin1String("Terminal=false\n");
    text += QLatin1String("MimeType=") + escapeValue(type.mimeType) + QLatin1String(";\n");
    text += QLatin1String("Categories=Development;\n");
    return text.toUtf8();
}

QByteArray withDefaultApplication(const QByteArray& mimeapps, const QString& mimeType,
                                  const QString& desktopId)
{
    const QString section = QStringLiteral("[Default Applications]");
    const QString entry = mimeType + QLatin1Char('=') + desktopId + QLatin1Char(';');

    QStringList lines = QString::fromUtf8(mimeapps).split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.constLast().isEmpty())
        lines.removeLast();

    qsizetype start = -1;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (lines.at(i).trimmed() == section) {
            start = i;
            break;
        }
    }
    if (start < 0) {
        if (!lines.isEmpty() && !lines.constLast().trimmed().isEmpty())
            lines.append(QString());
        lines.append(section);
        lines.append(entry);
        return (lines.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8();
    }

    // Replace the first line for the type in the section, drop any later
    // duplicates, or add the line after the section's last entry.
    qsizetype lastEntry = start;
    bool placed = false;
    for (qsizetype i = start + 1; i < lines.size();) {
        const QString trimmed = lines.at(i).trimmed();
        if (trimmed.startsWith(QLatin1Char('[')))
            break;
        const qsizetype eq = trimmed.indexOf(QLatin1Char('='));
        if (eq > 0 && trimmed.left(eq).trimmed() == mimeType) {
            if (placed) {
                lines.removeAt(i);
                continue;
            }
            lines[i] = entry;
            placed = true;
        }
        if (!trimmed.isEmpty())
            lastEntry = i;
        ++i;
    }
    if (!placed)
        lines.insert(lastEntry + 1, entry);
    return (lines.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8();
}

QString mimePackagePath(const FileType& type, const Places& places)
{
    return places.dataHome + QLatin1String("/mime/packages/") +
           QFileInfo(type.desktopId).completeBaseName() + QLatin1String(".xml");
}

QString iconPath(const FileType& type, const Places& places, int size)
{
    return places.dataHome + QStringLiteral("/icons/hicolor/%1x%1/apps/").arg(size) +
           type.iconName + QLatin1String(".png");
}

QString desktopEntryPath(const FileType& type, const Places& places)
{
    return places.dataHome + QLatin1String("/applications/") + type.desktopId;
}

QString mimeappsPath(const Places& places)
{
    return places.configHome + QLatin1String("/mimeapps.list");
}

bool write(const FileType& type, const Places& places)
{
    if (!writeFile(mimePackagePath(type, places), mimePackage(type)))
        return false;
    for (const Icon& icon : type.icons) {
        if (!writeFile(iconPath(type, places, icon.size), icon.png))
            return false;
    }
    if (!writeFile(desktopEntryPath(type, places), desktopEntry(type)))
        return false;

    const QString listPath = mimeappsPath(places);
    QByteArray current;
    if (QFileInfo(listPath).exists()) {
        QFile file(listPath);
        if (!file.open(QIODevice::ReadOnly))
            return false;
        current = file.readAll();
    }
    const QByteArray updated = withDefaultApplication(current, type.mimeType, type.desktopId);
    // Unchanged content is left alone, so a second run touches nothing there.
    if (updated == current)
        return true;
    return writeFile(listPath, updated);
}

void refreshCaches(const Places& places)
{
    const QString mime = places.dataHome + QLatin1String("/mime");
    const QString applications = places.dataHome + QLatin1String("/applications");
    const QString hicolor = places.dataHome + QLatin1String("/icons/hicolor");
    if (QFileInfo(mime).isDir())
        startTool(QStringLiteral("update-mime-database"), {mime});
    if (QFileInfo(applications).isDir())
        startTool(QStringLiteral("update-desktop-database"), {applications});
    if (QFileInfo(hicolor).isDir())
        startTool(QStringLiteral("gtk-update-icon-cache"),
                {QStringLiteral("--force"), QStringLiteral("--ignore-theme-index"),
                 QStringLiteral("--quiet"), hicolor});
}

}  // namespace FileTypeRecords
