#pragma once
#include <windows.h>
#include <oleauto.h>
#include "foundation/wstring.h"

// An OLE automation decimal: exact fractional settings (scale factors, angles, qualities). Every failing
// platform call throws Exception with its HRESULT; a zero never carries a negative sign.
class Decimal {
public:
    explicit Decimal(int value);
    explicit Decimal(double value);
    Decimal(const Decimal& other) = default;
    Decimal& operator=(const Decimal& other) = default;
    virtual ~Decimal() = default;

    Decimal& assign(const Decimal& other) { return *this = other; }
    // Reads text as written by toString: "." is the decimal point whatever the thread's locale, so stored
    // settings read back the same everywhere. Blank text throws Exception 87.
    void parse(const wstring& text);
    // Text that is no number gives the default's value; other failures (overflow) pass on.
    void parseOrDefault(const wstring& text, const Decimal& defaultValue);
    // As parseOrDefault, but reads text as toLocaleString writes it: with the thread locale's decimal and
    // grouping separators. For what a user types, never for stored settings.
    void parseLocaleOrDefault(const wstring& text, const Decimal& defaultValue);

    double toDouble() const;
    // The integer part; outside the 32-bit range throws DISP_E_OVERFLOW.
    int toInt() const;
    // To the nearest integer, halves to the even one (2.5 gives 2, 3.5 gives 4, -2.5 gives -2); outside the
    // 32-bit range throws DISP_E_OVERFLOW.
    int toIntRounded() const;
    // The integer part, cut toward zero.
    Decimal fix() const;
    Decimal abs() const;
    // Cut toward zero to at most `digits` decimal places, keeping trailing zeros; digits < 0 throws 87.
    Decimal truncate(int digits) const;
    // To at most `digits` decimal places, halves to the even neighbour (2.345 gives 2.34, 2.355 gives 2.36);
    // digits < 0 throws 87.
    Decimal round(int digits) const;
    Decimal add(const Decimal& other) const;
    Decimal multiply(const Decimal& other) const;
    Decimal divide(const Decimal& other) const;
    // On failure the receiver stays as it was.
    Decimal& operator+=(const Decimal& other) { return *this = add(other); }
    Decimal& operator*=(const Decimal& other) { return *this = multiply(other); }
    Decimal& operator/=(const Decimal& other) { return *this = divide(other); }
    // VARCMP_LT, VARCMP_EQ or VARCMP_GT.
    int compare(const Decimal& other) const;

    // Exactly `scale` decimal places after a ".": 1.50 stays "1.50".
    wstring toString() const;
    // Rounded to `digits` places, "." as decimal point, no grouping; digits outside 0..99 throw 87.
    wstring toStringDecimals(int digits) const;
    // Rounded to `digits` places with the thread locale's decimal separator; digits outside 0..99 throw 87.
    wstring toLocaleString(int digits) const;

    const DECIMAL& getValue() const { return value; }
    bool isNegative() const { return value.sign == DECIMAL_NEG; }

private:
    Decimal() = default;
    void parseIn(LCID locale, const wstring& text);
    void parseOrDefaultIn(LCID locale, const wstring& text, const Decimal& defaultValue);
    // Divides the mantissa by 10 to the count; returns the last digit dropped, with sticky set when any
    // earlier dropped digit was not 0.
    int dropDigits(int count, bool* sticky = nullptr);
    Decimal& normalized();
    wstring formatNumber(int digits, const wchar_t* decimalSeparator, const wchar_t* thousandsSeparator) const;

    DECIMAL value{};
};
