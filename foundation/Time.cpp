#include "foundation/Time.h"
#include "foundation/FormattedText.h"

namespace {

bool inRange(int value, int highest)
{
    return value >= 0 && value <= highest;
}

} // namespace

Time::Time()
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    set(now.wHour, now.wMinute, now.wSecond, now.wMilliseconds);
}

void Time::set(int newHour, int newMinute, int newSecond, int newMillisecond)
{
    if (!inRange(newHour, 23) || !inRange(newMinute, 59) || !inRange(newSecond, 59) || !inRange(newMillisecond, 999))
        Exception::throwInvalidArgument();
    hour = newHour;
    minute = newMinute;
    second = newSecond;
    millisecond = newMillisecond;
}

wstring Time::toString() const
{
    return format(L"HH:mm:ss");
}

wstring Time::format(const wstring& pattern) const
{
    return formatWith(0, pattern.buffer());
}

wstring Time::toLocaleString(DWORD flags) const
{
    return formatWith(flags, nullptr);
}

wstring Time::formatWith(DWORD flags, const wchar_t* pattern) const
{
    SYSTEMTIME time{};
    time.wHour = static_cast<WORD>(hour);
    time.wMinute = static_cast<WORD>(minute);
    time.wSecond = static_cast<WORD>(second);
    time.wMilliseconds = static_cast<WORD>(millisecond);
    LCID locale = GetThreadLocale();
    return formattedText([&](wchar_t* buffer, int units) {
        return GetTimeFormatW(locale, flags, &time, pattern, buffer, units);
    });
}
