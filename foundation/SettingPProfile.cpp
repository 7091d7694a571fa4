#include "foundation/SettingPProfile.h"

namespace {

constexpr int ReadBufferUnits = 1024;

void checkWritten(BOOL written)
{
    if (!written)
        Exception::throwLastError();
}

} // namespace

SettingPProfile::SettingPProfile(const wchar_t* path)
{
    if (!path)
        Exception::throwInvalidArgument();
    if (!profile.setFileName(path))
        throw Exception(ErrorCode::NoMemory);
}

void SettingPProfile::writeEntry(const wstring& section, const wchar_t* key, const wchar_t* value)
{
    checkWritten(WritePrivateProfileStringW(section.buffer(), key, value, getFileName()));
}

void SettingPProfile::writeString(const wstring& section, const wstring& key, const wstring& value)
{
    writeEntry(section, key.buffer(), value.buffer());
}

wstring SettingPProfile::readString(const wstring& section, const wstring& key, const wstring& defaultValue) const
{
    wchar_t text[ReadBufferUnits];
    text[ReadBufferUnits - 1] = 0;
    GetPrivateProfileStringW(section.buffer(), key.buffer(), defaultValue.buffer(), text, ReadBufferUnits,
                             getFileName());
    return wstring(text);
}

void SettingPProfile::writeInt(const wstring& section, const wstring& key, int value)
{
    wstring text;
    text.setInt(value);
    writeEntry(section, key.buffer(), text.buffer());
}

int SettingPProfile::readInt(const wstring& section, const wstring& key, int defaultValue) const
{
    return static_cast<int>(GetPrivateProfileIntW(section.buffer(), key.buffer(), defaultValue, getFileName()));
}

bool SettingPProfile::readBool(const wstring& section, const wstring& key, bool defaultValue) const
{
    return GetPrivateProfileIntW(section.buffer(), key.buffer(), defaultValue ? 1 : 0, getFileName()) != 0;
}

void SettingPProfile::deleteSection(const wstring& section)
{
    checkWritten(WritePrivateProfileSectionW(section.buffer(), nullptr, getFileName()));
}

void SettingPProfile::deleteKey(const wstring& section, const wstring& key)
{
    writeEntry(section, key.buffer(), nullptr);
}

bool SettingPProfile::hasKeys(const wstring& section) const
{
    // Room for the start of one entry is enough to tell.
    wchar_t entries[4] = {};
    return GetPrivateProfileSectionW(section.buffer(), entries, 4, getFileName()) > 0;
}
