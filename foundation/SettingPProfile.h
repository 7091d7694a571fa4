#pragma once
#include <memory>
#include "foundation/ISetting.h"
#include "foundation/PProfile.h"
#include "foundation/ProfileText.h"

// The settings store over an INI file (private-profile functions). The first change gives the file the UTF-16LE
// byte-order mark, so that it holds any character. A string reads back as it was written: one with blanks or
// quotes at its ends is written in quotes, one with line breaks escaped in a second pair of quotes ('...'
// inside "..."), and a value that would then be longer than a read takes (1,023 characters) is refused with
// UnstorableSettingValue. Text without that second pair reads as the private-profile functions give it, as in
// files of earlier versions. A failing write throws Exception with the system's error.
class SettingPProfile : public ISetting {
public:
    // A null path throws Exception 87.
    explicit SettingPProfile(const wchar_t* path);

    // Takes the file's whole text in at once, for a store that is only read from then on: the reads find
    // their keys in it, as the private-profile functions would in the file, without going to the file for
    // each key. Writes to a store that has read a text throw Exception 1.
    void read(const BYTE* bytes, int length);

    void writeString(const wstring& section, const wstring& key, const wstring& value) override;
    wstring readString(const wstring& section, const wstring& key, const wstring& defaultValue) const override;
    void writeInt(const wstring& section, const wstring& key, int value) override;
    int readInt(const wstring& section, const wstring& key, int defaultValue) const override;
    bool readBool(const wstring& section, const wstring& key, bool defaultValue) const override;
    void deleteSection(const wstring& section) override;
    void deleteKey(const wstring& section, const wstring& key) override;
    // Whether the file has the section with a key in it.
    bool hasKeys(const wstring& section) const;

    const wchar_t* getFileName() const { return profile.getFileName(); }

private:
    void makeUnicodeFile();
    void writeEntry(const wstring& section, const wchar_t* key, const wchar_t* value);
    wstring profileString(const wstring& section, const wstring& key, const wchar_t* defaultValue) const;
    void requireFileAccess() const;
    int textInt(const wstring& section, const wstring& key, int defaultValue) const;

    PProfile profile;
    std::unique_ptr<ProfileText> text;
    bool unicode = false;
};
