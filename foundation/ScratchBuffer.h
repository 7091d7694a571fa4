#pragma once
#include <windows.h>
#include <climits>
#include "foundation/MemoryAllocator.h"

// The working memory of pixel code: zero-filled items of plain data in one block of the library allocator,
// freed with the owner. Running out of memory, or a count that one block cannot hold, is a null block or a
// false result with last error 8, never an exception: the callers report it as their own failure.
template <typename T>
class ScratchBuffer {
public:
    ScratchBuffer() = default;
    // `count` items, or none when they cannot be had (get() is null).
    explicit ScratchBuffer(LONGLONG count) { allocate(count); }
    ScratchBuffer(const ScratchBuffer&) = delete;
    ScratchBuffer& operator=(const ScratchBuffer&) = delete;
    ~ScratchBuffer() { MemoryAllocator::free(items); }

    // Replaces the contents with `count` zero items.
    bool allocate(LONGLONG count)
    {
        release();
        if (!fits(count))
            return false;
        items = static_cast<T*>(MemoryAllocator::alloc(static_cast<int>(count * sizeof(T))));
        if (!items)
            return false;
        size = static_cast<int>(count);
        return true;
    }
    // Keeps the items and adds zero ones at the end; on failure the array stays as it was.
    bool grow(LONGLONG count)
    {
        if (count <= size)
            return true;
        if (!fits(count))
            return false;
        void* moved = MemoryAllocator::realloc(items, static_cast<int>(count * sizeof(T)));
        if (!moved)
            return false;
        items = static_cast<T*>(moved);
        size = static_cast<int>(count);
        return true;
    }
    void release()
    {
        MemoryAllocator::free(items);
        items = nullptr;
        size = 0;
    }

    void swap(ScratchBuffer& other)
    {
        T* otherItems = other.items;
        int otherSize = other.size;
        other.items = items;
        other.size = size;
        items = otherItems;
        size = otherSize;
    }

    T* get() const { return items; }
    T& operator[](INT_PTR index) const { return items[index]; }
    int count() const { return size; }

private:
    static bool fits(LONGLONG count)
    {
        if (count >= 0 && count <= INT_MAX / static_cast<LONGLONG>(sizeof(T)))
            return true;
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return false;
    }

    T* items = nullptr;
    int size = 0;
};
