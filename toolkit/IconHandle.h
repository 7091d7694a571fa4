#pragma once
#include <windows.h>

// Owner of one icon handle, destroyed with the object; null when none is held.
class IconHandle {
public:
    explicit IconHandle(HICON icon = nullptr) : icon(icon) {}
    IconHandle(const IconHandle&) = delete;
    IconHandle& operator=(const IconHandle&) = delete;
    ~IconHandle()
    {
        if (icon)
            DestroyIcon(icon);
    }

    HICON get() const { return icon; }
    explicit operator bool() const { return icon != nullptr; }

private:
    HICON icon;
};
