#pragma once
#include <windows.h>
#include <objbase.h>
#include "foundation/MemoryAllocator.h"

// Owns a block of COM task memory (also shell item-identifier lists) and frees it on destruction.
class MemPtr {
public:
    MemPtr() = default;
    MemPtr(const MemPtr&) = delete;
    MemPtr& operator=(const MemPtr&) = delete;
    virtual ~MemPtr() { release(); }

    void release()
    {
        CoTaskMemFree(block);
        block = nullptr;
    }
    // For functions that hand out a new block; the old one is freed first.
    template <typename T>
    T** out()
    {
        release();
        return reinterpret_cast<T**>(&block);
    }
    template <typename T>
    T* get() const
    {
        return static_cast<T*>(block);
    }

private:
    void* block = nullptr;
};

// Owns a block of the library allocator and frees it on destruction.
class VoidPtr {
public:
    explicit VoidPtr(void* block = nullptr) : block(block) {}
    VoidPtr(const VoidPtr&) = delete;
    VoidPtr& operator=(const VoidPtr&) = delete;
    virtual ~VoidPtr() { MemoryAllocator::free(block); }

    void* get() const { return block; }

private:
    void* block;
};

// A plain pointer-sized integer kept beside the owners above (a handle, a screen point, a key code); nothing
// to release.
class IntPtr {
public:
    explicit IntPtr(INT_PTR value = 0) : value(value) {}
    virtual ~IntPtr() = default;

    INT_PTR value;
};
