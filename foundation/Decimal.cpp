#include "foundation/Decimal.h"
#include <climits>
#include "foundation/FormattedText.h"

namespace {

// Stored text always uses "." (see toString); the invariant locale reads it that way under any user locale.
constexpr LCID StorageLocale = LOCALE_INVARIANT;
constexpr int MaxScale = 28;
// The most decimals a locale can ask for (LOCALE_IDIGITS has two characters). Some GetNumberFormatW builds
// overrun their stack on larger counts, and a negative one reaches them as a huge unsigned count.
constexpr int MaxFormatDigits = 99;

DECIMAL* in(const DECIMAL& value)
{
    return const_cast<DECIMAL*>(&value);
}

class BstrOwner {
public:
    BstrOwner() = default;
    BstrOwner(const BstrOwner&) = delete;
    BstrOwner& operator=(const BstrOwner&) = delete;
    ~BstrOwner() { SysFreeString(text); }
    BSTR* out() { return &text; }
    const wchar_t* get() const { return text ? text : L""; }

private:
    BSTR text = nullptr;
};

wstring localeInfo(LCID locale, LCTYPE item)
{
    return formattedText([&](wchar_t* buffer, int units) { return GetLocaleInfoW(locale, item, buffer, units); });
}

} // namespace

Decimal::Decimal(int number)
{
    Exception::check(VarDecFromI4(number, &value));
}

Decimal::Decimal(double number)
{
    Exception::check(VarDecFromR8(number, &value));
    normalized();
}

void Decimal::parseIn(LCID locale, const wstring& text)
{
    wstring plain = text.trim().toLower();
    if (plain.isEmpty())
        Exception::throwInvalidArgument();
    Decimal parsed;
    Exception::check(VarDecFromStr(const_cast<wchar_t*>(plain.buffer()), locale, 0, &parsed.value));
    *this = parsed.normalized();
}

void Decimal::parseOrDefaultIn(LCID locale, const wstring& text, const Decimal& defaultValue)
{
    try {
        parseIn(locale, text);
    } catch (const Exception& e) {
        if (e.getCode() != ErrorCode::InvalidArgument && e.getCode() != static_cast<int>(DISP_E_TYPEMISMATCH))
            throw;
        value = defaultValue.value;
    }
}

void Decimal::parse(const wstring& text)
{
    parseIn(StorageLocale, text);
}

void Decimal::parseOrDefault(const wstring& text, const Decimal& defaultValue)
{
    parseOrDefaultIn(StorageLocale, text, defaultValue);
}

void Decimal::parseLocaleOrDefault(const wstring& text, const Decimal& defaultValue)
{
    parseOrDefaultIn(GetThreadLocale(), text, defaultValue);
}

double Decimal::toDouble() const
{
    double number = 0;
    Exception::check(VarR8FromDec(in(value), &number));
    return number;
}

int Decimal::toInt() const
{
    // VarI4FromDec rounds on some systems, so the fraction goes first.
    Decimal whole = fix();
    LONG number = 0;
    Exception::check(VarI4FromDec(&whole.value, &number));
    return number;
}

int Decimal::toIntRounded() const
{
    Decimal whole = fix();
    // Twice the fraction's size against one: below rounds toward zero, above away from it, equal to even.
    Decimal twiceFraction = add(whole.multiply(Decimal(-1))).abs().multiply(Decimal(2));
    LONGLONG number = whole.toInt();
    int side = twiceFraction.compare(Decimal(1));
    if (side == VARCMP_GT || (side == VARCMP_EQ && number % 2 != 0))
        number += isNegative() ? -1 : 1;
    if (number < INT_MIN || number > INT_MAX)
        Exception::check(DISP_E_OVERFLOW);
    return static_cast<int>(number);
}

// The cut is done on the mantissa here rather than by VarDecFix, which some oleaut32 builds compute through
// a double and so get wrong beyond 15 significant digits.
int Decimal::dropDigits(int count, bool* sticky)
{
    if (value.scale > MaxScale)
        Exception::check(E_INVALIDARG);
    ULONG words[3] = {value.Hi32, value.Mid32, value.Lo32};
    ULONGLONG remainder = 0;
    for (int i = 0; i < count; ++i) {
        if (sticky && remainder != 0)
            *sticky = true;
        remainder = 0;
        for (ULONG& word : words) {
            ULONGLONG part = remainder << 32 | word;
            word = static_cast<ULONG>(part / 10);
            remainder = part % 10;
        }
    }
    value.Hi32 = words[0];
    value.Mid32 = words[1];
    value.Lo32 = words[2];
    value.scale = static_cast<BYTE>(value.scale - count);
    normalized();
    return static_cast<int>(remainder);
}

Decimal& Decimal::normalized()
{
    if (value.Hi32 == 0 && value.Lo64 == 0)
        value.sign = 0;
    return *this;
}

Decimal Decimal::fix() const
{
    Decimal result(*this);
    result.dropDigits(value.scale);
    return result;
}

Decimal Decimal::abs() const
{
    Decimal result;
    Exception::check(VarDecAbs(in(value), &result.value));
    return result.normalized();
}

Decimal Decimal::truncate(int digits) const
{
    if (digits < 0)
        Exception::throwInvalidArgument();
    Decimal result(*this);
    if (digits < value.scale)
        result.dropDigits(value.scale - digits);
    return result;
}

// Rounded on the mantissa rather than by VarDecRound, which some oleaut32 builds get wrong: they take any
// dropped fraction away from zero (2.3441 to two places gives 2.35). Halves go to the even neighbour, as
// toIntRounded does.
Decimal Decimal::round(int digits) const
{
    if (digits < 0)
        Exception::throwInvalidArgument();
    Decimal result(*this);
    if (digits >= value.scale)
        return result;
    bool sticky = false;
    int last = result.dropDigits(value.scale - digits, &sticky);
    bool odd = result.value.Lo32 % 2 != 0;
    if (last > 5 || (last == 5 && (sticky || odd))) {
        // After at least one division by 10 the mantissa is far below its limit, so adding 1 cannot overflow.
        DECIMAL step{};
        step.Lo32 = 1;
        step.scale = result.value.scale;
        step.sign = isNegative() ? DECIMAL_NEG : 0;
        Exception::check(VarDecAdd(&result.value, &step, &result.value));
    }
    return result.normalized();
}

Decimal Decimal::add(const Decimal& other) const
{
    Decimal result;
    Exception::check(VarDecAdd(in(value), in(other.value), &result.value));
    return result.normalized();
}

Decimal Decimal::multiply(const Decimal& other) const
{
    Decimal result;
    Exception::check(VarDecMul(in(value), in(other.value), &result.value));
    return result.normalized();
}

Decimal Decimal::divide(const Decimal& other) const
{
    Decimal result;
    Exception::check(VarDecDiv(in(value), in(other.value), &result.value));
    return result.normalized();
}

int Decimal::compare(const Decimal& other) const
{
    HRESULT order = VarDecCmp(in(value), in(other.value));
    Exception::check(order);
    return static_cast<int>(order);
}

wstring Decimal::toString() const
{
    DECIMAL mantissa = value;
    mantissa.scale = 0;
    mantissa.sign = 0;
    BstrOwner digits;
    Exception::check(VarBstrFromDec(&mantissa, GetThreadLocale(), LOCALE_NOUSEROVERRIDE, digits.out()));
    wstring text(digits.get());
    int scale = value.scale;
    if (scale > 0) {
        text = text.padLeft(scale + 1);
        int whole = text.length() - scale;
        text = text.left(whole) + L"." + text.mid(whole);
    }
    return isNegative() ? L"-" + text : text;
}

wstring Decimal::formatNumber(int digits, const wchar_t* decimalSeparator, const wchar_t* thousandsSeparator) const
{
    if (digits < 0 || digits > MaxFormatDigits)
        Exception::throwInvalidArgument();
    wstring plain = abs().toString();
    NUMBERFMTW format{};
    format.NumDigits = static_cast<UINT>(digits);
    format.LeadingZero = 1;
    format.Grouping = 0;
    format.lpDecimalSep = const_cast<wchar_t*>(decimalSeparator);
    format.lpThousandSep = const_cast<wchar_t*>(thousandsSeparator);
    format.NegativeOrder = 1;
    LCID locale = GetThreadLocale();
    wstring text = formattedText([&](wchar_t* buffer, int units) {
        return GetNumberFormatW(locale, 0, plain.buffer(), &format, buffer, units);
    });
    return isNegative() ? L"-" + text : text;
}

wstring Decimal::toStringDecimals(int digits) const
{
    return formatNumber(digits, L".", L"");
}

wstring Decimal::toLocaleString(int digits) const
{
    LCID locale = GetThreadLocale();
    wstring decimalSeparator = localeInfo(locale, LOCALE_SDECIMAL);
    wstring thousandsSeparator = localeInfo(locale, LOCALE_STHOUSAND);
    return formatNumber(digits, decimalSeparator.buffer(), thousandsSeparator.buffer());
}
