#pragma once
#include <windows.h>

// A movable global memory block locked for the scope; null data when it could not be locked.
class LockedBlock {
public:
    explicit LockedBlock(HGLOBAL block) : block(block), data(block ? GlobalLock(block) : nullptr) {}
    LockedBlock(const LockedBlock&) = delete;
    LockedBlock& operator=(const LockedBlock&) = delete;
    ~LockedBlock()
    {
        if (data)
            GlobalUnlock(block);
    }
    void* get() const { return data; }
    BYTE* bytes() const { return static_cast<BYTE*>(data); }

private:
    HGLOBAL block;
    void* data;
};
