#pragma once
#include <windows.h>
#include "imaging/Dib.h"
#include "imaging/IImage.h"

// A picture held as a Dib: one frame, BMP files only.
class DibImage : public IImage {
public:
    DibImage() = default;
    // Holds a copy of the Dib; a copy that cannot be made leaves this empty.
    explicit DibImage(const Dib& source);
    ~DibImage() override;

    void release() override;
    bool draw(HDC dc, int x, int y, int width, int height, int sourceX, int sourceY, int sourceWidth,
              int sourceHeight) override;
    bool load(const wchar_t* path) override;
    // An empty picture fails with error 1 and creates no file.
    bool save(const wchar_t* path) override;
    bool selectFrame(int index) override;
    IImage* clone() override;
    bool isEmpty() override;
    int width() override;
    int height() override;
    int bitsPerPixel() override;
    int frameCount() override;

    const Dib& getDib() const { return dib; }

private:
    Dib dib;
};
