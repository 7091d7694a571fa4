#pragma once
#include "foundation/wstringArray.h"

// The plain files of a windowed start.
class OpenParams {
public:
    OpenParams() = default;
    OpenParams(const OpenParams&) = delete;
    OpenParams& operator=(const OpenParams&) = delete;
    virtual ~OpenParams() = default;

    // Appends the non-empty arguments to the files; false at the first one that begins with "/" or "-", which
    // makes the line a batch command (the files before it stay added).
    bool parse(const wstringArray& arguments);

    wstringArray files;
};
