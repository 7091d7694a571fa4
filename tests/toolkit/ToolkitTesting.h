#pragma once
// What several toolkit tests share: a settings record lent to the toolkit, a plain window class, and the
// face that a dialog's controls are drawn in.
#include <windows.h>
#include <string>
#include "support/LentSettings.h"
#include "toolkit/UserWindow.h"

// A face that the test prefix has, and one that no system has.
inline constexpr wchar_t InstalledFace[] = L"IPAPGothic";
inline constexpr wchar_t MissingFace[] = L"Korvilane Missing Face";

// A window class of the program's kind, registered once for all tests.
inline const UserWindowClass& testWindowClass()
{
    static UserWindowClass windowClass;
    if (windowClass.windowClass.getName().isEmpty())
        windowClass.windowClass.registerClass(L"KorvilaneToolkitTest", nullptr, 0, 0);
    return windowClass;
}

// A hidden top-level window that holds the controls of a test.
class ParentWindow : public UserWindow {
public:
    ParentWindow()
    {
        create(0, testWindowClass(), L"parent", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300, nullptr, nullptr, nullptr);
    }
};

// The face of the font a window is drawn in (WM_GETFONT); empty when it has none.
inline std::wstring fontFaceOf(HWND window)
{
    HFONT font = reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0));
    LOGFONTW description{};
    if (!font || !GetObjectW(font, sizeof(description), &description))
        return {};
    return description.lfFaceName;
}

// The font's height in pixels as a LOGFONT gives it (negative: the character height).
inline LONG fontHeightOf(HWND window)
{
    HFONT font = reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0));
    LOGFONTW description{};
    if (!font || !GetObjectW(font, sizeof(description), &description))
        return 0;
    return description.lfHeight;
}
