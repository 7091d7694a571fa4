#pragma once
#include <windows.h>
#include "foundation/Allocator.h"
#include "foundation/Exception.h"

// The copy-on-write buffer behind wstring and astring: copies share the characters and one count; a write
// first makes the buffer private. Sizes are exact: no spare capacity, no geometric growth.
// The count changes atomically, because strings are handed to worker threads.
template <typename Char>
class SharedBuffer {
public:
    SharedBuffer() = default;
    SharedBuffer(const SharedBuffer& other) : chars(other.chars), capacity(other.capacity), refCount(other.refCount)
    {
        if (refCount)
            InterlockedIncrement(refCount);
    }
    SharedBuffer& operator=(const SharedBuffer& other)
    {
        if (other.chars == chars)
            return *this;
        SharedBuffer copy(other);
        swap(copy);
        return *this;
    }
    ~SharedBuffer() { release(); }

    Char* data() const { return chars; }
    int size() const { return capacity; }
    int shareCount() const { return refCount ? static_cast<int>(*refCount) : 0; }

    // Makes the buffer private and exactly n characters long; added characters are zero. On failure the
    // old buffer stays as it was.
    Char* reserve(int n)
    {
        if (n < 1)
            throw Exception(ErrorCode::InvalidArgument);
        if (n > 0x7FFFFFFF / static_cast<int>(sizeof(Char)))
            throw Exception(ErrorCode::NoMemory);
        if (refCount && *refCount <= 1)
            return resizePrivate(n);
        auto count = static_cast<volatile LONG*>(getDefaultAllocator().alloc(sizeof(LONG), false));
        auto fresh = static_cast<Char*>(getDefaultAllocator().alloc(n * static_cast<int>(sizeof(Char)), true));
        if (!fresh) {
            getDefaultAllocator().free(const_cast<LONG*>(count));
            throw Exception(ErrorCode::NoMemory);
        }
        if (chars)
            CopyMemory(fresh, chars, (n < capacity ? n : capacity) * sizeof(Char));
        release();
        *count = 1;
        refCount = count;
        chars = fresh;
        capacity = n;
        return chars;
    }

    void release()
    {
        if (refCount && InterlockedDecrement(refCount) == 0) {
            getDefaultAllocator().free(const_cast<LONG*>(refCount));
            getDefaultAllocator().free(chars);
        }
        chars = nullptr;
        capacity = 0;
        refCount = nullptr;
    }

    void swap(SharedBuffer& other)
    {
        Char* c = chars;
        int n = capacity;
        volatile LONG* r = refCount;
        chars = other.chars;
        capacity = other.capacity;
        refCount = other.refCount;
        other.chars = c;
        other.capacity = n;
        other.refCount = r;
    }

private:
    Char* resizePrivate(int n)
    {
        if (n == capacity)
            return chars;
        chars = static_cast<Char*>(getDefaultAllocator().realloc(chars, n * static_cast<int>(sizeof(Char)), false));
        capacity = n;
        return chars;
    }

    Char* chars = nullptr;
    int capacity = 0;
    volatile LONG* refCount = nullptr;
};
