#pragma once
#include <windows.h>
#include <gdiplus.h>

// A writer of one picture into a file or into a new encoded stream in memory (positioned at its end,
// the caller's). Nothing throws: failures return false or null. A file is written under a temporary name and
// moved into place only when complete, so a failed save leaves no file and an existing one intact.
class ImageFileGenerator {
public:
    ImageFileGenerator() = default;
    ImageFileGenerator(const ImageFileGenerator&) = delete;
    ImageFileGenerator& operator=(const ImageFileGenerator&) = delete;
    virtual ~ImageFileGenerator() = default;

    // A path in the ANSI code page.
    virtual bool save(const char* path, Gdiplus::Image* image);
    virtual bool save(const wchar_t* path, Gdiplus::Image* image);
    virtual bool write(const wchar_t* path, Gdiplus::Image* image) { return save(path, image); }
    // Into a file that the caller holds open (a staged output), from its current position.
    virtual bool saveInto(IStream* file, Gdiplus::Image* image) = 0;
    virtual IStream* encode(Gdiplus::Image* image) = 0;

protected:
    static bool isKnownImage(Gdiplus::Image* image)
    {
        return image && image->GetType() != Gdiplus::ImageTypeUnknown;
    }
    static int itemCount(const Gdiplus::PropertyItem* item) { return item && item->length != 0 ? 1 : 0; }
};
