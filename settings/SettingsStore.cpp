#include "settings/SettingsStore.h"

#include "platform/Modal.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

namespace {

QString& directoryOverride()
{
    static QString dir;
    return dir;
}

bool& failedOnce()
{
    static bool failed = false;
    return failed;
}

}  // namespace

namespace SettingsStore {

QString fileName(const QString& application)
{
    QString dir = directoryOverride();
    if (dir.isEmpty())
        dir = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QStringLiteral("/Morvaneo");
    return dir + u'/' + application + QStringLiteral(".conf");
}

void setDirectoryOverride(const QString& directory)
{
    directoryOverride() = directory;
}

bool writeFailed()
{
    return failedOnce();
}

void resetWriteFailure()
{
    failedOnce() = false;
}

}  // namespace SettingsStore

QString GetSetting(const QString& application, const QString& section, const QString& key,
                   const QString& defaultValue)
{
    QSettings s(SettingsStore::fileName(application), QSettings::IniFormat);
    if (s.status() != QSettings::NoError)
        return defaultValue;
    const QVariant v = s.value(section + u'/' + key);
    if (!v.isValid())
        return defaultValue;
    return v.toString();
}

void SaveSetting(const QString& application, const QString& section, const QString& key,
                 const QString& value)
{
    const QString file = SettingsStore::fileName(application);
    QDir().mkpath(QFileInfo(file).absolutePath());
    QSettings s(file, QSettings::IniFormat);
    s.setValue(section + u'/' + key, value);
    s.sync();
    if (s.status() != QSettings::NoError && !failedOnce()) {
        // The editor keeps working with its defaults; the user hears of it once.
        failedOnce() = true;
        Modal::MsgBox(QStringLiteral("Your preferences could not be saved to %1.").arg(file),
                      Modal::vbOKOnly + Modal::vbExclamation, QStringLiteral("Morvaneo"));
    }
}
