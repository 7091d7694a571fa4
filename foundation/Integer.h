#pragma once
#include "foundation/wstring.h"

// A 32-bit integer read from text strictly: decimal with an optional "-", or "0x" and up to eight hexadecimal
// digits taken as a bit pattern (so colours and masks round-trip through "%x").
class Integer {
public:
    explicit Integer(int value) : value(value) {}
    virtual ~Integer() = default;

    // Invalid text throws Exception 87 and leaves the value as it was.
    void parse(const wstring& text);
    // Text that is no number gives the default; other failures pass on.
    void parseOrDefault(const wstring& text, int defaultValue);
    wstring toString() const;
    wstring toHexString() const;

    int value;
};
