#include "foundation/Exception.h"
#include <string>
#include "foundation/Allocator.h"
#include "foundation/foundationStrings.h"

wchar_t* Exception::copyText(const wchar_t* text)
{
    if (!text)
        return nullptr;
    int bytes = (lstrlenW(text) + 1) * static_cast<int>(sizeof(wchar_t));
    auto copy = static_cast<wchar_t*>(getDefaultAllocator().alloc(bytes, false));
    CopyMemory(copy, text, bytes);
    return copy;
}

void Exception::freeText(wchar_t* text)
{
    getDefaultAllocator().free(text);
}

wchar_t* Exception::getMessage(bool& mustFree) const
{
    mustFree = true;
    wchar_t* text = nullptr;
    DWORD flags = FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_ALLOCATE_BUFFER;
    DWORD length = FormatMessageW(flags, nullptr, static_cast<DWORD>(code), 0x400,
                                  reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    if (length == 0)
        return nullptr;
    return text;
}

ApplicationException::ApplicationException(const wchar_t* text, int code) : Exception(code), text(copyText(text)) {}

ApplicationException::ApplicationException(const ApplicationException& other)
    : Exception(other), text(copyText(other.text))
{
}

ApplicationException::~ApplicationException()
{
    freeText(text);
}

ApplicationException ApplicationException::fromModule(HMODULE module)
{
    wchar_t buffer[1024];
    if (LoadStringW(module, IDS_RESOURCE_LOAD_FAILED, buffer, 1024) < 1)
        throwLastError();
    return ApplicationException(buffer, ErrorCode::OwnMessage);
}

ApplicationException ApplicationException::forFile(DWORD error, const wchar_t* path, const wchar_t* lead)
{
    Exception system(static_cast<int>(error));
    bool mustFree = false;
    wchar_t* reason = system.getMessage(mustFree);
    std::wstring text = (lead ? std::wstring(lead) + L"\n" : std::wstring()) + (path ? path : L"") + L"\n" +
                        (reason ? reason : L"");
    if (reason && mustFree)
        LocalFree(reason);
    while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n'))
        text.pop_back();
    return ApplicationException(text.c_str(), static_cast<int>(error));
}

wchar_t* ApplicationException::getMessage(bool& mustFree) const
{
    mustFree = false;
    return text;
}
