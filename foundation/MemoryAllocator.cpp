#include "foundation/MemoryAllocator.h"

namespace {

thread_local int injectedSuccesses = -1;

bool injectedFailure()
{
    if (injectedSuccesses < 0)
        return false;
    if (injectedSuccesses-- > 0)
        return false;
    return true;
}

void* failWithNoMemory()
{
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
}

} // namespace

void* MemoryAllocator::alloc(int bytes)
{
    if (bytes < 0 || injectedFailure())
        return failWithNoMemory();
    void* block = HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, static_cast<SIZE_T>(bytes));
    return block ? block : failWithNoMemory();
}

void* MemoryAllocator::realloc(void* block, int bytes)
{
    if (!block)
        return alloc(bytes);
    if (bytes < 0 || injectedFailure())
        return failWithNoMemory();
    void* moved = HeapReAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, block, static_cast<SIZE_T>(bytes));
    return moved ? moved : failWithNoMemory();
}

void MemoryAllocator::free(void* block)
{
    if (block)
        HeapFree(GetProcessHeap(), 0, block);
}

void MemoryAllocator::failAfter(int successes)
{
    injectedSuccesses = successes;
}
