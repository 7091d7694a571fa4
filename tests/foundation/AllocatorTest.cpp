#include <gtest/gtest.h>
#include <atomic>
#include <cstdlib>
#include <thread>
#include <vector>
#include "InjectedFailure.h"
#include "foundation/Allocator.h"
#include "foundation/Exception.h"
#include "foundation/MemoryAllocator.h"
#include "support/InjectedNewFailure.h"

namespace {

bool allZero(const void* block, int bytes)
{
    auto p = static_cast<const unsigned char*>(block);
    for (int i = 0; i < bytes; ++i)
        if (p[i])
            return false;
    return true;
}

} // namespace

// Frees run in destructors, where an exception ends the program: keeping a large block for later, more of them
// than are kept, needs no memory of its own. In a process of its own, where no block has been kept before.
TEST(MemoryAllocator, AFreeNeverNeedsMemory)
{
    EXPECT_EXIT(
        {
            std::vector<void*> blocks;
            for (int i = 0; i < 12; ++i)
                blocks.push_back(MemoryAllocator::alloc((1 << 20) + i * 4096));
            for (void* block : blocks) {
                InjectedNewFailure failure(0);
                MemoryAllocator::free(block);
            }
            std::exit(0);
        },
        testing::ExitedWithCode(0), "");
}

TEST(MemoryAllocator, BlocksAndGrowthAreZeroFilled)
{
    auto block = static_cast<unsigned char*>(MemoryAllocator::alloc(256));
    ASSERT_NE(block, nullptr);
    EXPECT_TRUE(allZero(block, 256));
    FillMemory(block, 256, 0xAB);
    block = static_cast<unsigned char*>(MemoryAllocator::realloc(block, 4096));
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(block[255], 0xAB);
    EXPECT_TRUE(allZero(block + 256, 4096 - 256));
    MemoryAllocator::free(block);
    MemoryAllocator::free(nullptr);
}

// Large blocks are kept and handed out again: a picture's memory must never show the last picture's pixels,
// also when the workers of a batch take and give back blocks at the same time.
TEST(MemoryAllocator, KeptLargeBlocksComeBackZeroFilledOnAnyThread)
{
    constexpr int Bytes = 3 << 20;
    auto block = static_cast<unsigned char*>(MemoryAllocator::alloc(Bytes));
    ASSERT_NE(block, nullptr);
    FillMemory(block, Bytes, 0xCD);
    MemoryAllocator::free(block);
    block = static_cast<unsigned char*>(MemoryAllocator::alloc(Bytes - 4096));
    ASSERT_NE(block, nullptr);
    EXPECT_TRUE(allZero(block, Bytes - 4096));
    FillMemory(block, Bytes - 4096, 0xCD);
    block = static_cast<unsigned char*>(MemoryAllocator::realloc(block, Bytes + 4096));
    ASSERT_NE(block, nullptr);
    EXPECT_TRUE(allZero(block + Bytes - 4096, 8192));
    MemoryAllocator::free(block);

    std::atomic<int> dirty{0};
    std::vector<std::thread> workers;
    for (int t = 0; t < 4; ++t) {
        workers.emplace_back([&dirty, t] {
            for (int i = 0; i < 20; ++i) {
                int bytes = (1 << 20) + ((t + i) % 3) * (256 << 10);
                auto taken = static_cast<unsigned char*>(MemoryAllocator::alloc(bytes));
                if (!taken || !allZero(taken, bytes))
                    ++dirty;
                if (taken)
                    FillMemory(taken, bytes, 0x5A);
                MemoryAllocator::free(taken);
            }
        });
    }
    for (std::thread& worker : workers)
        worker.join();
    EXPECT_EQ(dirty.load(), 0);
}

TEST(MemoryAllocator, FailureSetsNoMemoryAndKeepsTheOldBlock)
{
    auto block = static_cast<unsigned char*>(MemoryAllocator::alloc(16));
    block[0] = 7;
    SetLastError(0);
    EXPECT_EQ(MemoryAllocator::realloc(block, -1), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_ENOUGH_MEMORY));
    EXPECT_EQ(block[0], 7);
    {
        InjectedFailure failure(1);
        void* first = MemoryAllocator::alloc(8);
        EXPECT_NE(first, nullptr);
        EXPECT_EQ(MemoryAllocator::alloc(8), nullptr);
        void* third = MemoryAllocator::alloc(8);
        EXPECT_NE(third, nullptr);
        MemoryAllocator::free(first);
        MemoryAllocator::free(third);
    }
    MemoryAllocator::free(block);
}

TEST(Allocator, ThrowsOrReturnsNullOnExhaustion)
{
    IAllocator& allocator = getDefaultAllocator();
    EXPECT_EQ(&allocator, &getDefaultAllocator());
    {
        InjectedFailure failure(0);
        try {
            allocator.alloc(32, false);
            FAIL() << "no exception";
        } catch (const Exception& e) {
            EXPECT_EQ(e.getCode(), ERROR_NOT_ENOUGH_MEMORY);
        }
    }
    {
        InjectedFailure failure(0);
        EXPECT_EQ(allocator.alloc(32, true), nullptr);
    }
    void* block = allocator.alloc(32, false);
    {
        InjectedFailure failure(0);
        EXPECT_THROW(allocator.realloc(block, 64, false), Exception);
    }
    {
        InjectedFailure failure(0);
        EXPECT_EQ(allocator.realloc(block, 64, true), nullptr);
    }
    // Both routes reach one heap.
    MemoryAllocator::free(allocator.realloc(block, 64, false));
}
