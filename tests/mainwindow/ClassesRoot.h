#pragma once
// The default values of keys under HKEY_CLASSES_ROOT, as another program sees them.
#include <windows.h>
#include <string>

// True when the key's default value is a string of exactly that text, stored with one final NUL.
inline bool holdsString(const std::wstring& key, const std::wstring& text)
{
    HKEY opened = nullptr;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_QUERY_VALUE, &opened))
        return false;
    wchar_t data[1024] = {};
    DWORD type = REG_NONE, bytes = sizeof(data) - sizeof(wchar_t);
    LONG error = RegQueryValueExW(opened, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(data), &bytes);
    RegCloseKey(opened);
    return !error && type == REG_SZ && bytes == (text.size() + 1) * sizeof(wchar_t) && text == data;
}

inline bool keyExists(const std::wstring& key)
{
    HKEY opened = nullptr;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_QUERY_VALUE, &opened))
        return false;
    RegCloseKey(opened);
    return true;
}
