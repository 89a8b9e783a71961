#pragma once
#include <QtGlobal>

#ifdef Q_OS_WIN
#include <QString>

// The user's own file types in the registry, under
// HKEY_CURRENT_USER\Software\Classes, which Windows merges into the class
// root; writing there needs no administrator.
namespace WindowsRegistry {

// Opens `key` under the user's classes, creating it and any missing parent
// keys, sets its default value to the string `value` and closes it; false
// when the key could not be opened or the value not set.
bool SetUserClassDefault(const QString& key, const QString& value);

}  // namespace WindowsRegistry
#endif
