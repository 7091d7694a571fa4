#include "foundation/Date.h"
#include "foundation/FormattedText.h"

namespace {

bool isLeapYear(int year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int daysInMonth(int year, int month)
{
    static const int days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && isLeapYear(year) ? 29 : days[month - 1];
}

} // namespace

Date::Date()
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    set(now.wYear, now.wMonth, now.wDay);
}

void Date::set(int newYear, int newMonth, int newDay)
{
    if (newYear < 1 || newYear > 9999 || newMonth < 1 || newMonth > 12)
        Exception::throwInvalidArgument();
    if (newDay < 1 || newDay > daysInMonth(newYear, newMonth))
        Exception::throwInvalidArgument();
    year = newYear;
    month = newMonth;
    day = newDay;
}

int Date::dayOfWeek() const
{
    int m = month;
    int y = year;
    if (m < 3) {
        m += 12;
        y -= 1;
    }
    return (day + (13 * m + 8) / 5 + y + y / 4 - y / 100 + y / 400) % 7;
}

wstring Date::toString() const
{
    return format(L"yyyy:MM:dd");
}

wstring Date::format(const wstring& pattern) const
{
    return formatWith(pattern.buffer());
}

wstring Date::toLocaleString() const
{
    return formatWith(nullptr);
}

wstring Date::formatWith(const wchar_t* pattern) const
{
    SYSTEMTIME date{};
    date.wYear = static_cast<WORD>(year);
    date.wMonth = static_cast<WORD>(month);
    date.wDay = static_cast<WORD>(day);
    date.wDayOfWeek = static_cast<WORD>(dayOfWeek());
    LCID locale = GetThreadLocale();
    return formattedText([&](wchar_t* buffer, int units) {
        return GetDateFormatW(locale, 0, &date, pattern, buffer, units);
    });
}
