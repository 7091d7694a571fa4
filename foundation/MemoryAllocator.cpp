#include "foundation/MemoryAllocator.h"
#include <new>
#include "foundation/CriticalSection.h"

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

// Freed blocks of picture size, kept for the next picture. The system hands out fresh memory page by page and
// zero-fills each page when it is first touched; for a 12-megapixel picture that first touch costs ten times
// the copy that causes it (and far more in a virtual machine whose host backs memory lazily), while a kept
// block is written at memory speed. A batch makes blocks of the same few sizes over and over, so a handful
// is enough.
class KeptBlocks {
public:
    static constexpr SIZE_T Smallest = 1 << 20;

    // A kept block of at least `bytes`, zero-filled, or null. A block more than twice as large is left for a
    // larger picture.
    void* take(SIZE_T bytes)
    {
        CriticalSectionLock hold(lock);
        size_t best = count;
        for (size_t i = 0; i < count; ++i) {
            SIZE_T size = blocks[i].size;
            if (size >= bytes && size / 2 <= bytes && (best == count || size < blocks[best].size))
                best = i;
        }
        if (best == count)
            return nullptr;
        Kept kept = remove(best);
        // All of it: growth in place must read as zero too.
        ZeroMemory(kept.block, kept.size);
        return kept.block;
    }

    // Keeps the block, giving the oldest kept ones back to the system when there are too many; false when the
    // block is not worth keeping. Frees run in destructors, so the room is there from the start and keeping
    // never needs memory of its own.
    bool keep(void* block)
    {
        SIZE_T size = HeapSize(GetProcessHeap(), 0, block);
        if (size == static_cast<SIZE_T>(-1) || size < Smallest || size > byteLimit())
            return false;
        CriticalSectionLock hold(lock);
        blocks[count++] = Kept{block, size};
        keptBytes += size;
        while (count > MostBlocks || keptBytes > byteLimit())
            HeapFree(GetProcessHeap(), 0, remove(0).block);
        return true;
    }

private:
    struct Kept {
        void* block;
        SIZE_T size;
    };

    // Enough for the source, a filter's copy and its work area of a few pictures.
    static constexpr size_t MostBlocks = 8;

    // A sixteenth of the machine's memory.
    static SIZE_T byteLimit()
    {
        static const SIZE_T limit = [] {
            MEMORYSTATUSEX status = {sizeof(status)};
            return GlobalMemoryStatusEx(&status) ? static_cast<SIZE_T>(status.ullTotalPhys / 16) : Smallest * 64;
        }();
        return limit;
    }

    // Under the lock; the blocks after it move up, so the oldest stays first.
    Kept remove(size_t index)
    {
        Kept kept = blocks[index];
        for (size_t i = index + 1; i < count; ++i)
            blocks[i - 1] = blocks[i];
        --count;
        keptBytes -= kept.size;
        return kept;
    }

    CriticalSection lock;
    // One more than are kept: the block just given back, before the oldest goes.
    Kept blocks[MostBlocks + 1] = {};
    size_t count = 0;
    SIZE_T keptBytes = 0;
};

// Never destroyed: blocks are freed until the process ends, by static owners too. Made in place, since the
// first free may come when no memory is left.
KeptBlocks& keptBlocks()
{
    alignas(KeptBlocks) static unsigned char place[sizeof(KeptBlocks)];
    static KeptBlocks* kept = new (place) KeptBlocks();
    return *kept;
}

} // namespace

void* MemoryAllocator::alloc(int bytes)
{
    if (bytes < 0 || injectedFailure())
        return failWithNoMemory();
    SIZE_T size = static_cast<SIZE_T>(bytes);
    void* block = size >= KeptBlocks::Smallest ? keptBlocks().take(size) : nullptr;
    if (!block)
        block = HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, size);
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
    if (block && !keptBlocks().keep(block))
        HeapFree(GetProcessHeap(), 0, block);
}

void MemoryAllocator::failAfter(int successes)
{
    injectedSuccesses = successes;
}
