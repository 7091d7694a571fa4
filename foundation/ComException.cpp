#include "foundation/ComException.h"

ComException::ComException(int code, const wchar_t* description, const wchar_t* source)
    : Exception(code), description(copyText(description))
{
    try {
        this->source = copyText(source);
    } catch (...) {
        freeText(this->description);
        throw;
    }
}

ComException::ComException(const ComException& other)
    : ComException(other.code, other.description, other.source)
{
}

ComException::~ComException()
{
    freeText(description);
    freeText(source);
}

wchar_t* ComException::getMessage(bool& mustFree) const
{
    if (!description)
        return Exception::getMessage(mustFree);
    mustFree = false;
    return description;
}
