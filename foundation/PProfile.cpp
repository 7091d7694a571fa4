#include "foundation/PProfile.h"
#include "foundation/MemoryAllocator.h"

PProfile::~PProfile()
{
    setFileName(nullptr);
}

const wchar_t* PProfile::setFileName(const wchar_t* path)
{
    MemoryAllocator::free(fileName);
    fileName = nullptr;
    if (!path)
        return nullptr;
    int bytes = (lstrlenW(path) + 1) * static_cast<int>(sizeof(wchar_t));
    auto copy = static_cast<wchar_t*>(MemoryAllocator::alloc(bytes));
    if (!copy)
        return nullptr;
    CopyMemory(copy, path, bytes);
    fileName = copy;
    return fileName;
}
