#include "platform/WindowsRegistry.h"

#ifdef Q_OS_WIN
#include <string>

#include <windows.h>

namespace WindowsRegistry {

bool SetUserClassDefault(const QString& key, const QString& value)
{
    const std::wstring path = L"Software\\Classes\\" + key.toStdWString();
    const std::wstring text = value.toStdWString();
    HKEY handle = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_SET_VALUE, nullptr, &handle, nullptr) != ERROR_SUCCESS)
        return false;
    // A null name is the key's default value; the size is in bytes and
    // counts the closing NUL.
    const LONG status = RegSetValueExW(handle, nullptr, 0, REG_SZ,
                                       reinterpret_cast<const BYTE*>(text.c_str()),
                                       static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(handle);
    return status == ERROR_SUCCESS;
}

}  // namespace WindowsRegistry
#endif
