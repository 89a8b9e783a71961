#include "settings/SettingsStore.h"

#include "app/Texts.h"
#include "platform/Modal.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QMutex>
#include <QSettings>
#include <QStandardPaths>
#include <QThreadPool>

#include <utility>

namespace {

bool& failedOnce()
{
    static bool failed = false;
    return failed;
}

bool write(const QString& file, const QString& section, const QStringList& keys, const QStringList& values)
{
    QDir().mkpath(QFileInfo(file).absolutePath());
    QSettings s(file, QSettings::IniFormat);
    for (qsizetype i = 0; i < keys.size(); ++i)
        s.setValue(section + u'/' + keys[i], values.value(i));
    s.sync();
    return s.status() == QSettings::NoError;
}

void tellFailure(const QString& file)
{
    if (failedOnce())
        return;
    // The editor keeps working with its defaults; the user hears of it once.
    failedOnce() = true;
    Modal::MsgBox(QStringLiteral("Your preferences could not be saved to %1.").arg(file),
                  Modal::vbOKOnly + Modal::vbExclamation, Texts::App);
}

// One thread, so that later writes land after earlier ones.
struct Writer : QThreadPool {
    Writer() { setMaxThreadCount(1); }
};

QThreadPool& writer()
{
    static Writer pool;
    return pool;
}

// The store of a write on the writer's thread that failed, not told yet.
QMutex failureMutex;
QString failedLater;

void tellFailureLater()
{
    QString file;
    {
        const QMutexLocker lock(&failureMutex);
        file = std::exchange(failedLater, QString());
    }
    if (!file.isEmpty())
        tellFailure(file);
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
    FlushSettings();
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
    FlushSettings();
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
    FlushSettings();
    const QString file = SettingsStore::fileName(application);
    if (!write(file, section, keys, values))
        tellFailure(file);
}

void SaveSettingsLater(const QString& application, const QString& section, const QStringList& keys,
                       const QStringList& values)
{
    const QString file = SettingsStore::fileName(application);
    writer().start([file, section, keys, values] {
        if (write(file, section, keys, values))
            return;
        {
            const QMutexLocker lock(&failureMutex);
            failedLater = file;
        }
        if (QCoreApplication* app = QCoreApplication::instance())
            QMetaObject::invokeMethod(app, &tellFailureLater, Qt::QueuedConnection);
    });
}

void FlushSettings()
{
    writer().waitForDone();
    tellFailureLater();
}

void SaveSetting(const QString& application, const QString& section, const QString& key,
                 const QString& value)
{
    SaveSettings(application, section, {key}, {value});
}
