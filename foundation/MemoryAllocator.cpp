#include "foundation/MemoryAllocator.h"
#include <vector>
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
        size_t best = blocks.size();
        for (size_t i = 0; i < blocks.size(); ++i) {
            SIZE_T size = blocks[i].size;
            if (size >= bytes && size / 2 <= bytes && (best == blocks.size() || size < blocks[best].size))
                best = i;
        }
        if (best == blocks.size())
            return nullptr;
        Kept kept = blocks[best];
        blocks.erase(blocks.begin() + best);
        keptBytes -= kept.size;
        // All of it: growth in place must read as zero too.
        ZeroMemory(kept.block, kept.size);
        return kept.block;
    }

    // Keeps the block, giving the oldest kept ones back to the system when there are too many; false when the
    // block is not worth keeping.
    bool keep(void* block)
    {
        SIZE_T size = HeapSize(GetProcessHeap(), 0, block);
        if (size == static_cast<SIZE_T>(-1) || size < Smallest || size > byteLimit())
            return false;
        CriticalSectionLock hold(lock);
        blocks.push_back(Kept{block, size});
        keptBytes += size;
        while (blocks.size() > MostBlocks || keptBytes > byteLimit()) {
            HeapFree(GetProcessHeap(), 0, blocks.front().block);
            keptBytes -= blocks.front().size;
            blocks.erase(blocks.begin());
        }
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

    CriticalSection lock;
    std::vector<Kept> blocks;
    SIZE_T keptBytes = 0;
};

// Never destroyed: blocks are freed until the process ends, by static owners too.
KeptBlocks& keptBlocks()
{
    static KeptBlocks* kept = new KeptBlocks();
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
