#pragma once
#include <windows.h>
#include <olectl.h>

// One picture read by the system's OLE picture loader from a resource of a module.
class Pic {
public:
    Pic() = default;
    Pic(const Pic&) = delete;
    Pic& operator=(const Pic&) = delete;
    ~Pic() { release(); }

    // Any picture held is released first. False when the resource is missing (last error from FindResource) or
    // cannot be decoded (last error the loader's HRESULT).
    bool load(HMODULE module, int id, const wchar_t* type);
    // The whole picture, upright, into (0, 0, width, height) of the DC.
    bool render(HDC dc, int width, int height) const;
    // The picture's size in pixels; zero when none is held.
    SIZE pixelSize() const;
    bool isLoaded() const { return picture != nullptr; }
    void release();

private:
    IPicture* picture = nullptr;
};
