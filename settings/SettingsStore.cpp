#include "settings/SettingsStore.h"

#include "app/Texts.h"
#include "platform/Modal.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

namespace {

bool& failedOnce()
{
    static bool failed = false;
    return failed;
}

}  // namespace

namespace SettingsStore {

QString fileName(const QString& application)
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + u'/' + Texts::App + u'/' +
           application + QStringLiteral(".conf");
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

QStringList GetSettings(const QString& application, const QString& section, const QStringList& keys,
                        const QString& defaultValue)
{
    QStringList values;
    values.reserve(keys.size());
    QSettings s(SettingsStore::fileName(application), QSettings::IniFormat);
    const bool readable = s.status() == QSettings::NoError;
    for (const QString& key : keys) {
        const QVariant v = readable ? s.value(section + u'/' + key) : QVariant();
        values << (v.isValid() ? v.toString() : defaultValue);
    }
    return values;
}

QString GetSetting(const QString& application, const QString& section, const QString& key,
                   const QString& defaultValue)
{
    return GetSettings(application, section, {key}, defaultValue).constFirst();
}

void SaveSettings(const QString& application, const QString& section, const QStringList& keys,
                  const QStringList& values)
{
    const QString file = SettingsStore::fileName(application);
    QDir().mkpath(QFileInfo(file).absolutePath());
    QSettings s(file, QSettings::IniFormat);
    for (qsizetype i = 0; i < keys.size(); ++i)
        s.setValue(section + u'/' + keys[i], values.value(i));
    s.sync();
    if (s.status() != QSettings::NoError && !failedOnce()) {
        // The editor keeps working with its defaults; the user hears of it once.
        failedOnce() = true;
        Modal::MsgBox(QStringLiteral("Your preferences could not be saved to %1.").arg(file),
                      Modal::vbOKOnly + Modal::vbExclamation, Texts::App);
    }
}

void SaveSetting(const QString& application, const QString& section, const QString& key,
                 const QString& value)
{
    SaveSettings(application, section, {key}, {value});
}
