#pragma once
#include <windows.h>
#include <gdiplus.h>
#include "imaging/TemporaryOutputFile.h"

// A TIFF file of several pages written one picture at a time: open with the first, addFrame for each further
// one, close with flush. The file appears at its path only when close with flush succeeds; until then, and
// after any failure, the path is left as it was.
class MultiFrameTiffFileGenerator {
public:
    MultiFrameTiffFileGenerator() = default;
    MultiFrameTiffFileGenerator(const MultiFrameTiffFileGenerator&) = delete;
    MultiFrameTiffFileGenerator& operator=(const MultiFrameTiffFileGenerator&) = delete;
    virtual ~MultiFrameTiffFileGenerator() { close(false); }

    // Closes an open file without flushing first.
    bool open(const wchar_t* path, Gdiplus::Image* first);
    // A failure leaves the file open for further pages.
    bool addFrame(Gdiplus::Image* image);
    // Without flush the pages so far are dropped and the result is false.
    bool close(bool flush);
    bool isOpen() const { return image != nullptr; }

private:
    Gdiplus::Image* image = nullptr;
    IStream* imageStream = nullptr;
    TemporaryOutputFile file;
};
