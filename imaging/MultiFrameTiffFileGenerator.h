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
    // The system's reason why the last open could not make the file or the last close could not put it in
    // place; ERROR_SUCCESS when that was not what failed.
    DWORD fileError() const { return fileFailure; }

private:
    // The file operation's result, noting its reason when it failed.
    bool noteFileFailure(bool succeeded);

    Gdiplus::Image* image = nullptr;
    IStream* imageStream = nullptr;
    TemporaryOutputFile file;
    DWORD fileFailure = ERROR_SUCCESS;
};
