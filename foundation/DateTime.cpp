#include "foundation/DateTime.h"

namespace {

int order(int first, int second)
{
    return first < second ? -1 : first > second ? 1 : 0;
}

} // namespace

DateTime::DateTime()
{
    setNow();
}

DateTime::DateTime(const SYSTEMTIME& systemTime)
{
    setNow();
    setSystemTime(systemTime);
}

void DateTime::setNow()
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    setSystemTime(now);
}

void DateTime::setSystemTime(const SYSTEMTIME& systemTime)
{
    Date newDate(date);
    Time newTime(time);
    newDate.set(systemTime.wYear, systemTime.wMonth, systemTime.wDay);
    newTime.set(systemTime.wHour, systemTime.wMinute, systemTime.wSecond, systemTime.wMilliseconds);
    date = newDate;
    time = newTime;
}

SYSTEMTIME DateTime::toSystemTime() const
{
    SYSTEMTIME systemTime{};
    systemTime.wYear = static_cast<WORD>(date.getYear());
    systemTime.wMonth = static_cast<WORD>(date.getMonth());
    systemTime.wDay = static_cast<WORD>(date.getDay());
    systemTime.wDayOfWeek = static_cast<WORD>(date.dayOfWeek());
    systemTime.wHour = static_cast<WORD>(time.getHour());
    systemTime.wMinute = static_cast<WORD>(time.getMinute());
    systemTime.wSecond = static_cast<WORD>(time.getSecond());
    systemTime.wMilliseconds = static_cast<WORD>(time.getMillisecond());
    return systemTime;
}

wstring DateTime::toString() const
{
    return date.toString() + L" " + time.toString();
}

wstring DateTime::format(const wstring& pattern) const
{
    return time.format(date.format(pattern));
}

wstring DateTime::toLocaleString(DWORD timeFlags) const
{
    return date.toLocaleString() + L" " + time.toLocaleString(timeFlags);
}

int DateTime::compare(const DateTime& other) const
{
    const int own[7] = {date.getYear(), date.getMonth(), date.getDay(), time.getHour(), time.getMinute(),
                        time.getSecond(), time.getMillisecond()};
    const int others[7] = {other.date.getYear(), other.date.getMonth(), other.date.getDay(), other.time.getHour(),
                           other.time.getMinute(), other.time.getSecond(), other.time.getMillisecond()};
    for (int i = 0; i < 7; ++i) {
        if (int result = order(own[i], others[i]))
            return result;
    }
    return 0;
}
