#pragma once
#include <QtGlobal>

#ifdef Q_OS_WIN
#include <QString>

// The registry's class root, where Windows keeps file types and the
// programs that open them.
namespace WindowsRegistry {

// Opens `key` under HKEY_CLASSES_ROOT (creating it and any missing parent
// keys), sets its default value to the string `value` and closes it. The
// registry's status codes are not looked at.
void SetClassRootDefault(const QString& key, const QString& value);

}  // namespace WindowsRegistry
#endif
