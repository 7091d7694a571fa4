#pragma once
#include <windows.h>
#include "foundation/Decimal.h"
#include "foundation/ISetting.h"

// Moves keys between fields and a settings store in one direction, so that each key's name, default and range
// are written down once for loading and saving alike. Reads clamp into the range; a missing key gives the
// default.
class SettingExchange {
public:
    SettingExchange(ISetting& store, bool loading, const wstring& rootName, HMODULE module)
        : store(store), loading(loading), rootName(rootName), module(module)
    {
    }
    SettingExchange(const SettingExchange&) = delete;
    SettingExchange& operator=(const SettingExchange&) = delete;
    virtual ~SettingExchange() = default;

    bool isLoading() const { return loading; }
    ISetting& getStore() { return store; }
    const wstring& getSection() const { return section; }
    void setSection(const wstring& name) { section = name; }
    // The application's name: the XML root and the base of some defaults.
    const wstring& getRootName() const { return rootName; }
    // Where default texts are loaded from.
    HMODULE getModule() const { return module; }

    void integer(const wchar_t* key, int& field, int defaultValue);
    void integer(const wchar_t* key, int& field, int defaultValue, int minValue, int maxValue);
    void flag(const wchar_t* key, bool& field, bool defaultValue);
    void text(const wchar_t* key, wstring& field, const wstring& defaultValue);
    // Bounds and default as decimal text with "." as the decimal point.
    void number(const wchar_t* key, Decimal& field, const wchar_t* defaultValue, const wchar_t* minValue,
                const wchar_t* maxValue);
    // Stored as "0x" and lower-case hexadecimal digits; text that is no number keeps the default.
    void colour(const wchar_t* key, COLORREF& field, COLORREF defaultValue);

private:
    ISetting& store;
    bool loading;
    wstring rootName;
    HMODULE module;
    wstring section;
};
