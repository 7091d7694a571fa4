#pragma once
#include <windows.h>
#include <climits>
#include "foundation/Exception.h"
#include "foundation/MemoryAllocator.h"

// Element access by a bad index: the last error says why as well, for callers that only look there.
[[noreturn]] inline void throwBadIndex()
{
    SetLastError(ErrorCode::InvalidArgument);
    throw Exception(ErrorCode::InvalidArgument);
}

template <typename T>
class Array;

// A block of pointers sized exactly to its count; it owns the block, not the objects pointed to.
template <typename T>
class Array<T*> {
public:
    Array() = default;
    Array(const Array&) = delete;
    Array& operator=(const Array&) = delete;
    virtual ~Array() { MemoryAllocator::free(items); }

    // New slots are null. On failure the old block and count stay as they were.
    bool setSize(int n)
    {
        if (n < 0) {
            SetLastError(ErrorCode::InvalidArgument);
            return false;
        }
        if (n == 0) {
            MemoryAllocator::free(items);
            items = nullptr;
            itemCount = 0;
            return true;
        }
        if (n > INT_MAX / static_cast<int>(sizeof(T*))) {
            SetLastError(ErrorCode::NoMemory);
            return false;
        }
        void* block = MemoryAllocator::realloc(items, n * static_cast<int>(sizeof(T*)));
        if (!block)
            return false;
        items = static_cast<T**>(block);
        itemCount = n;
        return true;
    }

    // The count drops even when the smaller block cannot be had: the larger one serves as well.
    void removeLast()
    {
        if (itemCount <= 1) {
            setSize(0);
            return;
        }
        void* block = MemoryAllocator::realloc(items, (itemCount - 1) * static_cast<int>(sizeof(T*)));
        if (block)
            items = static_cast<T**>(block);
        --itemCount;
    }

    T*& at(int index)
    {
        if (index < 0 || index >= itemCount)
            throwBadIndex();
        return items[index];
    }
    T* at(int index) const
    {
        if (index < 0 || index >= itemCount)
            throwBadIndex();
        return items[index];
    }

    int count() const { return itemCount; }

    void swap(Array& other)
    {
        T** otherItems = other.items;
        int otherCount = other.itemCount;
        other.items = items;
        other.itemCount = itemCount;
        items = otherItems;
        itemCount = otherCount;
    }

private:
    T** items = nullptr;
    int itemCount = 0;
};
