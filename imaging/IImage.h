#pragma once
#include <windows.h>

// A loaded picture as the picture views see it: drawn, stepped through its frames and asked its size and
// depth without knowing how it was decoded. Nothing throws: failures give false, null or 0. An object is
// used by one thread at a time.
class IImage {
public:
    IImage() = default;
    IImage(const IImage&) = delete;
    IImage& operator=(const IImage&) = delete;
    virtual ~IImage() = default;

    // Drops the picture; the object stays usable and can load another.
    virtual void release() = 0;
    virtual bool draw(HDC dc, int x, int y, int width, int height, int sourceX, int sourceY, int sourceWidth,
                      int sourceHeight) = 0;
    virtual bool load(const wchar_t* path) = 0;
    // Writes a BMP file whatever the name says.
    virtual bool save(const wchar_t* path) = 0;
    // Drawing, size and depth then refer to that frame.
    virtual bool selectFrame(int index) = 0;
    // A new object of the same class holding a copy (an empty one for an empty object); null on failure.
    virtual IImage* clone() = 0;
    virtual bool isEmpty() = 0;
    // 0 when empty, as are the three below.
    virtual int width() = 0;
    virtual int height() = 0;
    virtual int bitsPerPixel() = 0;
    virtual int frameCount() = 0;

protected:
    // The last step of clone: a copy that could not be allocated (error 8), or that came out empty from a
    // source holding a picture, is given up.
    static IImage* keepClone(IImage* copy, bool sourceHoldsPicture)
    {
        if (!copy) {
            SetLastError(ERROR_NOT_ENOUGH_MEMORY);
            return nullptr;
        }
        if (sourceHoldsPicture && copy->isEmpty()) {
            delete copy;
            return nullptr;
        }
        return copy;
    }
};
