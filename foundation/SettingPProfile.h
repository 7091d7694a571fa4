#pragma once
#include "foundation/ISetting.h"
#include "foundation/PProfile.h"

// The settings store over an INI file (private-profile functions; text in the ANSI code page). Strings read
// back are cut to 1,023 characters; a failing write throws Exception with the system's error.
class SettingPProfile : public ISetting {
public:
    // A null path throws Exception 87.
    explicit SettingPProfile(const wchar_t* path);

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
    void writeEntry(const wstring& section, const wchar_t* key, const wchar_t* value);

    PProfile profile;
};
