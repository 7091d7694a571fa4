#include "foundation/SettingPProfile.h"
#include <new>
#include <winternl.h>

// Not in the SDK's user-mode headers, but exported by ntdll; the private-profile functions read their integers
// with it (base 0: decimal, or hexadecimal, octal or binary after "0x", "0o" or "0b").
extern "C" NTSTATUS NTAPI RtlUnicodeStringToInteger(PCUNICODE_STRING string, ULONG base, PULONG value);

namespace {

constexpr int ReadBufferUnits = 1024;
// GetPrivateProfileIntW reads the text into a buffer of this many units before converting it.
constexpr int IntBufferUnits = 30;

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

void SettingPProfile::read(const BYTE* bytes, int length)
{
    auto taken = std::unique_ptr<ProfileText>(new (std::nothrow) ProfileText());
    if (!taken)
        throw Exception(ErrorCode::NoMemory);
    taken->read(bytes, length);
    text = std::move(taken);
}

void SettingPProfile::requireFileAccess() const
{
    // The file may no longer hold what was read, so the two must not be mixed.
    if (text)
        throw Exception(ErrorCode::InvalidState);
}

void SettingPProfile::writeEntry(const wstring& section, const wchar_t* key, const wchar_t* value)
{
    requireFileAccess();
    checkWritten(WritePrivateProfileStringW(section.buffer(), key, value, getFileName()));
}

void SettingPProfile::writeString(const wstring& section, const wstring& key, const wstring& value)
{
    writeEntry(section, key.buffer(), value.buffer());
}

wstring SettingPProfile::readString(const wstring& section, const wstring& key, const wstring& defaultValue) const
{
    if (text) {
        const wstring* value = text->find(section, key);
        return (value ? *value : defaultValue).left(ReadBufferUnits - 1);
    }
    wchar_t read[ReadBufferUnits];
    read[ReadBufferUnits - 1] = 0;
    GetPrivateProfileStringW(section.buffer(), key.buffer(), defaultValue.buffer(), read, ReadBufferUnits,
                             getFileName());
    return wstring(read);
}

void SettingPProfile::writeInt(const wstring& section, const wstring& key, int value)
{
    wstring number;
    number.setInt(value);
    writeEntry(section, key.buffer(), number.buffer());
}

// As GetPrivateProfileIntW: an empty value gives the default too, and only the leading digits count.
int SettingPProfile::textInt(const wstring& section, const wstring& key, int defaultValue) const
{
    const wstring* value = text->find(section, key);
    if (!value || value->isEmpty())
        return defaultValue;
    wstring digits = value->left(IntBufferUnits - 1);
    UNICODE_STRING number;
    number.Buffer = const_cast<wchar_t*>(digits.buffer());
    number.Length = static_cast<USHORT>(digits.length() * sizeof(wchar_t));
    number.MaximumLength = number.Length;
    ULONG result = 0;
    RtlUnicodeStringToInteger(&number, 0, &result);
    return static_cast<int>(result);
}

int SettingPProfile::readInt(const wstring& section, const wstring& key, int defaultValue) const
{
    if (text)
        return textInt(section, key, defaultValue);
    return static_cast<int>(GetPrivateProfileIntW(section.buffer(), key.buffer(), defaultValue, getFileName()));
}

bool SettingPProfile::readBool(const wstring& section, const wstring& key, bool defaultValue) const
{
    return readInt(section, key, defaultValue ? 1 : 0) != 0;
}

void SettingPProfile::deleteSection(const wstring& section)
{
    requireFileAccess();
    checkWritten(WritePrivateProfileSectionW(section.buffer(), nullptr, getFileName()));
}

void SettingPProfile::deleteKey(const wstring& section, const wstring& key)
{
    writeEntry(section, key.buffer(), nullptr);
}

bool SettingPProfile::hasKeys(const wstring& section) const
{
    if (text)
        return text->hasEntries(section);
    // Room for the start of one entry is enough to tell.
    wchar_t entries[4] = {};
    return GetPrivateProfileSectionW(section.buffer(), entries, 4, getFileName()) > 0;
}
