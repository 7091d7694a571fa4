#include "settings/TextEncoding.h"
#include <new>
#include "foundation/Exception.h"
#include "foundation/TextConverter.h"

namespace {

struct EncodingName {
    const wchar_t* name;
    int code;
};

const EncodingName encodingNames[] = {
    {L"shift_jis", TextEncoding::ShiftJis}, {L"sjis", TextEncoding::ShiftJis}, {L"utf-8", TextEncoding::Utf8},
    {L"utf8", TextEncoding::Utf8},          {L"utf-16", TextEncoding::Utf16},  {L"utf16", TextEncoding::Utf16},
    {L"jis", TextEncoding::Jis},            {L"euc-jp", TextEncoding::EucJp},
};

constexpr UINT ShiftJisCodePage = 932;

TextConverter* newConverter(int code)
{
    switch (code) {
    case TextEncoding::ShiftJis:
        return new (std::nothrow) CPConverter(ShiftJisCodePage);
    case TextEncoding::Utf16:
        return new (std::nothrow) Utf16Converter();
    case TextEncoding::Jis:
        return new (std::nothrow) JisConverter();
    case TextEncoding::EucJp:
        return new (std::nothrow) EucConverter();
    default:
        return new (std::nothrow) Utf8Converter();
    }
}

const EncodingName* findEncoding(const wstring& name)
{
    wstring lowered = name.toLower();
    for (const EncodingName& known : encodingNames) {
        if (lowered.equals(known.name))
            return &known;
    }
    return nullptr;
}

} // namespace

int getEncodingCode(const wstring& name)
{
    const EncodingName* known = findEncoding(name);
    return known ? known->code : TextEncoding::Utf8;
}

bool isKnownEncoding(const wstring& name)
{
    return findEncoding(name) != nullptr;
}

TextConverter* createTextConverter(const wstring& name)
{
    TextConverter* converter = newConverter(getEncodingCode(name));
    if (!converter)
        throwOutOfMemory();
    return converter;
}
