#pragma once
#include <windows.h>
#include "foundation/DateTime.h"
#include "foundation/wstring.h"
#include <memory>
#include "imaging/Dib.h"
#include "toolkit/ColorHistogram.h"

// What the picture-properties sheet shows of one picture file: read once when the sheet opens, and updated
// by the sheet (path, times and the changed flag) when the user renames the file or changes its times.
class PictureProperties {
public:
    PictureProperties() = default;
    PictureProperties(const PictureProperties&) = delete;
    PictureProperties& operator=(const PictureProperties&) = delete;
    virtual ~PictureProperties() = default;

    // Reads the file and the picture (COM must be initialised). A missing file throws ApplicationException
    // "E0003" with its path; a picture that cannot be read, or whose palette or histogram cannot be made, memory
    // running out included, "E0008".
    void read(const wstring& path);

    wstring fileName;
    wstring fullPath;
    // Whole KB, a started KB counting as one: "1 KB" for a file of one byte.
    wstring sizeText;
    DateTime created;
    DateTime modified;

    Dib thumbnail;
    // The picture at its own size.
    Dib picture;
    // "640 x 480".
    wstring dimensionText;
    float dpiX = 0;
    float dpiY = 0;
    // "-" unless both resolutions are known: "72 dpi", or "300 x 150 dpi" when they differ.
    wstring resolutionText;
    // "24bit".
    wstring depthText;
    int frameCount = 0;
    wstring cameraModel;
    wstring cameraMaker;
    bool hasShotDate = false;
    DateTime shotDate;
    // 0 for pictures without a palette; a picture deeper than 8 bits has the one its file carries, if any.
    int colorCount = 0;
    PALETTEENTRY palette[256]{};
    std::unique_ptr<ColorHistogram::Entry> histogram;

    // Set by the sheet: the file has a new name or new times.
    bool changed = false;

private:
    void readFile(const wstring& path);
    void readPicture();
    void readPalette(WORD bits);
};
