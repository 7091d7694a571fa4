#include "imaging/ImageFileGenerator.h"
#include "foundation/Exception.h"
#include "foundation/wstring.h"

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
