#pragma once
#include "foundation/wstring.h"

// Runs one of the platform's text formatters (GetDateFormatW, GetTimeFormatW, GetNumberFormatW ...) twice:
// once to learn the length, once into a string of exactly that size. `format` (buffer, units) returns the
// formatter's result; 0 from either call throws Exception with the thread's last error.
template <typename Formatter>
wstring formattedText(Formatter format)
{
    int units = format(nullptr, 0);
    if (units < 1)
        Exception::throwLastError();
    wstring text;
    wchar_t* buffer = text.reserve(units);
    buffer[units - 1] = 0;
    if (format(buffer, units) < 1)
        Exception::throwLastError();
    return text;
}
