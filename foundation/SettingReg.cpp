#include "foundation/SettingReg.h"

namespace {

void checkDone(bool done)
{
    if (!done)
        Exception::throwLastError();
}

} // namespace

void SettingReg::writeString(const wstring& section, const wstring& name, const wstring& value)
{
    checkDone(openKey.setString(section.buffer(), name.buffer(), value.buffer()));
}

wstring SettingReg::readString(const wstring& section, const wstring& name, const wstring& defaultValue) const
{
    int capacity = openKey.getString(section.buffer(), name.buffer(), nullptr, 0);
    if (capacity == 0)
        return defaultValue;
    wstring text;
    if (openKey.getString(section.buffer(), name.buffer(), text.reserve(capacity), capacity) == 0)
        return defaultValue;
    return text;
}

void SettingReg::writeInt(const wstring& section, const wstring& name, int value)
{
    checkDone(openKey.setDword(section.buffer(), name.buffer(), static_cast<DWORD>(value)));
}

int SettingReg::readInt(const wstring& section, const wstring& name, int defaultValue) const
{
    return static_cast<int>(openKey.getDword(section.buffer(), name.buffer(), static_cast<DWORD>(defaultValue)));
}

bool SettingReg::readBool(const wstring& section, const wstring& name, bool defaultValue) const
{
    return openKey.getDword(section.buffer(), name.buffer(), defaultValue ? 1 : 0) != 0;
}

void SettingReg::deleteSection(const wstring& section)
{
    checkDone(openKey.deleteSubKey(section.buffer()));
}

void SettingReg::deleteKey(const wstring& section, const wstring& name)
{
    checkDone(openKey.deleteValue(section.buffer(), name.buffer()));
}

wstring SettingReg::readKeyValue(const wstring& name, const wstring& defaultValue) const
{
    return readString(L"", name, defaultValue);
}

void SettingReg::getSubKeyNames(const wstring& section, wstringArray& names) const
{
    names.removeAll();
    RegKeyInfo info;
    checkDone(openKey.queryInfo(section.buffer(), info));
    DWORD capacity = info.longestSubKeyName + 1;
    wstring buffer;
    wchar_t* name = buffer.reserve(static_cast<int>(capacity));
    for (DWORD index = 0;; ++index) {
        LONG result = openKey.enumSubKey(section.buffer(), index, name, capacity);
        if (result == ERROR_NO_MORE_ITEMS)
            return;
        if (result != ERROR_SUCCESS) {
            names.removeAll();
            throw Exception(static_cast<int>(result));
        }
        names.add(wstring(name));
    }
}
