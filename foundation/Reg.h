#pragma once
#include <windows.h>

// What RegQueryInfoKeyW tells of a key; lengths in characters without the terminating zero, data in bytes.
struct RegKeyInfo {
    DWORD subKeys = 0;
    DWORD longestSubKeyName = 0;
    DWORD values = 0;
    DWORD longestValueName = 0;
    DWORD longestValueData = 0;
};

// One open key under HKEY_CLASSES_ROOT. Each operation that takes a subkey opens it for the length of the call;
// an empty or null subkey means the open key itself, an empty or null value name its default value. Failures
// give false or 0 with the registry's error as the thread's last error; ERROR_INVALID_HANDLE when no key is
// open.
class Reg {
public:
    Reg() = default;
    Reg(const Reg&) = delete;
    Reg& operator=(const Reg&) = delete;
    virtual ~Reg() { close(); }

    // Both close a held key first; open reads, create makes the missing keys and may write.
    bool openClassesRoot(const wchar_t* name);
    bool createClassesRoot(const wchar_t* name);
    void close();
    bool isOpen() const { return key != nullptr; }

    // The writers create the subkey when it is missing.
    bool setString(const wchar_t* subkey, const wchar_t* valueName, const wchar_t* text);
    bool setDword(const wchar_t* subkey, const wchar_t* valueName, DWORD value);
    bool deleteValue(const wchar_t* subkey, const wchar_t* valueName);
    // The subkey must have no subkeys of its own.
    bool deleteSubKey(const wchar_t* subkey);

    // The default unless the value is a REG_DWORD.
    DWORD getDword(const wchar_t* subkey, const wchar_t* valueName, DWORD defaultValue) const;
    // Only REG_SZ values; 0 for anything else. Without a buffer: the capacity that reading needs, terminating
    // zero included. With one: the characters read, always terminated, also when the stored text is not.
    int getString(const wchar_t* subkey, const wchar_t* valueName, wchar_t* buffer, int capacity) const;
    // All counts 0 on failure.
    bool queryInfo(const wchar_t* subkey, RegKeyInfo& info) const;
    // The registry's error code: 0, ERROR_NO_MORE_ITEMS after the last subkey, or a failure. The buffer is
    // emptied first.
    LONG enumSubKey(const wchar_t* subkey, DWORD index, wchar_t* buffer, DWORD capacity) const;

private:
    HKEY key = nullptr;
};
