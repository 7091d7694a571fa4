#include "PageTesting.h"
#include "toolkit/NumericEdit.h"

PageTest::PageTest()
{
    NumericEdit::registerClass();
}

HWND showPage(WindowRobot& user, HWND sheet, int tab)
{
    SendMessageW(sheet, PSM_SETCURSEL, static_cast<WPARAM>(tab), 0);
    HWND page = nullptr;
    user.waitUntil(
        [&] {
            HWND tabs = reinterpret_cast<HWND>(SendMessageW(sheet, PSM_GETTABCONTROL, 0, 0));
            page = currentPage(sheet);
            return page && SendMessageW(tabs, TCM_GETCURSEL, 0, 0) == tab;
        },
        L"tab " + std::to_wstring(tab));
    return page;
}

HWND currentPage(HWND sheet)
{
    return reinterpret_cast<HWND>(SendMessageW(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
}

bool isEnabled(HWND page, int id)
{
    return IsWindowEnabled(GetDlgItem(page, id)) != FALSE;
}

bool isShown(HWND page, int id)
{
    return (GetWindowLongPtrW(GetDlgItem(page, id), GWL_STYLE) & WS_VISIBLE) != 0;
}

bool isChecked(HWND page, int id)
{
    return IsDlgButtonChecked(page, id) == BST_CHECKED;
}

void click(HWND page, int id)
{
    SendMessageW(GetDlgItem(page, id), BM_CLICK, 0, 0);
}

void choose(HWND page, int id, int index)
{
    HWND list = GetDlgItem(page, id);
    SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    SendMessageW(page, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
}

int selectionOf(HWND page, int id)
{
    return static_cast<int>(SendDlgItemMessageW(page, id, CB_GETCURSEL, 0, 0));
}

int itemCount(HWND page, int id)
{
    return static_cast<int>(SendDlgItemMessageW(page, id, CB_GETCOUNT, 0, 0));
}

std::wstring itemText(HWND page, int id, int index)
{
    HWND list = GetDlgItem(page, id);
    int length = static_cast<int>(SendMessageW(list, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0));
    if (length < 0)
        return {};
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    SendMessageW(list, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(length));
    return text;
}

std::wstring fieldText(HWND page, int id)
{
    wchar_t text[64] = L"";
    GetWindowTextW(GetDlgItem(GetDlgItem(page, id), NumericEdit::EditId), text, 64);
    return text;
}

void typeNumber(WindowRobot& user, HWND page, int id, const std::wstring& text)
{
    user.type(GetDlgItem(page, id), NumericEdit::EditId, text);
}

COLORREF swatchColor(HWND page, int id)
{
    HDC dc = GetDC(page);
    auto brush = reinterpret_cast<HBRUSH>(SendMessageW(page, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                                       reinterpret_cast<LPARAM>(GetDlgItem(page, id))));
    ReleaseDC(page, dc);
    LOGBRUSH description{};
    if (!brush || !GetObjectW(brush, sizeof(description), &description))
        return CLR_INVALID;
    return description.lbColor;
}
