#include "platform/WindowsRegistry.h"

#ifdef Q_OS_WIN
#include <QByteArray>

#include <windows.h>

namespace WindowsRegistry {

void SetClassRootDefault(const QString& key, const QString& value)
{
    const QByteArray keyText = key.toLocal8Bit();
    const QByteArray valueText = value.toLocal8Bit();
    HKEY handle = nullptr;
    // A key that could not be opened has no handle to set or close.
    if (RegCreateKeyA(HKEY_CLASSES_ROOT, keyText.constData(), &handle) != ERROR_SUCCESS)
        return;
    RegSetValueA(handle, "", REG_SZ, valueText.constData(), static_cast<DWORD>(value.size()));
    RegCloseKey(handle);
}

}  // namespace WindowsRegistry
#endif
