#pragma once
#include <windows.h>
#include <shlobj.h>
#include "foundation/MemPtr.h"

// The system's folder browser. Callers fill the owner and flags of the public request record; the path
// buffer holds the folder to preselect before show and the chosen folder after it.
class FolderDialog {
public:
    FolderDialog() = default;
    FolderDialog(const FolderDialog&) = delete;
    FolderDialog& operator=(const FolderDialog&) = delete;

    // True when a folder was chosen and its path fits the buffer; otherwise the buffer keeps its text.
    bool show(const wchar_t* title);

    BROWSEINFOW record{};
    wchar_t path[MAX_PATH] = L"";

private:
    // The item-identifier list of the last choice.
    MemPtr chosen;
};
