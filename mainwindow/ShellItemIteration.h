#pragma once
#include <windows.h>
#include <shobjidl.h>
#include "foundation/ComPtr.h"
#include "foundation/wstring.h"

// Walks the parsing names (full paths) of a shell-item array: first gives the first name, next the following
// ones, and an empty string ends the walk and lets the array go. next without a walk going throws Exception 1.
class ShellItemIteration {
public:
    ShellItemIteration() = default;
    ShellItemIteration(const ShellItemIteration&) = delete;
    ShellItemIteration& operator=(const ShellItemIteration&) = delete;
    virtual ~ShellItemIteration() = default;

    // Takes over the array's reference; null or an empty array gives an empty string and no walk.
    wstring first(IShellItemArray* items);
    wstring next();
    void reset();
    bool isGoing() const { return position > 0; }

private:
    wstring nameAt(int index) const;

    ComPtr<IShellItemArray> array;
    int position = -1;
    int count = 0;
};
