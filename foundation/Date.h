#pragma once
#include "foundation/wstring.h"

// A local calendar date of the Gregorian calendar, years 1 to 9999. Formatting follows the thread's locale.
class Date {
public:
    // Today's local date.
    Date();
    virtual ~Date() = default;

    // A day that does not exist throws Exception 87 and leaves the date as it was.
    void set(int year, int month, int day);
    // 0 = Sunday ... 6 = Saturday, as SYSTEMTIME's wDayOfWeek.
    int dayOfWeek() const;
    // "yyyy:MM:dd", the form of the log's time stamps.
    wstring toString() const;
    // A date picture of GetDateFormatW ("yyyyMMdd", "dddd", quoted text ...).
    wstring format(const wstring& pattern) const;
    // The locale's short date.
    wstring toLocaleString() const;

    int getYear() const { return year; }
    int getMonth() const { return month; }
    int getDay() const { return day; }

private:
    wstring formatWith(const wchar_t* pattern) const;

    int year = 1;
    int month = 1;
    int day = 1;
};
