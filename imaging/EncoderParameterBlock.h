#pragma once
#include <windows.h>
#include <gdiplus.h>

// A GDI+ encoder parameter list of at most one entry holding one long value, in a block of the library
// allocator. Empty it stands for "no parameters" and get() is null.
class EncoderParameterBlock {
public:
    EncoderParameterBlock() = default;
    EncoderParameterBlock(const EncoderParameterBlock&) = delete;
    EncoderParameterBlock& operator=(const EncoderParameterBlock&) = delete;
    virtual ~EncoderParameterBlock() { clear(); }

    // False with last error 8 when the block cannot be allocated; the block is empty then.
    bool set(const GUID& parameter, LONG value);
    void clear();

    const Gdiplus::EncoderParameters* get() const { return block; }
    bool isEmpty() const { return block == nullptr; }

private:
    Gdiplus::EncoderParameters* block = nullptr;
};

