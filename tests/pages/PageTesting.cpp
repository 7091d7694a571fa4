#include "PageTesting.h"
#include <algorithm>
#include "mainwindow/mainWindowMessages.h"
#include "pages/ConversionSheet.h"
#include "toolkit/CommonControls.h"
#include "toolkit/NumericEdit.h"
#include "toolkit/PictureView.h"

Decimal number(const wchar_t* text)
{
    Decimal value(0);
    value.parse(text);
    return value;
}

std::wstring text(const Decimal& value)
{
    return value.toString().buffer();
}

PageTest::PageTest()
{
    NumericEdit::registerClass();
    PictureView::registerClass();
    initComboBoxEx();
    const COLORREF light[6] = {RGB(255, 224, 224), RGB(224, 224, 255), RGB(255, 255, 224),
                               RGB(224, 255, 224), RGB(255, 224, 255), RGB(224, 224, 224)};
    for (int i = 0; i < 6; ++i)
        swatches[i].create(16, 16, 24, light[i]);
    for (int i = 0; i < 10; ++i)
        pictograms[i].create(16, 16, 24, RGB(0, 255 - i * 10, 255));
    pictures = {swatches, 6, pictograms, 10};
}

int PageTest::runConversionSheet(const WindowRobot::Script& script, const std::wstring& samplePath)
{
    CountingMainWindow mainWindow(SummaryTipMessage);
    WindowRobot robot([&](WindowRobot& user) {
        HWND sheet = waitForConversionSheet(user);
        script(user);
        user.waitUntilGone(sheet);
    });
    openConversionSheet(mainWindow.handle(), samplePath.c_str(), pictures);
    robot.finish();
    return mainWindow.count();
}

CountingMainWindow::CountingMainWindow(UINT counted) : counted(counted)
{
    static const ATOM windowClass = [] {
        WNDCLASSW description{};
        description.lpfnWndProc = procedure;
        description.hInstance = GetModuleHandleW(nullptr);
        description.lpszClassName = L"KorvilanePageTestMain";
        return RegisterClassW(&description);
    }();
    window = CreateWindowExW(0, MAKEINTATOM(windowClass), L"main", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200, nullptr,
                             nullptr, GetModuleHandleW(nullptr), nullptr);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

int CountingMainWindow::count()
{
    MSG message;
    while (PeekMessageW(&message, window, 0, 0, PM_REMOVE))
        DispatchMessageW(&message);
    return heard;
}

LRESULT CALLBACK CountingMainWindow::procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* counter = reinterpret_cast<CountingMainWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (counter && message == counter->counted)
        ++counter->heard;
    return DefWindowProcW(window, message, wParam, lParam);
}

HWND waitForConversionSheet(WindowRobot& user)
{
    return user.waitForWindow(WindowQuery::dialog(ConversionSheetCaption));
}

HWND conversionPage(WindowRobot& user, int tab)
{
    return showPage(user, waitForConversionSheet(user), tab);
}

HWND showPage(WindowRobot& user, HWND sheet, int tab)
{
    HWND tabs = reinterpret_cast<HWND>(SendMessageW(sheet, PSM_GETTABCONTROL, 0, 0));
    RECT label{};
    SendMessageW(tabs, TCM_GETITEMRECT, static_cast<WPARAM>(tab), reinterpret_cast<LPARAM>(&label));
    LPARAM middle = MAKELPARAM((label.left + label.right) / 2, (label.top + label.bottom) / 2);
    // Posted: leaving a page may ask the user first.
    PostMessageW(tabs, WM_LBUTTONDOWN, MK_LBUTTON, middle);
    PostMessageW(tabs, WM_LBUTTONUP, 0, middle);
    HWND page = nullptr;
    user.waitUntil(
        [&] {
            page = currentPage(sheet);
            return page && page == reinterpret_cast<HWND>(SendMessageW(sheet, PSM_INDEXTOHWND, tab, 0));
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

bool enabledAre(HWND page, std::initializer_list<int> ids, bool enabled)
{
    for (int id : ids)
        if (isEnabled(page, id) != enabled)
            return false;
    return true;
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

void slideTo(HWND page, int id, int position)
{
    HWND slider = GetDlgItem(page, id);
    SendMessageW(slider, TBM_SETPOS, TRUE, position);
    SendMessageW(page, WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, position), reinterpret_cast<LPARAM>(slider));
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

Painting::Painting(HWND control)
{
    RECT client;
    GetClientRect(control, &client);
    picture.create(client.right, client.bottom, 24, RGB(1, 2, 3));
    paintOver(control);
}

void Painting::paintOver(HWND control)
{
    SendMessageW(control, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(picture.getDC()), PRF_CLIENT);
    picture.releaseDC();
    GdiFlush();
}

namespace {

COLORREF pixelOf(const Dib& picture, int x, int y)
{
    const BYTE* pixel = picture.getBits() + (picture.height() - 1 - y) * picture.stride() + x * 3;
    return RGB(pixel[2], pixel[1], pixel[0]);
}

} // namespace

COLORREF Painting::at(int x, int y) const
{
    return pixelOf(picture, x, y);
}

RECT extentOfAllBut(const Dib& picture, COLORREF background)
{
    RECT extent{picture.width(), picture.height(), 0, 0};
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            if (pixelOf(picture, x, y) != background) {
                extent.left = std::min<LONG>(extent.left, x);
                extent.top = std::min<LONG>(extent.top, y);
                extent.right = std::max<LONG>(extent.right, x + 1);
                extent.bottom = std::max<LONG>(extent.bottom, y + 1);
            }
    return extent;
}
