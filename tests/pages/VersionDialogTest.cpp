#include <gtest/gtest.h>
#include "PageTesting.h"
#include "foundation/Application.h"
#include "pages/DlgVersion.h"
#include "pages/dialogIds.h"
#include "support/ExpectCode.h"

namespace {

constexpr wchar_t VersionCaption[] = L"バージョン情報";

COLORREF pixelOf(HWND window, int x, int y)
{
    HDC dc = GetDC(window);
    COLORREF colour = GetPixel(dc, x, y);
    ReleaseDC(window, dc);
    return colour;
}

class VersionDialogTest : public PageTest {};

} // namespace

TEST_F(VersionDialogTest, ShowsTitleVersionAndIconOnTheGradientAndAClickClosesIt)
{
    INT_PTR result = 0;
    WindowRobot robot([&](WindowRobot& user) {
        HWND dialog = user.waitForWindow(WindowQuery::dialog(VersionCaption));
        Application* application = getApplication();
        EXPECT_EQ(user.text(dialog, IDC_VERSION_TITLE),
                  std::wstring((application->getTitle() + L" ver." + Application::getVersion()).buffer()));
        user.screenshot(dialog, L"version_dialog");
        RECT client;
        GetClientRect(dialog, &client);
        EXPECT_EQ(pixelOf(dialog, 0, client.bottom - 2), RGB(255, 255, 255)) << "white at the left";
        EXPECT_EQ(pixelOf(dialog, client.right - 1, client.bottom - 2), RGB(255, 0xC0, 0x80)) << "orange at the right";
        // The icon, 48 pixels at 96 dpi, 7 pixels from the left and centred a little above the middle.
        HDC screen = GetDC(nullptr);
        int dpi = GetDeviceCaps(screen, LOGPIXELSX);
        ReleaseDC(nullptr, screen);
        int size = 48 * dpi / 96;
        int top = static_cast<int>((client.bottom - size) * 0.5 - 2.0 * dpi / 96);
        EXPECT_EQ(pixelOf(dialog, 7 * dpi / 96 + size / 2, top + size / 2), RGB(0, 0, 255)) << "the icon's blue";
        PostMessageW(dialog, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(client.right - 4, client.bottom - 4));
        user.waitUntilGone(dialog);
    });
    DlgVersion dialog;
    result = dialog.doModal(nullptr, IDD_VERSION, nullptr, 0);
    robot.finish();
    EXPECT_EQ(result, IDOK);
}

TEST_F(VersionDialogTest, ADialogThatCannotOpenTellsWhyInsteadOfAWindowError)
{
    // The dialog takes its title from the application object: without one it cannot open.
    Application* application = getApplication();
    setApplication(nullptr);
    int code = thrownCode([] { showVersionDialog(nullptr); });
    DlgVersion dialog;
    int again = thrownCode([&] { dialog.doModal(nullptr, IDD_VERSION, nullptr, 0); });
    setApplication(application);
    EXPECT_EQ(code, ErrorCode::InvalidState) << "not " << ErrorCode::WindowGone;
    EXPECT_EQ(again, ErrorCode::InvalidState);

    WindowRobot robot([](WindowRobot& user) {
        PostMessageW(user.waitForWindow(WindowQuery::dialog(VersionCaption)), WM_COMMAND, IDOK, 0);
    });
    EXPECT_EQ(dialog.doModal(nullptr, IDD_VERSION, nullptr, 0), IDOK) << "the same dialog opens once it can";
    robot.finish();
}
