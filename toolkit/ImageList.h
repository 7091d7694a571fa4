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
    // Destroys the list held; the result of that, FALSE when none was held.
    BOOL release();
    HIMAGELIST handle() const { return list; }

private:
    HIMAGELIST list = nullptr;
};

