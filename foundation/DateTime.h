#pragma once
#include "foundation/Date.h"
#include "foundation/Time.h"

// A local date and time: the program's time stamps, file times for display, and the dates of output names.
class DateTime {
public:
    // The current local date and time.
    DateTime();
    // A SYSTEMTIME that names no real moment throws Exception 87.
    explicit DateTime(const SYSTEMTIME& systemTime);
    virtual ~DateTime() = default;

    void setNow();
    // All or nothing: a bad field throws Exception 87 and leaves both parts as they were.
    void setSystemTime(const SYSTEMTIME& systemTime);
    Date getDate() const { return date; }
    Time getTime() const { return time; }
    SYSTEMTIME toSystemTime() const;
    // "yyyy:MM:dd HH:mm:ss" whatever the locale.
    wstring toString() const;
    // The date pictures of the pattern are replaced first and the time pictures in that result next, so a
    // letter that the date step leaves or produces (quoted text, month and day names) is read again as a time
    // picture. Fit for patterns made of date and time elements only, such as "yyyyMMdd".
    wstring format(const wstring& pattern) const;
    // The locale's short date, a space and the locale's time with the given GetTimeFormatW flags.
    wstring toLocaleString(DWORD timeFlags) const;
    // -1, 0 or 1, from the year down to the millisecond.
    int compare(const DateTime& other) const;
    DateTime& assign(const DateTime& other) { return *this = other; }

private:
    Date date;
    Time time;
};
