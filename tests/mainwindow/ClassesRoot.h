#pragma once
// Reading and writing the default values of keys under HKEY_CLASSES_ROOT, as another program sees them.
#include <windows.h>
#include <string>

// The default value exactly as stored: a string of its bytes including the final NUL, and its type.
struct StoredValue {
    DWORD type = REG_NONE;
    std::wstring text; // without the final NUL
    bool endsWithNul = false;
    bool found = false;
};

inline StoredValue classesRootValue(const std::wstring& key)
{
    StoredValue value;
    HKEY opened = nullptr;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_QUERY_VALUE, &opened) != ERROR_SUCCESS)
        return value;
    wchar_t data[1024] = {};
    DWORD bytes = sizeof(data) - sizeof(wchar_t);
    if (RegQueryValueExW(opened, nullptr, nullptr, &value.type, reinterpret_cast<BYTE*>(data), &bytes) ==
        ERROR_SUCCESS) {
        size_t units = bytes / sizeof(wchar_t);
        value.endsWithNul = units > 0 && data[units - 1] == 0;
        value.text.assign(data, value.endsWithNul ? units - 1 : units);
        value.found = true;
    }
    RegCloseKey(opened);
    return value;
}

inline bool classesRootKeyExists(const std::wstring& key)
{
    HKEY opened = nullptr;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_QUERY_VALUE, &opened) != ERROR_SUCCESS)
        return false;
    RegCloseKey(opened);
    return true;
}

inline void setClassesRootValue(const std::wstring& key, const std::wstring& text)
{
    RegSetValueW(HKEY_CLASSES_ROOT, key.c_str(), REG_SZ, text.c_str(), static_cast<DWORD>(text.size()));
}

// Deletes the key and everything below it.
inline void deleteClassesRootTree(const std::wstring& key)
{
    RegDeleteTreeW(HKEY_CLASSES_ROOT, key.c_str());
}

// The value as the association writes it: a string value that ends in one NUL.
inline bool isStoredString(const StoredValue& value, const std::wstring& expected)
{
    return value.found && value.type == REG_SZ && value.endsWithNul && value.text == expected;
}
