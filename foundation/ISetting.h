#pragma once
#include "foundation/Decimal.h"
#include "foundation/Exception.h"
#include "foundation/wstring.h"

// A settings store: values in named sections, each under a key, read with a default and written back. Reads
// never fail on bad data (a missing key gives the default, a ranged read clamps); writes throw on failure.
class ISetting {
public:
    ISetting() = default;
    ISetting(const ISetting&) = delete;
    ISetting& operator=(const ISetting&) = delete;
    virtual ~ISetting() = default;

    virtual void writeString(const wstring& section, const wstring& key, const wstring& value) = 0;
    virtual wstring readString(const wstring& section, const wstring& key, const wstring& defaultValue) const = 0;
    virtual void writeInt(const wstring& section, const wstring& key, int value) = 0;
    // max < min throws Exception 87 before anything is read; the value read (or the default) is clamped.
    virtual int readIntInRange(const wstring& section, const wstring& key, int defaultValue, int minValue,
                               int maxValue) const;
    virtual int readInt(const wstring& section, const wstring& key, int defaultValue) const = 0;
    // Decimals are stored as Decimal::toString text ("." as the decimal point).
    virtual void writeDecimal(const wstring& section, const wstring& key, const Decimal& value);
    virtual Decimal readDecimalInRange(const wstring& section, const wstring& key, const Decimal& defaultValue,
                                       const Decimal& minValue, const Decimal& maxValue) const;
    // A missing key gives the default; stored text that is no number gives 0.
    virtual Decimal readDecimal(const wstring& section, const wstring& key, const Decimal& defaultValue) const;
    // Stored as the integer 1 or 0 unless the store has its own form.
    virtual void writeBool(const wstring& section, const wstring& key, bool value);
    virtual bool readBool(const wstring& section, const wstring& key, bool defaultValue) const = 0;
    virtual void deleteSection(const wstring& section) = 0;
    virtual void deleteKey(const wstring& section, const wstring& key) = 0;
};

// Thrown by a store's write for a value that its file cannot hold, so that it would read back otherwise; the
// code is ERROR_INVALID_DATA.
class UnstorableSettingValue : public Exception {
public:
    UnstorableSettingValue(const wstring& section, const wstring& key)
        : Exception(ERROR_INVALID_DATA), section(section), key(key)
    {
    }

    const wstring& getSection() const { return section; }
    const wstring& getKey() const { return key; }

private:
    wstring section;
    wstring key;
};
