#pragma once
#include "foundation/wstring.h"

// A local time of day to the millisecond. Formatting follows the thread's locale.
class Time {
public:
    // The current local time.
    Time();
    virtual ~Time() = default;

    // A value out of range (negative ones too) throws Exception 87 and leaves the time as it was.
    void set(int hour, int minute, int second, int millisecond);
    // "HH:mm:ss", the form of the log's time stamps.
    wstring toString() const;
    // A time picture of GetTimeFormatW ("HH", "mm", "ss", "tt", quoted text ...).
    wstring format(const wstring& pattern) const;
    // The locale's time; flags as GetTimeFormatW's (TIME_NOSECONDS ...).
    wstring toLocaleString(DWORD flags) const;

    int getHour() const { return hour; }
    int getMinute() const { return minute; }
    int getSecond() const { return second; }
    int getMillisecond() const { return millisecond; }

private:
    wstring formatWith(DWORD flags, const wchar_t* pattern) const;

    int hour = 0;
    int minute = 0;
    int second = 0;
    int millisecond = 0;
};
