#include "foundation/ISetting.h"

int ISetting::readIntInRange(const wstring& section, const wstring& key, int defaultValue, int minValue,
                             int maxValue) const
{
    if (maxValue < minValue)
        Exception::throwInvalidArgument();
    int value = readInt(section, key, defaultValue);
    if (value < minValue)
        return minValue;
    if (value > maxValue)
        return maxValue;
    return value;
}

void ISetting::writeDecimal(const wstring& section, const wstring& key, const Decimal& value)
{
    writeString(section, key, value.toString());
}

Decimal ISetting::readDecimalInRange(const wstring& section, const wstring& key, const Decimal& defaultValue,
                                     const Decimal& minValue, const Decimal& maxValue) const
{
    if (maxValue.compare(minValue) == VARCMP_LT)
        Exception::throwInvalidArgument();
    Decimal value = readDecimal(section, key, defaultValue);
    if (value.compare(minValue) == VARCMP_LT)
        return minValue;
    if (value.compare(maxValue) == VARCMP_GT)
        return maxValue;
    return value;
}

Decimal ISetting::readDecimal(const wstring& section, const wstring& key, const Decimal& defaultValue) const
{
    wstring text = readString(section, key, defaultValue.toString());
    Decimal value(0);
    try {
        value.parseOrDefault(text, Decimal(0));
    } catch (const Exception& e) {
        // A number too large for a Decimal is bad data like any other text; reads never fail on it.
        if (e.getCode() != static_cast<int>(DISP_E_OVERFLOW))
            throw;
    }
    return value;
}

void ISetting::writeBool(const wstring& section, const wstring& key, bool value)
{
    writeInt(section, key, value ? 1 : 0);
}
