#include "imaging/DibImage.h"
#include <new>

namespace {

bool fail(DWORD error)
{
    SetLastError(error);
    return false;
}

} // namespace

DibImage::DibImage(const Dib& source) : dib(source) {}

DibImage::~DibImage()
{
    release();
}

void DibImage::release()
{
    dib.reallocInfo(0);
}

bool DibImage::draw(HDC dc, int x, int y, int width, int height, int sourceX, int sourceY, int sourceWidth,
                    int sourceHeight)
{
    return dib.stretchTo(dc, x, y, width, height, sourceX, sourceY, sourceWidth, sourceHeight);
}

bool DibImage::load(const wchar_t* path)
{
    release();
    if (!path)
        return fail(ERROR_INVALID_PARAMETER);
    HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                              nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    return dib.loadBmpFile(file);
}

bool DibImage::save(const wchar_t* path)
{
    if (isEmpty())
        return fail(ERROR_INVALID_FUNCTION);
    if (!path)
        return fail(ERROR_INVALID_PARAMETER);
    HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    if (dib.saveBmpFile(file))
        return true;
    // A half-written BMP would be taken for a picture later.
    DWORD error = GetLastError();
    DeleteFileW(path);
    return fail(error);
}

bool DibImage::selectFrame(int index)
{
    if (isEmpty())
        return fail(ERROR_INVALID_FUNCTION);
    return index == 0 || fail(ERROR_INVALID_PARAMETER);
}

IImage* DibImage::clone()
{
    if (isEmpty())
        return keepClone(new (std::nothrow) DibImage(), false);
    return keepClone(new (std::nothrow) DibImage(dib), true);
}

bool DibImage::isEmpty()
{
    return dib.isEmpty();
}

int DibImage::width()
{
    return dib.width();
}

int DibImage::height()
{
    return dib.height();
}

int DibImage::bitsPerPixel()
{
    return dib.bitCount();
}

int DibImage::frameCount()
{
    return isEmpty() ? 0 : 1;
}
