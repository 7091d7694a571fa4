#pragma once
#include <windows.h>

// Replaces the clipboard's content with UTF-16 text. The caller opens and closes the clipboard.
// Null text gives false with last error 87.
bool setClipboardText(const wchar_t* text);

// Closes the clipboard at the end of the scope when it was opened.
class OpenedClipboard {
public:
    explicit OpenedClipboard(HWND owner) : open(OpenClipboard(owner) != FALSE) {}
    OpenedClipboard(const OpenedClipboard&) = delete;
    OpenedClipboard& operator=(const OpenedClipboard&) = delete;
    ~OpenedClipboard()
    {
        if (open)
            CloseClipboard();
    }
    bool isOpen() const { return open; }

private:
    bool open;
};
