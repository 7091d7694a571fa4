#pragma once
#include "foundation/ISetting.h"
#include "foundation/Reg.h"
#include "foundation/wstringArray.h"

// A registry key as a settings store: a section is a subkey (empty: the key itself), a key is a value name
// (empty: the default value). Numbers are REG_DWORD values and texts REG_SZ values; a failing write or delete
// throws Exception with the registry's error, a failing read gives the default. Starts closed: open it through
// reg().
class SettingReg : public ISetting {
public:
    Reg& reg() { return openKey; }

    void writeString(const wstring& section, const wstring& key, const wstring& value) override;
    // A stored empty text reads as the default.
    wstring readString(const wstring& section, const wstring& key, const wstring& defaultValue) const override;
    void writeInt(const wstring& section, const wstring& key, int value) override;
    int readInt(const wstring& section, const wstring& key, int defaultValue) const override;
    bool readBool(const wstring& section, const wstring& key, bool defaultValue) const override;
    // The subkey must have no subkeys of its own.
    void deleteSection(const wstring& section) override;
    void deleteKey(const wstring& section, const wstring& key) override;

    // A value of the open key itself.
    wstring readKeyValue(const wstring& key, const wstring& defaultValue) const;
    // The names of the section's subkeys in the registry's order; a failure empties the list and throws.
    void getSubKeyNames(const wstring& section, wstringArray& names) const;

private:
    Reg openKey;
};
