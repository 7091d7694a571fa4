#include "imaging/ImageFileGenerator.h"
#include "foundation/Exception.h"
#include "foundation/wstring.h"
#include "imaging/TemporaryOutputFile.h"

bool ImageFileGenerator::save(const char* path, Gdiplus::Image* image)
{
    if (!path)
        return save(static_cast<const wchar_t*>(nullptr), image);
    try {
        wstring wide;
        wide.assign(path);
        return save(wide.buffer(), image);
    } catch (const Exception&) {
        return false;
    }
}

bool ImageFileGenerator::save(const wchar_t* path, Gdiplus::Image* image)
{
    if (!path || !isKnownImage(image))
        return false;
    return writeThroughTemporaryFile(path, [&](IStream* file) { return saveInto(file, image); });
}
