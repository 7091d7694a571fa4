#include "foundation/PropVariant.h"
#include <propvarutil.h>

namespace {

const wchar_t* requiredText(const wchar_t* text)
{
    if (!text)
        Exception::throwInvalidArgument();
    return text;
}

} // namespace

PropVariant::PropVariant()
{
    PropVariantInit(&value);
}

PropVariant::~PropVariant()
{
    PropVariantClear(&value);
}

void PropVariant::clear()
{
    PropVariantClear(&value);
}

PROPVARIANT* PropVariant::out()
{
    clear();
    return &value;
}

void PropVariant::changeType(VARTYPE type)
{
    if (value.vt == type)
        return;
    // Into a separate value first, so that a failure leaves the held one as it was.
    PROPVARIANT changed;
    PropVariantInit(&changed);
    Exception::check(PropVariantChangeType(&changed, value, 0, type));
    PropVariantClear(&value);
    value = changed;
}

wstring PropVariant::toString()
{
    if (value.vt == VT_LPSTR) {
        if (!value.pszVal)
            Exception::throwInvalidArgument();
        wstring text;
        text.assign(value.pszVal);
        return text;
    }
    if (value.vt == VT_LPWSTR)
        return wstring(requiredText(value.pwszVal));
    changeType(VT_BSTR);
    return wstring(requiredText(value.bstrVal));
}

FILETIME PropVariant::toFileTime()
{
    changeType(VT_FILETIME);
    return value.filetime;
}
