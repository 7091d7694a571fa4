#include "foundation/SettingPProfile.h"
#include <cwctype>
#include <new>
#include <string>
#include <winternl.h>
#include "foundation/File.h"

// Not in the SDK's user-mode headers, but exported by ntdll; the private-profile functions read their integers
// with it (base 0: decimal, or hexadecimal, octal or binary after "0x", "0o" or "0b").
extern "C" NTSTATUS NTAPI RtlUnicodeStringToInteger(PCUNICODE_STRING string, ULONG base, PULONG value);

namespace {

constexpr int ReadBufferUnits = 1024;
// GetPrivateProfileIntW reads the text into a buffer of this many units before converting it.
constexpr int IntBufferUnits = 30;
// The profile functions take one pair of either quote off a value; a pair of the second kind inside the first
// marks a value whose line breaks and backslashes are escaped.
constexpr wchar_t Quote = L'"';
constexpr wchar_t EscapedQuote = L'\'';
constexpr wchar_t Escape = L'\\';
const BYTE unicodeMark[] = {0xFF, 0xFE};

void checkWritten(BOOL written)
{
    if (!written)
        Exception::throwLastError();
}

bool isEnclosedIn(const std::wstring& text, wchar_t quote)
{
    return text.size() >= 2 && text.front() == quote && text.back() == quote;
}

// The profile functions drop blanks and control characters at a value's ends, and take quotes off them.
bool isFragileEnd(wchar_t unit)
{
    return unit <= L' ' || std::iswspace(unit) || unit == Quote || unit == EscapedQuote;
}

std::wstring escaped(const std::wstring& value)
{
    std::wstring text;
    for (wchar_t unit : value) {
        if (unit == L'\r')
            text += L"\\r";
        else if (unit == L'\n')
            text += L"\\n";
        else if (unit == Escape)
            text += L"\\\\";
        else
            text += unit;
    }
    return text;
}

std::wstring unescaped(const std::wstring& text)
{
    std::wstring value;
    for (size_t i = 0; i < text.size(); ++i) {
        wchar_t next = i + 1 < text.size() ? text[i + 1] : 0;
        if (text[i] != Escape || (next != L'r' && next != L'n' && next != Escape)) {
            value += text[i];
            continue;
        }
        value += next == L'r' ? L'\r' : next == L'n' ? L'\n' : Escape;
        ++i;
    }
    return value;
}

// The text that reads back as the value: as it is, in quotes when its ends would be lost, or escaped inside
// both quotes when it has a line break, which would end the line, or has the escaped form's own quotes. False
// when the read would cut the text.
bool storedForm(const std::wstring& value, std::wstring& stored)
{
    bool escape = value.find_first_of(L"\r\n") != std::wstring::npos || isEnclosedIn(value, EscapedQuote);
    bool quote = escape || (!value.empty() && (isFragileEnd(value.front()) || isFragileEnd(value.back())));
    if (escape)
        stored = std::wstring(1, Quote) + EscapedQuote + escaped(value) + EscapedQuote + Quote;
    else if (quote)
        stored = Quote + value + Quote;
    else
        stored = value;
    // A quoted text loses one unit of the read's buffer to its closing quote.
    return stored.size() <= static_cast<size_t>(ReadBufferUnits - 1 + (quote ? 1 : 0));
}

// What earlier versions wrote is taken as it reads: only the escaped form is changed back.
wstring valueOf(const wchar_t* read)
{
    std::wstring text(read);
    if (!isEnclosedIn(text, EscapedQuote))
        return wstring(read);
    return wstring(unescaped(text.substr(1, text.size() - 2)).c_str());
}

// The whole file; nothing when there is none.
std::string fileBytes(const wchar_t* path)
{
    File file;
    if (!file.open(path, File::Read)) {
        if (GetLastError() == ERROR_FILE_NOT_FOUND)
            return std::string();
        Exception::throwLastError();
    }
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.getHandle(), &size))
        Exception::throwLastError();
    if (size.QuadPart > MAXDWORD / 2)
        throw Exception(ErrorCode::NoMemory);
    std::string bytes;
    try {
        bytes.resize(static_cast<size_t>(size.QuadPart));
    } catch (const std::bad_alloc&) {
        throw Exception(ErrorCode::NoMemory);
    }
    DWORD done = 0;
    if (!bytes.empty() && !ReadFile(file.getHandle(), bytes.data(), static_cast<DWORD>(bytes.size()), &done, nullptr))
        Exception::throwLastError();
    bytes.resize(done);
    return bytes;
}

void writeUnicodeText(const wchar_t* path, const std::wstring& text)
{
    File file;
    if (!file.open(path, File::Write) || !file.writeAll(unicodeMark, sizeof(unicodeMark)) ||
        !file.writeAll(text.data(), static_cast<DWORD>(text.size() * sizeof(wchar_t))))
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

// The profile functions write Unicode only into a file that begins with the UTF-16LE byte-order mark; into any
// other they write the ANSI code page, where other characters turn into "?". So before the first change the
// file is given the mark, and the text it holds is kept as it reads.
void SettingPProfile::makeUnicodeFile()
{
    if (unicode)
        return;
    std::string bytes = fileBytes(getFileName());
    if (bytes.size() < 2 || memcmp(bytes.data(), unicodeMark, sizeof(unicodeMark)) != 0) {
        auto start = reinterpret_cast<const BYTE*>(bytes.data());
        writeUnicodeText(getFileName(), ProfileText::decode(start, static_cast<int>(bytes.size())));
    }
    unicode = true;
}

void SettingPProfile::writeEntry(const wstring& section, const wchar_t* key, const wchar_t* value)
{
    requireFileAccess();
    makeUnicodeFile();
    checkWritten(WritePrivateProfileStringW(section.buffer(), key, value, getFileName()));
}

void SettingPProfile::writeString(const wstring& section, const wstring& key, const wstring& value)
{
    std::wstring stored;
    if (!storedForm(value.buffer(), stored))
        throw UnstorableSettingValue(section, key);
    writeEntry(section, key.buffer(), stored.c_str());
}

wstring SettingPProfile::profileString(const wstring& section, const wstring& key, const wchar_t* defaultValue) const
{
    wchar_t read[ReadBufferUnits];
    read[ReadBufferUnits - 1] = 0;
    GetPrivateProfileStringW(section.buffer(), key.buffer(), defaultValue, read, ReadBufferUnits, getFileName());
    return wstring(read);
}

wstring SettingPProfile::readString(const wstring& section, const wstring& key, const wstring& defaultValue) const
{
    if (text) {
        const wstring* value = text->find(section, key);
        return value ? valueOf(value->left(ReadBufferUnits - 1).buffer()) : defaultValue.left(ReadBufferUnits - 1);
    }
    // Read without the default, so that only what the file holds is changed back; an empty text is told
    // from a missing key by a second read with a default that the first rules out.
    wstring stored = profileString(section, key, L"");
    if (!stored.isEmpty())
        return valueOf(stored.buffer());
    return profileString(section, key, L"-").isEmpty() ? stored : defaultValue.left(ReadBufferUnits - 1);
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
    makeUnicodeFile();
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
