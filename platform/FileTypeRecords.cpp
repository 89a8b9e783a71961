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
    return Installable<ToolStarter>::inUse(detached);
}

Places userPlaces()
{
    return {envDirectory("XDG_DATA_HOME", QStringLiteral(".local/share")),
            envDirectory("XDG_CONFIG_HOME", QStringLiteral(".config"))};
}

QString execProgram(const QString& path)
{
    // Inside double quotes a launcher takes ", `, $ and \ literally only
    // after a backslash; a literal % is always doubled.
    QString word = QStringLiteral("\"");
    for (const QChar c : path) {
        if (QStringView(u"\"`$\\").contains(c))
            word += u'\\';
        if (c == u'%')
            word += u'%';
        word += c;
    }
    word += u'"';
    // Then the string escapes of every value in the entry.
    return word.replace(u'\\', QStringLiteral("\\\\"))
        .replace(u'\n', QStringLiteral("\\n"))
        .replace(u'\t', QStringLiteral("\\t"))
        .replace(u'\r', QStringLiteral("\\r"));
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

bool write(const FileType& type, const Places& places)
{
    const QString data = places.dataHome + u'/';
    if (!writeFile(data + QLatin1String("mime/packages/") + type.name + QLatin1String(".xml"), type.mimePackage))
        return false;
    for (const Icon& icon : type.icons) {
        const QString folder = QStringLiteral("icons/hicolor/%1x%1/apps/").arg(icon.size);
        if (!writeFile(data + folder + type.name + QLatin1String(".png"), icon.png))
            return false;
    }
    const QString desktopId = type.name + QLatin1String(".desktop");
    if (!writeFile(data + QLatin1String("applications/") + desktopId, type.desktopEntry))
        return false;

    const QString listPath = places.configHome + QLatin1String("/mimeapps.list");
    QByteArray current;
    if (QFileInfo(listPath).exists()) {
        QFile file(listPath);
        if (!file.open(QIODevice::ReadOnly))
            return false;
        current = file.readAll();
    }
    const QByteArray updated = withDefaultApplication(current, type.mimeType, desktopId);
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
