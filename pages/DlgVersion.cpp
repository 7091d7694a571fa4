#include "pages/DlgVersion.h"
#include "foundation/Application.h"
#include "foundation/Exception.h"
#include "pages/dialogIds.h"
#include "toolkit/IconHandle.h"

namespace {

constexpr int IconSize = 48;
constexpr int Strips = 256;

// The screen's resolution in dots per inch, horizontally and vertically.
void readScreenResolution(float& dpiX, float& dpiY)
{
    HDC screen = GetDC(nullptr);
    if (!screen)
        Exception::throwLastError();
    dpiX = static_cast<float>(GetDeviceCaps(screen, LOGPIXELSX));
    dpiY = static_cast<float>(GetDeviceCaps(screen, LOGPIXELSY));
    ReleaseDC(nullptr, screen);
}

// White at the left to red FF, green C0, blue 80 at the right, in 256 strips; the colour parts wrap at 256
// as bytes do.
COLORREF stripColour(int strip)
{
    int n = 255 - strip;
    return RGB(255, (n / 4 - 64) & 0xFF, (n / 2 - 128) & 0xFF);
}

void paintGradient(Dib& background, int width)
{
    HDC dc = background.getDC();
    if (!dc)
        Exception::throwLastError();
    for (int strip = 0; strip < Strips; ++strip) {
        RECT area{MulDiv(strip, width, Strips), 0, MulDiv(strip + 1, width, Strips), background.height()};
        HBRUSH brush = CreateSolidBrush(stripColour(strip));
        if (!brush)
            continue;
        FillRect(dc, &area, brush);
        DeleteObject(brush);
    }
    background.releaseDC();
}

} // namespace

bool DlgVersion::onInitDialog(HWND)
{
    Application* application = getApplication();
    if (!application)
        throw Exception(ErrorCode::InvalidState);
    HWND dialog = getHandle();
    SetDlgItemTextW(dialog, IDC_VERSION_TITLE,
                    (application->getTitle() + L" ver." + Application::getVersion()).buffer());
    SetDlgItemTextW(dialog, IDC_VERSION_LEGAL, Application::getExtraText().buffer());
    readScreenResolution(dpiX, dpiY);

    IconHandle loaded(static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_VERSION),
                                                    IMAGE_ICON, static_cast<int>(IconSize * dpiX / 96),
                                                    static_cast<int>(IconSize * dpiY / 96), LR_DEFAULTCOLOR)));
    // A program without its icon still tells its version.
    if (loaded) {
        icon.reset(Gdiplus::Bitmap::FromHICON(loaded.get()));
        if (!icon || icon->GetLastStatus() != Gdiplus::Ok)
            throw Exception(ErrorCode::NoMemory);
    }

    RECT client;
    GetClientRect(dialog, &client);
    if (!background.create(client.right, client.bottom, 24, RGB(255, 255, 255)))
        Exception::throwLastError();
    paintGradient(background, client.right);
    return true;
}

bool DlgVersion::onPaint()
{
    HWND dialog = getHandle();
    PAINTSTRUCT paintStruct;
    HDC dc = BeginPaint(dialog, &paintStruct);
    if (!background.isEmpty())
        background.drawStretched(dc, 0, 0, background.width(), background.height());
    if (icon) {
        RECT client;
        GetClientRect(dialog, &client);
        int x = static_cast<int>(dpiX / 96 * 7);
        int y = static_cast<int>((client.bottom - dpiY * IconSize / 96) * 0.5 - dpiY * 2 / 96);
        Gdiplus::Graphics graphics(dc);
        graphics.DrawImage(icon.get(), x, y, static_cast<int>(icon->GetWidth()), static_cast<int>(icon->GetHeight()));
    }
    EndPaint(dialog, &paintStruct);
    return true;
}

bool DlgVersion::onCtlColorStatic(HDC dc, HWND, HBRUSH& brush)
{
    // The texts stand on the gradient.
    SetBkMode(dc, TRANSPARENT);
    brush = static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
    return true;
}

bool DlgVersion::onButtonDown(MouseButton button, const Point&, UINT)
{
    if (button != MouseButton::Left)
        return false;
    sendCommand(hwnd, IDOK);
    return true;
}

bool DlgVersion::onDestroy()
{
    icon.reset();
    return false;
}

void DlgVersion::onCommand(HWND, int id, int)
{
    if (id == IDOK || id == IDCANCEL)
        endDialog(id);
}

void showVersionDialog(HWND parent)
{
    DlgVersion dialog;
    dialog.doModal(nullptr, IDD_VERSION, parent, 0);
}
