#pragma once
#include "toolkit/IDropTargetHandler.h"

// Lets the user drop a file from the shell onto a window, typically an edit field: the full path of the
// first dropped file becomes the window's text, however long it is. Drops are accepted only over the
// target window's client area and only when they carry files (CF_HDROP); further files of a drop are ignored.
class FileDropHandler : public IDropTargetHandler {
public:
    // A null target accepts nothing. The handler starts with one reference, the creator's.
    explicit FileDropHandler(HWND target) : target(target) {}

protected:
    void hitTest(DWORD keys, POINTL point, DWORD* effect) override;
    void drop(IDataObject* data, DWORD keys, POINTL point, DWORD* effect) override;

private:
    HWND target;
};

