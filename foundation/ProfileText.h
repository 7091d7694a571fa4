#pragma once
#include <windows.h>
#include <string>
#include "foundation/StringKeyCollection.h"

// The sections and keys of an INI file's text, found as the system's private-profile functions find them in
// the file: section and key names compare without regard to case, only the first section of a name and the
// first key of a name in it count, white space around names and values is dropped, and a line without "="
// names a key without a value, which reads as missing.
class ProfileText {
public:
    ProfileText() = default;
    ProfileText(const ProfileText&) = delete;
    ProfileText& operator=(const ProfileText&) = delete;
    virtual ~ProfileText() = default;

    // Replaces what was read before. The text is UTF-8 or UTF-16 after the byte-order mark of either, and in
    // the ANSI code page without one.
    void read(const BYTE* bytes, int length);
    // The key's value as GetPrivateProfileStringW gives it, quotes around it removed but not yet cut to a
    // buffer; null where that function gives the default.
    const wstring* find(const wstring& section, const wstring& key) const;
    // Whether GetPrivateProfileSectionW lists an entry of the section (comments and blank keys are no entries).
    bool hasEntries(const wstring& section) const;

    // The file's text as read takes it, by its byte-order mark.
    static std::wstring decode(const BYTE* bytes, int length);

private:
    struct Entry {
        wstring value;
        bool hasValue;
        bool listed;
    };
    using Section = StringKeyCollection<Entry>;

    void readLine(const wchar_t* start, const wchar_t* end, Section*& section, bool& sectionCounts);
    const Section* findSection(const wstring& name) const;

    StringKeyCollection<Section> sections{11};
};
