#include "settings/SettingExchange.h"
#include "foundation/Integer.h"

namespace {

Decimal decimalOf(const wchar_t* text)
{
    Decimal value(0);
    value.parse(text);
    return value;
}

} // namespace

void SettingExchange::integer(const wchar_t* key, int& field, int defaultValue)
{
    if (loading)
        field = store.readInt(section, key, defaultValue);
    else
        store.writeInt(section, key, field);
}

void SettingExchange::integer(const wchar_t* key, int& field, int defaultValue, int minValue, int maxValue)
{
    if (loading)
        field = store.readIntInRange(section, key, defaultValue, minValue, maxValue);
    else
        store.writeInt(section, key, field);
}

void SettingExchange::flag(const wchar_t* key, bool& field, bool defaultValue)
{
    if (loading)
        field = store.readBool(section, key, defaultValue);
    else
        store.writeBool(section, key, field);
}

void SettingExchange::text(const wchar_t* key, wstring& field, const wstring& defaultValue)
{
    if (loading)
        field = store.readString(section, key, defaultValue);
    else
        store.writeString(section, key, field);
}

void SettingExchange::number(const wchar_t* key, Decimal& field, const wchar_t* defaultValue,
                             const wchar_t* minValue, const wchar_t* maxValue)
{
    if (loading)
        field = store.readDecimalInRange(section, key, decimalOf(defaultValue), decimalOf(minValue),
                                         decimalOf(maxValue));
    else
        store.writeDecimal(section, key, field);
}

void SettingExchange::colour(const wchar_t* key, COLORREF& field, COLORREF defaultValue)
{
    Integer value(static_cast<int>(field));
    if (!loading) {
        store.writeString(section, key, wstring(L"0x") + value.toHexString());
        return;
    }
    value.parseOrDefault(store.readString(section, key, wstring()), static_cast<int>(defaultValue));
    field = static_cast<COLORREF>(value.value);
}
