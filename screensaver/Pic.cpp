#include "screensaver/Pic.h"
#include <cstring>

namespace {

constexpr int HimetricPerInch = 2540;

// The resource bytes in a stream of their own: the system's memory streams are made over global memory blocks,
// which a resource is not.
IStream* copyToStream(const void* bytes, DWORD size)
{
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
    if (!block)
        return nullptr;
    void* target = GlobalLock(block);
    if (!target) {
        GlobalFree(block);
        return nullptr;
    }
    std::memcpy(target, bytes, size);
    GlobalUnlock(block);
    IStream* stream = nullptr;
    HRESULT result = CreateStreamOnHGlobal(block, TRUE, &stream);
    if (FAILED(result)) {
        GlobalFree(block);
        SetLastError(static_cast<DWORD>(result));
        return nullptr;
    }
    return stream;
}

int himetricToPixels(long himetric, int pixelsPerInch)
{
    return MulDiv(static_cast<int>(himetric), pixelsPerInch, HimetricPerInch);
}

} // namespace

bool Pic::load(HMODULE module, int id, const wchar_t* type)
{
    release();
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), type);
    if (!found)
        return false;
    DWORD size = SizeofResource(module, found);
    HGLOBAL loaded = LoadResource(module, found);
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    if (!bytes || size == 0) {
        SetLastError(ERROR_RESOURCE_DATA_NOT_FOUND);
        return false;
    }
    IStream* stream = copyToStream(bytes, size);
    if (!stream)
        return false;
    HRESULT result = OleLoadPicture(stream, static_cast<LONG>(size), FALSE, IID_IPicture,
                                    reinterpret_cast<void**>(&picture));
    stream->Release();
    if (FAILED(result)) {
        picture = nullptr;
        SetLastError(static_cast<DWORD>(result));
        return false;
    }
    return true;
}

bool Pic::render(HDC dc, int width, int height) const
{
    if (!picture) {
        SetLastError(ERROR_INVALID_FUNCTION);
        return false;
    }
    OLE_HANDLE paletteHandle = 0;
    HPALETTE previous = nullptr;
    if (SUCCEEDED(picture->get_hPal(&paletteHandle)) && paletteHandle) {
        previous = SelectPalette(dc, reinterpret_cast<HPALETTE>(static_cast<ULONG_PTR>(paletteHandle)), FALSE);
        RealizePalette(dc);
    }
    OLE_XSIZE_HIMETRIC pictureWidth = 0;
    OLE_YSIZE_HIMETRIC pictureHeight = 0;
    picture->get_Width(&pictureWidth);
    picture->get_Height(&pictureHeight);
    // HIMETRIC runs upwards: starting at the bottom with a negative height keeps the picture upright.
    HRESULT result = picture->Render(dc, 0, 0, width, height, 0, pictureHeight, pictureWidth, -pictureHeight,
                                     nullptr);
    if (previous)
        SelectPalette(dc, previous, FALSE);
    if (FAILED(result)) {
        SetLastError(static_cast<DWORD>(result));
        return false;
    }
    return true;
}

SIZE Pic::pixelSize() const
{
    SIZE size{0, 0};
    if (!picture)
        return size;
    // A decoded photograph is a bitmap whose own size is exact; the HIMETRIC size went through the screen's
    // resolution and back.
    short type = PICTYPE_UNINITIALIZED;
    OLE_HANDLE handle = 0;
    BITMAP bitmap{};
    if (SUCCEEDED(picture->get_Type(&type)) && type == PICTYPE_BITMAP && SUCCEEDED(picture->get_Handle(&handle)) &&
        GetObjectW(reinterpret_cast<HGDIOBJ>(static_cast<ULONG_PTR>(handle)), sizeof(bitmap), &bitmap)) {
        size.cx = bitmap.bmWidth;
        size.cy = bitmap.bmHeight;
        return size;
    }
    OLE_XSIZE_HIMETRIC width = 0;
    OLE_YSIZE_HIMETRIC height = 0;
    picture->get_Width(&width);
    picture->get_Height(&height);
    HDC screen = GetDC(nullptr);
    size.cx = himetricToPixels(width, screen ? GetDeviceCaps(screen, LOGPIXELSX) : 96);
    size.cy = himetricToPixels(height, screen ? GetDeviceCaps(screen, LOGPIXELSY) : 96);
    if (screen)
        ReleaseDC(nullptr, screen);
    return size;
}

void Pic::release()
{
    if (picture) {
        picture->Release();
        picture = nullptr;
    }
}
