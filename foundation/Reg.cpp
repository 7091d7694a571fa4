#include "foundation/Reg.h"

namespace {

bool fail(LONG code)
{
    SetLastError(static_cast<DWORD>(code));
    return false;
}

int failWithZero(LONG code)
{
    SetLastError(static_cast<DWORD>(code));
    return 0;
}

bool isEmpty(const wchar_t* text)
{
    return !text || !*text;
}

// A subkey of an open key for the length of one call; the key itself when no subkey is named.
class SubKey {
public:
    SubKey(HKEY parent, const wchar_t* name, bool create, REGSAM access)
    {
        if (!parent) {
            status = ERROR_INVALID_HANDLE;
            return;
        }
        if (isEmpty(name)) {
            key = parent;
            return;
        }
        HKEY opened = nullptr;
        if (create)
            status = RegCreateKeyExW(parent, name, 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr, &opened,
                                     nullptr);
        else
            status = RegOpenKeyExW(parent, name, 0, access, &opened);
        if (status == ERROR_SUCCESS) {
            key = opened;
            owned = true;
        }
    }
    SubKey(const SubKey&) = delete;
    SubKey& operator=(const SubKey&) = delete;
    ~SubKey()
    {
        if (owned)
            RegCloseKey(key);
    }

    explicit operator bool() const { return key != nullptr; }
    HKEY get() const { return key; }
    LONG error() const { return status; }

private:
    HKEY key = nullptr;
    bool owned = false;
    LONG status = ERROR_SUCCESS;
};

} // namespace

bool Reg::openClassesRoot(const wchar_t* name)
{
    close();
    LONG result = RegOpenKeyExW(HKEY_CLASSES_ROOT, name ? name : L"", 0, KEY_READ, &key);
    if (result != ERROR_SUCCESS) {
        key = nullptr;
        return fail(result);
    }
    return true;
}

bool Reg::createClassesRoot(const wchar_t* name)
{
    close();
    LONG result = RegCreateKeyExW(HKEY_CLASSES_ROOT, name ? name : L"", 0, nullptr, REG_OPTION_NON_VOLATILE,
                                  KEY_ALL_ACCESS, nullptr, &key, nullptr);
    if (result != ERROR_SUCCESS) {
        key = nullptr;
        return fail(result);
    }
    return true;
}

void Reg::close()
{
    if (key)
        RegCloseKey(key);
    key = nullptr;
}

bool Reg::setString(const wchar_t* subkey, const wchar_t* valueName, const wchar_t* text)
{
    if (!text)
        return fail(ERROR_INVALID_PARAMETER);
    SubKey target(key, subkey, true, KEY_ALL_ACCESS);
    if (!target)
        return fail(target.error());
    auto bytes = static_cast<DWORD>((lstrlenW(text) + 1) * sizeof(wchar_t));
    LONG result = RegSetValueExW(target.get(), valueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(text), bytes);
    return result == ERROR_SUCCESS || fail(result);
}

bool Reg::setDword(const wchar_t* subkey, const wchar_t* valueName, DWORD value)
{
    SubKey target(key, subkey, true, KEY_ALL_ACCESS);
    if (!target)
        return fail(target.error());
    LONG result = RegSetValueExW(target.get(), valueName, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                                 sizeof(value));
    return result == ERROR_SUCCESS || fail(result);
}

bool Reg::deleteValue(const wchar_t* subkey, const wchar_t* valueName)
{
    // Opened, never created: deleting under a missing key leaves it missing.
    SubKey target(key, subkey, false, KEY_SET_VALUE);
    if (!target)
        return fail(target.error());
    LONG result = RegDeleteValueW(target.get(), valueName);
    return result == ERROR_SUCCESS || fail(result);
}

bool Reg::deleteSubKey(const wchar_t* subkey)
{
    if (!key)
        return fail(ERROR_INVALID_HANDLE);
    LONG result = RegDeleteKeyW(key, subkey ? subkey : L"");
    return result == ERROR_SUCCESS || fail(result);
}

DWORD Reg::getDword(const wchar_t* subkey, const wchar_t* valueName, DWORD defaultValue) const
{
    SubKey source(key, subkey, false, KEY_READ);
    if (!source)
        return defaultValue;
    DWORD type = 0;
    DWORD value = 0;
    DWORD bytes = sizeof(value);
    LONG result = RegQueryValueExW(source.get(), valueName, nullptr, &type, reinterpret_cast<BYTE*>(&value), &bytes);
    if (result != ERROR_SUCCESS || type != REG_DWORD || bytes != sizeof(value))
        return defaultValue;
    return value;
}

int Reg::getString(const wchar_t* subkey, const wchar_t* valueName, wchar_t* buffer, int capacity) const
{
    if (buffer && capacity > 0)
        buffer[0] = 0;
    SubKey source(key, subkey, false, KEY_READ);
    if (!source)
        return failWithZero(source.error());
    DWORD type = 0;
    DWORD bytes = 0;
    LONG result = RegQueryValueExW(source.get(), valueName, nullptr, &type, nullptr, &bytes);
    if (result != ERROR_SUCCESS)
        return failWithZero(result);
    if (type != REG_SZ)
        return failWithZero(ERROR_UNSUPPORTED_TYPE);
    // Other programs may store the text without its terminating zero, or with an odd byte count: a half
    // character counts whole, and one more is always kept for the zero added here.
    if (!buffer)
        return static_cast<int>((bytes + 1) / sizeof(wchar_t) + 1);
    if (capacity < 1)
        return failWithZero(ERROR_INVALID_PARAMETER);
    bytes = static_cast<DWORD>(capacity - 1) * sizeof(wchar_t);
    result = RegQueryValueExW(source.get(), valueName, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &bytes);
    if (result == ERROR_SUCCESS && type != REG_SZ)
        result = ERROR_UNSUPPORTED_TYPE;
    if (result != ERROR_SUCCESS) {
        buffer[0] = 0;
        return failWithZero(result);
    }
    buffer[bytes / sizeof(wchar_t)] = 0;
    return lstrlenW(buffer);
}

bool Reg::queryInfo(const wchar_t* subkey, RegKeyInfo& info) const
{
    info = RegKeyInfo();
    SubKey source(key, subkey, false, KEY_READ);
    if (!source)
        return fail(source.error());
    RegKeyInfo read;
    LONG result = RegQueryInfoKeyW(source.get(), nullptr, nullptr, nullptr, &read.subKeys, &read.longestSubKeyName,
                                   nullptr, &read.values, &read.longestValueName, &read.longestValueData, nullptr,
                                   nullptr);
    if (result != ERROR_SUCCESS)
        return fail(result);
    info = read;
    return true;
}

LONG Reg::enumSubKey(const wchar_t* subkey, DWORD index, wchar_t* buffer, DWORD capacity) const
{
    if (!buffer || capacity == 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return ERROR_INVALID_PARAMETER;
    }
    buffer[0] = 0;
    SubKey source(key, subkey, false, KEY_READ);
    LONG result = source.error();
    if (source) {
        DWORD length = capacity;
        result = RegEnumKeyExW(source.get(), index, buffer, &length, nullptr, nullptr, nullptr, nullptr);
    }
    if (result != ERROR_SUCCESS) {
        buffer[0] = 0;
        SetLastError(static_cast<DWORD>(result));
    }
    return result;
}
