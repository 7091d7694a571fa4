#pragma once
#include <windows.h>
#include <vfw.h>
#include <memory>
#include "foundation/wstring.h"
#include "imaging/TemporaryOutputFile.h"

class Dib;

// An uncompressed AVI video, one 24-bit key frame per picture, written through the platform's AVIFile
// interface. open announces the number of frames; the file is finished and moved to its path when that many
// have been written. A generator closed or destroyed before then drops what it wrote, so the path never holds
// a video shorter than announced. Failures throw Exception with the system error or HRESULT.
class AviFileGenerator {
public:
    AviFileGenerator() = default;
    AviFileGenerator(const AviFileGenerator&) = delete;
    AviFileGenerator& operator=(const AviFileGenerator&) = delete;
    virtual ~AviFileGenerator() { close(); }

    // Writes the first frame and returns 1. The rate is in frames per second; a rate or count below 1 throws
    // Exception 87. The stream name keeps its first 63 characters. An open file is dropped first; a failure
    // drops the new one.
    int open(const wstring& path, Dib& first, int rate, int count, const wstring& name);
    // Returns the number of frames written. A picture of another size is cut or padded with black at the right
    // and bottom to the first one's size. No open file throws Exception 1; a failed write leaves the file open.
    int addFrame(Dib& dib);
    // Drops an unfinished file.
    void close();
    bool isOpen() const { return file != nullptr; }
    // The system's reason why the last open could not make the file or the last frame could not finish it (a
    // file that the disk took only in part, or that cannot take its path); ERROR_SUCCESS when that was not
    // what failed.
    DWORD fileError() const { return fileFailure; }

    // Both operations convert the given picture to 24 bits in place, and addFrame also fits its size.

private:
    // One AVIFile session: the library in use, the file and its video stream.
    class AviFile {
    public:
        AviFile(const wchar_t* path, const RECT& frame, int rate, int count, const wstring& name);
        AviFile(const AviFile&) = delete;
        AviFile& operator=(const AviFile&) = delete;
        virtual ~AviFile();

        PAVISTREAM stream() const { return video; }

    private:
        void release();

        PAVIFILE avi = nullptr;
        PAVISTREAM video = nullptr;
    };

    void writeFrame(Dib& dib);
    // Finishes the file once the announced number of frames is in it, and refuses a file that lacks any of it.
    void finishWhenComplete();
    // False with the last error when the closed file lacks part of what AVIFile wrote into it.
    bool holdsEveryFrame() const;
    // Throws the file's failure, noted, with the reason in the last error.
    [[noreturn]] void throwFileFailure();

    std::unique_ptr<AviFile> file;
    TemporaryOutputFile target;
    int width = 0;
    int height = 0;
    int written = 0;
    int announced = 0;
    ULONGLONG leastFileSize = 0;
    DWORD fileFailure = ERROR_SUCCESS;
};
