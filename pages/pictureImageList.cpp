#include "pages/pictureImageList.h"
#include "foundation/Exception.h"
#include "imaging/Dib.h"

namespace {

// The picture drawn into a new bitmap like the screen's; null when it could not be drawn.
HBITMAP screenBitmapOf(const Dib& picture)
{
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = memory ? CreateCompatibleBitmap(screen, picture.width(), picture.height()) : nullptr;
    bool drawn = false;
    if (bitmap) {
        HGDIOBJ previous = SelectObject(memory, bitmap);
        drawn = picture.drawScaled(memory, 1.0);
        SelectObject(memory, previous);
    }
    if (memory)
        DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    if (!drawn && bitmap) {
        DeleteObject(bitmap);
        bitmap = nullptr;
    }
    return bitmap;
}

} // namespace

HIMAGELIST makePictureImageList(const Dib* pictures, int count)
{
    if (!pictures || count < 1 || pictures[0].isEmpty())
        return nullptr;
    HIMAGELIST list = ImageList_Create(pictures[0].width(), pictures[0].height(), ILC_COLOR32, count, 1);
    if (!list)
        Exception::throwLastError();
    for (int i = 0; i < count; ++i) {
        HBITMAP bitmap = screenBitmapOf(pictures[i]);
        if (!bitmap)
            continue;
        ImageList_Add(list, bitmap, nullptr);
        DeleteObject(bitmap);
    }
    return list;
}
