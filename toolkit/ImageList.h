#pragma once
#include <windows.h>
#include <commctrl.h>

// Owner of one image list; null when empty.
class ImageList {
public:
    ImageList() = default;
    ImageList(const ImageList&) = delete;
    ImageList& operator=(const ImageList&) = delete;
    ~ImageList() { destroyList(); }

    // Holds the list, destroying the one held before.
    void attach(HIMAGELIST list);
    void destroyList();
    HIMAGELIST handle() const { return list; }

private:
    HIMAGELIST list = nullptr;
};
