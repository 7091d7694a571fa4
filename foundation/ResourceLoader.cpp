#include "foundation/ResourceLoader.h"
#include "foundation/Exception.h"
#include "foundation/OutputStream.h"

namespace {

// Some of the resource functions fail without setting an error; a code of 0 would read as success.
[[noreturn]] void throwResourceError()
{
    DWORD error = GetLastError();
    throw Exception(static_cast<int>(error ? error : ERROR_RESOURCE_DATA_NOT_FOUND));
}

} // namespace

ResourceLoader::~ResourceLoader()
{
    if (module)
        FreeLibrary(module);
}

DWORD ResourceLoader::loadBin(OutputStream& output)
{
    if (!module)
        throw Exception(ErrorCode::InvalidState);
    DWORD size = 0;
    const void* bytes = lock(module, MAKEINTRESOURCEW(CabinetId), L"Bin", size);
    return output.write(bytes, size);
}

const void* ResourceLoader::lock(HMODULE module, const wchar_t* name, const wchar_t* type, DWORD& size)
{
    SetLastError(0);
    HRSRC found = FindResourceW(module, name, type);
    if (!found)
        throwResourceError();
    size = SizeofResource(module, found);
    if (!size)
        throwResourceError();
    HGLOBAL loaded = LoadResource(module, found);
    if (!loaded)
        throwResourceError();
    const void* bytes = LockResource(loaded);
    if (!bytes)
        throwResourceError();
    return bytes;
}
