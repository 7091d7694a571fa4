#include "foundation/ProfileText.h"
#include <algorithm>
#include <string>

namespace {

const BYTE utf8Mark[] = {0xEF, 0xBB, 0xBF};

bool startsWith(const BYTE* bytes, int length, BYTE first, BYTE second)
{
    return length >= 2 && bytes[0] == first && bytes[1] == second;
}

std::wstring widened(UINT codePage, const BYTE* bytes, int length)
{
    auto text = reinterpret_cast<const char*>(bytes);
    int units = MultiByteToWideChar(codePage, 0, text, length, nullptr, 0);
    std::wstring wide(static_cast<size_t>(units), L'\0');
    MultiByteToWideChar(codePage, 0, text, length, wide.data(), units);
    return wide;
}

// Tabs, line breaks and spaces, and the end-of-file character as well; no other blank of Unicode.
bool isBlank(wchar_t unit)
{
    return (unit >= 0x09 && unit <= 0x0D) || unit == 0x1A || unit == L' ';
}

const wchar_t* skipBlanks(const wchar_t* start, const wchar_t* end)
{
    while (start < end && isBlank(*start))
        ++start;
    return start;
}

const wchar_t* dropBlanks(const wchar_t* start, const wchar_t* end)
{
    while (end > start && isBlank(end[-1]))
        --end;
    return end;
}

wstring textOf(const wchar_t* start, const wchar_t* end)
{
    return wstring(std::wstring(start, end).c_str());
}

// A value in quotes of one kind or the other comes back without them.
wstring unquoted(const wchar_t* start, const wchar_t* end)
{
    if (end - start >= 2 && (*start == L'"' || *start == L'\'') && end[-1] == *start)
        return textOf(start + 1, end - 1);
    return textOf(start, end);
}

// Names are looked up without regard to case and without surrounding blanks.
wstring nameKey(const wstring& name)
{
    const wchar_t* start = name.buffer();
    const wchar_t* end = start + name.length();
    start = skipBlanks(start, end);
    return textOf(start, dropBlanks(start, end)).toUpper();
}

} // namespace

// The file's text by its byte-order mark, the way the system tells INI files apart.
std::wstring ProfileText::decode(const BYTE* bytes, int length)
{
    if (length >= 3 && memcmp(bytes, utf8Mark, sizeof(utf8Mark)) == 0)
        return widened(CP_UTF8, bytes + 3, length - 3);
    bool littleEndian = startsWith(bytes, length, 0xFF, 0xFE);
    if (!littleEndian && !startsWith(bytes, length, 0xFE, 0xFF))
        return widened(CP_ACP, bytes, length);
    std::wstring wide;
    for (int i = 2; i + 1 < length; i += 2)
        wide += static_cast<wchar_t>(littleEndian ? bytes[i] | bytes[i + 1] << 8 : bytes[i] << 8 | bytes[i + 1]);
    return wide;
}

void ProfileText::read(const BYTE* bytes, int length)
{
    sections.removeAll();
    std::wstring text = decode(bytes, length);
    const wchar_t* position = text.data();
    const wchar_t* end = position + text.size();
    // Keys before the first section header belong to a section without a name.
    sections.add(wstring(), Section(11));
    Section* section = sections.find(wstring());
    bool sectionCounts = true;
    while (position < end) {
        // Lines end at line feeds; a file without any more of them is cut at carriage returns instead.
        const wchar_t* lineEnd = std::find(position, end, L'\n');
        if (lineEnd == end)
            lineEnd = std::find(position, end, L'\r');
        readLine(position, lineEnd, section, sectionCounts);
        position = lineEnd + 1;
    }
}

void ProfileText::readLine(const wchar_t* start, const wchar_t* end, Section*& section, bool& sectionCounts)
{
    start = skipBlanks(start, end);
    if (start == end)
        return;
    if (*start == L'[') {
        const wchar_t* close = end;
        while (close > start && close[-1] != L']')
            --close;
        if (close > start) {
            // A second section of a name is never searched: its keys are dropped with it.
            const wchar_t* nameStart = skipBlanks(start + 1, close - 1);
            wstring name = textOf(nameStart, dropBlanks(nameStart, close - 1)).toUpper();
            sectionCounts = !sections.find(name);
            if (sectionCounts)
                sections.add(name, Section(11));
            section = sections.find(name);
            return;
        }
        // A header without its bracket is read as a key.
    }
    end = dropBlanks(start, end);
    const wchar_t* equals = std::find(start, end, L'=');
    bool hasValue = equals != end;
    wstring name = textOf(start, hasValue ? dropBlanks(start, equals) : end);
    wstring key = name.toUpper();
    if (!sectionCounts || section->find(key))
        return;
    wstring value = hasValue ? unquoted(skipBlanks(equals + 1, end), end) : wstring();
    bool listed = name.buffer()[0] != L';' && (hasValue || !name.isEmpty());
    section->add(key, Entry{value, hasValue, listed});
}

const ProfileText::Section* ProfileText::findSection(const wstring& name) const
{
    return sections.find(nameKey(name));
}

const wstring* ProfileText::find(const wstring& section, const wstring& key) const
{
    const Section* keys = findSection(section);
    const Entry* entry = keys ? keys->find(nameKey(key)) : nullptr;
    return entry && entry->hasValue ? &entry->value : nullptr;
}

bool ProfileText::hasEntries(const wstring& section) const
{
    const Section* keys = sections.find(section.toUpper());
    if (!keys)
        return false;
    for (int i = 0; i < keys->count(); ++i) {
        if (keys->valueAt(i).listed)
            return true;
    }
    return false;
}
