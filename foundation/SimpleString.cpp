#include "foundation/SimpleString.h"

void SimpleString::set(const wchar_t* value)
{
    text[0] = 0;
    if (value)
        lstrcpynW(text, value, Capacity);
}
