#pragma once
#include <windows.h>
#include <gdiplus.h>

// Holds a GDI+ bitmap's pixels locked in one format until the end of the scope. A failed lock leaves its
// status on the bitmap.
class BitmapLock {
public:
    BitmapLock(Gdiplus::Bitmap* bitmap, const Gdiplus::Rect& rect, UINT mode, Gdiplus::PixelFormat format)
        : bitmap(bitmap)
    {
        locked = bitmap && bitmap->LockBits(&rect, mode, format, &data) == Gdiplus::Ok;
    }
    BitmapLock(Gdiplus::Bitmap* bitmap, UINT mode, Gdiplus::PixelFormat format)
        : BitmapLock(bitmap, wholeOf(bitmap), mode, format)
    {
    }
    BitmapLock(const BitmapLock&) = delete;
    BitmapLock& operator=(const BitmapLock&) = delete;
    ~BitmapLock()
    {
        if (locked)
            bitmap->UnlockBits(&data);
    }

    bool isLocked() const { return locked; }
    int width() const { return static_cast<int>(data.Width); }
    int height() const { return static_cast<int>(data.Height); }
    BYTE* row(int y) const { return static_cast<BYTE*>(data.Scan0) + static_cast<INT_PTR>(y) * data.Stride; }
    UINT32* pixels(int y) const { return reinterpret_cast<UINT32*>(row(y)); }

    Gdiplus::BitmapData data = {};

private:
    static Gdiplus::Rect wholeOf(Gdiplus::Bitmap* bitmap)
    {
        if (!bitmap)
            return Gdiplus::Rect();
        return Gdiplus::Rect(0, 0, static_cast<INT>(bitmap->GetWidth()), static_cast<INT>(bitmap->GetHeight()));
    }

    Gdiplus::Bitmap* bitmap;
    bool locked = false;
};
