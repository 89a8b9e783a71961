#pragma once
#include <QString>
#include <QStringList>

// Per-user store of named string values: application, section, key. Nothing
// is cached; every call reads or writes the backing store afresh, so a value
// saved by one window (or one run) is what the next reader sees.
QString GetSetting(const QString& application, const QString& section, const QString& key,
                   const QString& defaultValue = QString());
void SaveSetting(const QString& application, const QString& section, const QString& key,
                 const QString& value);

// Several keys of one section in one pass over the store: read as a list in
// the order of keys (absent keys read as defaultValue), written with one
// write of the file. Failures behave as for the single-key calls.
QStringList GetSettings(const QString& application, const QString& section, const QStringList& keys,
                        const QString& defaultValue = QString());
void SaveSettings(const QString& application, const QString& section, const QStringList& keys,
                  const QStringList& values);
// The same write done on the store's own thread, for values the user should
// not wait for (the disk is synced twice per write): writes land in the
// order asked, every read and write waits for those before it, and a
// failure is told from the event loop.
void SaveSettingsLater(const QString& application, const QString& section, const QStringList& keys,
                       const QStringList& values);
// Waits until every write asked for is done (and tells a failure): before
// the program ends.
void FlushSettings();

namespace SettingsStore {
// Where the store lives: an INI file in the folder of the application's
// name in the user's configuration folder (XDG_CONFIG_HOME on Linux).
QString fileName(const QString& application);
// True once a write has failed in this run (the user has been told once);
// waits for the writes asked for first.
bool writeFailed();
void resetWriteFailure();
}  // namespace SettingsStore
