#pragma once
// Reading back what a rich-edit control shows: its text, the colour of each character and where its view is.
#include <windows.h>
#include <richedit.h>
#include <string>

// The text as the control gives it out, with "\r\n" line breaks.
inline std::wstring richEditText(HWND control)
{
    std::wstring text(GetWindowTextLengthW(control) + 1, L'\0');
    text.resize(GetWindowTextW(control, text.data(), static_cast<int>(text.size())));
    return text;
}

// The colour of the character at a position of the control's own text, which counts a line break as one
// character; -1 for the system's text colour.
inline int richEditColorAt(HWND control, LONG position)
{
    SendMessageW(control, EM_SETSEL, position, position + 1);
    CHARFORMATW format{};
    format.cbSize = sizeof(format);
    SendMessageW(control, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
    return format.dwEffects & CFE_AUTOCOLOR ? -1 : static_cast<int>(format.crTextColor);
}

// Where the text first occurs in the control's own text; -1 when it does not.
inline LONG richEditFind(HWND control, const wchar_t* text)
{
    FINDTEXTEXW find{{0, -1}, text, {-1, -1}};
    return static_cast<LONG>(SendMessageW(control, EM_FINDTEXTEXW, FR_DOWN, reinterpret_cast<LPARAM>(&find)));
}

// How far the view is scrolled from the text's top left corner, in pixels.
inline POINT richEditScrollPosition(HWND control)
{
    POINT scrolled{-1, -1};
    SendMessageW(control, EM_GETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&scrolled));
    return scrolled;
}

// Whether the control shows its horizontal scroll bar.
inline bool showsHorizontalBar(HWND control)
{
    SCROLLBARINFO bar{};
    bar.cbSize = sizeof(bar);
    return GetScrollBarInfo(control, OBJID_HSCROLL, &bar) && !(bar.rgstate[0] & STATE_SYSTEM_INVISIBLE);
}
