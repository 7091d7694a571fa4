#include "foundation/StringResource.h"
#include "foundation/Exception.h"
#include "foundation/MemoryStream.h"
#include "foundation/ResourceLoader.h"
#include "foundation/TextConverter.h"

namespace {

wstring decodeUtf8(const void* bytes, DWORD size)
{
    InputMemoryStream in;
    in.open(bytes, static_cast<int>(size));
    wstring text;
    Utf8Converter().decodeText(in, 0, text);
    return text;
}

// The document is handed to the parser as UTF-16 text, so its declaration must not claim another encoding.
wstring declareUtf16(const wstring& text)
{
    int keyword = text.toLower().find(L"encoding");
    if (keyword < 0)
        return text;
    int opening = text.find(L"\"", keyword + 1);
    if (opening < 0)
        return text;
    int closing = text.find(L"\"", opening + 1);
    if (closing < 0)
        return text;
    return text.left(opening + 1) + L"utf-16" + text.mid(closing);
}

} // namespace

void StringResource::load(HMODULE module, const wchar_t* resourceName, const wchar_t* resourceType,
                          const wstring& rootName, const wstring& entryName)
{
    if (rootName.isEmpty() || entryName.isEmpty())
        Exception::throwInvalidArgument();
    table.setRootElementName(rootName);
    table.setEntryElementName(entryName);
    DWORD size = 0;
    const void* bytes = ResourceLoader::lock(module, resourceName, resourceType, size);
    table.loadXML(declareUtf16(decodeUtf8(bytes, size)));
}
