#include "toolkit/OutputPane.h"
#include <richedit.h>
#include <algorithm>
#include <climits>
#include <memory>
#include "foundation/astring.h"
#include "toolkit/ControlClass.h"
#include "toolkit/DynamicLinkLibrary.h"

namespace {

constexpr wchar_t ControllerProperty[] = L"OutputPane";
// Lines are never wrapped: a path reads whole on its line, and the horizontal bar reaches its end.
constexpr DWORD TextControlStyle = WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE | ES_AUTOVSCROLL |
                                   ES_AUTOHSCROLL | ES_READONLY;

// The container's own messages; each runs on the thread that owns the window.
constexpr UINT AppendTextMessage = WM_USER + 11;   // lParam: the text (null-terminated); returns its size in bytes
constexpr UINT SetTextColorMessage = WM_USER + 12; // wParam: the colour as an int
constexpr UINT SetMaxLinesMessage = WM_USER + 13;  // wParam: the limit

// The rich-edit library stays loaded for as long as any pane may exist: the whole run.
std::unique_ptr<DynamicLinkLibrary> richEditLibrary;

OutputPane::Controller* controllerOf(HWND window)
{
    return static_cast<OutputPane::Controller*>(GetPropW(window, ControllerProperty));
}

HWND textControlOf(HWND window)
{
    return GetDlgItem(window, OutputPane::RichEditId);
}

// Text clicked in a focused pane may hold the mouse; the pane is about to change under it.
void releaseMouseIfFocused(HWND textControl)
{
    if (GetFocus() == textControl)
        ReleaseCapture();
}

int countLineBreaks(const wchar_t* text)
{
    int breaks = 0;
    for (const wchar_t* at = text; *at; ++at) {
        if (at[0] == L'\r' && at[1] == L'\n')
            ++breaks;
    }
    return breaks;
}

// The text after its first `lines` line breaks.
const wchar_t* afterLineBreaks(const wchar_t* text, int lines)
{
    const wchar_t* at = text;
    for (; *at && lines > 0; ++at) {
        if (at[0] == L'\r' && at[1] == L'\n') {
            ++at;
            --lines;
        }
    }
    return at;
}

// Replaces the selection without showing it, as the user never selected anything.
void replaceSelection(HWND textControl, const wchar_t* text)
{
    SendMessageW(textControl, WM_KILLFOCUS, 0, 0);
    SendMessageW(textControl, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text));
}

// Each line is its own length plus its one break character.
void removeTopLines(HWND textControl, int lines)
{
    LONG end = 0;
    for (int i = 0; i < lines; ++i)
        end += static_cast<LONG>(SendMessageW(textControl, EM_LINELENGTH, end, 0)) + 1;
    SendMessageW(textControl, EM_SETSEL, 0, end);
    replaceSelection(textControl, L"");
}

LONG textLength(HWND textControl)
{
    GETTEXTLENGTHEX query{GTL_NUMCHARS | GTL_PRECISE, 1200};
    return static_cast<LONG>(SendMessageW(textControl, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&query), 0));
}

void moveCaretToEnd(HWND textControl)
{
    LONG end = textLength(textControl);
    SendMessageW(textControl, EM_SETSEL, end, end);
}

// The colour of the (empty) selection at the caret, which text typed or replaced there takes.
void colourSelection(HWND textControl, int color)
{
    CHARFORMATW format{};
    format.cbSize = sizeof(format);
    SendMessageW(textControl, EM_GETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&format));
    format.dwMask = CFM_COLOR;
    if (color < 0) {
        format.dwEffects = CFE_AUTOCOLOR;
    } else {
        format.dwEffects &= ~CFE_AUTOCOLOR;
        format.crTextColor = static_cast<COLORREF>(color);
    }
    SendMessageW(textControl, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
}

// The caret ends the text, which may lie far along a long line: the view goes back to the lines' start and
// stays at the newest lines.
void showLineStarts(HWND textControl)
{
    POINT scrolled{};
    SendMessageW(textControl, EM_GETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&scrolled));
    scrolled.x = 0;
    SendMessageW(textControl, EM_SETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&scrolled));
}

LRESULT append(const OutputPane::Controller& controller, const wchar_t* text)
{
    HWND textControl = textControlOf(controller.window);
    releaseMouseIfFocused(textControl);
    int breaks = countLineBreaks(text);
    int existing = static_cast<int>(SendMessageW(textControl, EM_GETLINECOUNT, 0, 0));
    int limit = controller.maxLines;
    if (breaks + existing > limit)
        removeTopLines(textControl, std::min(existing, breaks + existing - limit));
    const wchar_t* kept = breaks + 1 > limit ? afterLineBreaks(text, breaks + 1 - limit) : text;
    moveCaretToEnd(textControl);
    // Moving the caret takes the format of the text before it; the pane's colour is set again right there.
    colourSelection(textControl, controller.textColor);
    replaceSelection(textControl, kept);
    SendMessageW(textControl, WM_VSCROLL, SB_BOTTOM, 0);
    showLineStarts(textControl);
    return static_cast<LRESULT>(wcslen(kept) * sizeof(wchar_t));
}

void setColor(OutputPane::Controller& controller, int color)
{
    HWND textControl = textControlOf(controller.window);
    releaseMouseIfFocused(textControl);
    controller.textColor = color;
    moveCaretToEnd(textControl);
    colourSelection(textControl, color);
    InvalidateRect(controller.window, nullptr, TRUE);
}

void setLimit(OutputPane::Controller& controller, int lines)
{
    controller.maxLines = lines;
    append(controller, L"");
    InvalidateRect(controller.window, nullptr, TRUE);
}

LRESULT created(HWND window)
{
    RECT client;
    GetClientRect(window, &client);
    HWND textControl = CreateWindowExW(0, RICHEDIT_CLASSW, L"", TextControlStyle, 0, 0, client.right, client.bottom,
                                       window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(OutputPane::RichEditId)),
                                       GetModuleHandleW(nullptr), nullptr);
    if (!textControl)
        return -1;
    // A log outgrows the control's default of 32,767 characters long before its line limit.
    SendMessageW(textControl, EM_EXLIMITTEXT, 0, INT_MAX);
    HWND parent = GetParent(window);
    LRESULT font = parent ? SendMessageW(parent, WM_GETFONT, 0, 0) : 0;
    if (font)
        SendMessageW(textControl, WM_SETFONT, static_cast<WPARAM>(font), FALSE);
    auto* controller = new (std::nothrow) OutputPane::Controller(window);
    if (!controller || !SetPropW(window, ControllerProperty, controller)) {
        delete controller;
        return -1;
    }
    return 0;
}

void destroyed(HWND window)
{
    delete static_cast<OutputPane::Controller*>(RemovePropW(window, ControllerProperty));
}

LRESULT handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        return created(window);
    case WM_DESTROY:
        destroyed(window);
        return 0;
    case WM_SIZE:
        MoveWindow(textControlOf(window), 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
        return 0;
    case WM_SETFOCUS:
        SetFocus(textControlOf(window));
        return 0;
    case WM_SETFONT:
    case WM_GETFONT:
    case WM_CLEAR:
        return SendMessageW(textControlOf(window), message, wParam, lParam);
    case OutputPane::GetController:
        return reinterpret_cast<LRESULT>(controllerOf(window));
    default:
        break;
    }
    OutputPane::Controller* controller = controllerOf(window);
    if (!controller)
        return DefWindowProcW(window, message, wParam, lParam);
    switch (message) {
    case AppendTextMessage:
        return append(*controller, reinterpret_cast<const wchar_t*>(lParam));
    case SetTextColorMessage:
        setColor(*controller, static_cast<int>(wParam));
        return 0;
    case SetMaxLinesMessage:
        setLimit(*controller, static_cast<int>(wParam));
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

LRESULT CALLBACK paneProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    // Nothing may unwind into the system's dispatch code; a creation that fails says so.
    try {
        return handle(window, message, wParam, lParam);
    } catch (...) {
        return message == WM_CREATE ? -1 : 0;
    }
}

} // namespace

void OutputPane::registerClass()
{
    auto library = std::make_unique<DynamicLinkLibrary>(L"riched20.dll");
    if (!library->get())
        Exception::throwLastError();
    // The copy loaded before goes only now, so that panes that exist never lose their library.
    richEditLibrary = std::move(library);
    registerControlClass(OutputPaneClassName, paneProcedure);
}

void OutputPane::create(HWND parent, int id, const Rect& rect, DWORD exStyle, DWORD style)
{
    createControl(OutputPaneClassName, parent, id, rect, exStyle, style, true);
}

void OutputPane::write(const wstring& text)
{
    sendMessage(AppendTextMessage, 0, reinterpret_cast<LPARAM>(text.buffer()));
}

void OutputPane::write(const astring& text)
{
    write(wstring(text));
}

HFONT OutputPane::setFont(HFONT font)
{
    HWND textControl = getTextControl();
    auto previous = reinterpret_cast<HFONT>(SendMessageW(textControl, WM_GETFONT, 0, 0));
    SendMessageW(textControl, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    InvalidateRect(textControl, nullptr, FALSE);
    return previous;
}

void OutputPane::setTextColor(int color)
{
    sendMessage(SetTextColorMessage, static_cast<WPARAM>(color));
}

void OutputPane::setMaxLines(int lines)
{
    if (lines <= 0)
        throw Exception(ErrorCode::InvalidArgument);
    sendMessage(SetMaxLinesMessage, static_cast<WPARAM>(lines));
}

OutputPane::Controller* OutputPane::getController() const
{
    return reinterpret_cast<Controller*>(sendMessage(GetController));
}

HWND OutputPane::getTextControl() const
{
    return getDlgItem(RichEditId);
}
