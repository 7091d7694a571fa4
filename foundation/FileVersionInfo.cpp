#include "foundation/FileVersionInfo.h"
#include "foundation/Exception.h"
#include "foundation/MemoryAllocator.h"

namespace {

struct Translation {
    WORD language;
    WORD codePage;
};

} // namespace

FileVersionInfo::~FileVersionInfo()
{
    release();
}

void FileVersionInfo::release()
{
    MemoryAllocator::free(block);
    block = nullptr;
}

bool FileVersionInfo::load(const wchar_t* path)
{
    release();
    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeW(path, &ignored);
    if (size == 0)
        return false;
    void* data = MemoryAllocator::alloc(static_cast<int>(size));
    if (!data)
        Exception::throwLastError();
    if (!GetFileVersionInfoW(path, 0, size, data)) {
        DWORD error = GetLastError();
        MemoryAllocator::free(data);
        throw Exception(static_cast<int>(error));
    }
    block = data;
    return true;
}

wstring FileVersionInfo::getString(const wchar_t* name) const
{
    if (!block)
        throw Exception(ErrorCode::InvalidState);
    void* table = nullptr;
    UINT tableBytes = 0;
    if (!VerQueryValueW(block, L"\\VarFileInfo\\Translation", &table, &tableBytes))
        Exception::throwLastError();
    // An empty table has no first translation to read.
    if (tableBytes < sizeof(Translation))
        throw Exception(ERROR_RESOURCE_TYPE_NOT_FOUND);
    auto first = static_cast<const Translation*>(table);
    wchar_t prefix[32];
    wsprintfW(prefix, L"\\StringFileInfo\\%04x%04x\\", first->language, first->codePage);
    wstring query = wstring(prefix) + name;

    SetLastError(0);
    void* value = nullptr;
    UINT valueLength = 0;
    if (VerQueryValueW(block, query.buffer(), &value, &valueLength) && value)
        return wstring(static_cast<const wchar_t*>(value));
    DWORD error = GetLastError();
    if (error == 0 || error == ERROR_RESOURCE_TYPE_NOT_FOUND)
        return wstring();
    throw Exception(static_cast<int>(error));
}
