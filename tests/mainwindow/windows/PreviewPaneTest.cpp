#include <gtest/gtest.h>
#include <algorithm>
#include <vector>
#include "MainWindowTesting.h"
#include "PreviewTesting.h"
#include "mainwindow/PPView.h"
#include "mainwindow/mainCommandIds.h"
#include "mainwindow/mainWindowMessages.h"
#include "mainwindow/mainWindowStrings.h"
#include "toolkit/ToolkitTesting.h"

namespace {

// Stands in for the main window: a list on the left, the preview pane on the right, and a record of what the
// pane tells it. It does not start moving on WM_NCLBUTTONDOWN, which would wait for a real mouse.
class MainWindowStandIn : public UserWindow {
public:
    explicit MainWindowStandIn(const MainWindowServices& services) : pane(services)
    {
        create(0, testWindowClass(), L"メイン", WS_OVERLAPPEDWINDOW, 10, 10, 560, 420, nullptr, nullptr, nullptr);
        Rect client = getClientRect();
        CreateWindowExW(0, L"ListBox", L"", WS_CHILD | WS_VISIBLE | WS_BORDER, 0, 0, 200, client.bottom, hwnd,
                        nullptr, GetModuleHandleW(nullptr), nullptr);
        PictureView::registerClass();
        pane.create(hwnd, 2, Rect(202, 0, client.right - 202, client.bottom), 0, WS_BORDER);
        pane.subclass();
        pane.sendMessage(PPView::StartMessage);
        pane.sendMessage(WM_COMMAND, PPView::ModeFit);
        show(SW_SHOWNOACTIVATE);
    }

    LRESULT handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == OpenPreviewMessage || message == WM_NCLBUTTONDOWN || message == WM_COMMAND)
            received.push_back({message, LOWORD(wParam)});
        if (message == WM_NCLBUTTONDOWN)
            return 0;
        return UserWindow::handleMessage(window, message, wParam, lParam);
    }

    bool got(UINT message, WPARAM wParam) const
    {
        return std::find(received.begin(), received.end(), std::make_pair(message, wParam)) != received.end();
    }

    std::vector<std::pair<UINT, WPARAM>> received;
    PPView pane;
};

// The ids of the menu's items from top to bottom; 0 for a separator, -1 for a popup.
std::vector<int> itemIds(HMENU menu)
{
    std::vector<int> ids;
    for (int i = 0; i < GetMenuItemCount(menu); ++i)
        ids.push_back(GetSubMenu(menu, i) ? -1 : static_cast<int>(GetMenuItemID(menu, i)));
    return ids;
}

bool isEnabled(HMENU menu, UINT id)
{
    return !(GetMenuState(menu, id, MF_BYCOMMAND) & MF_GRAYED);
}

bool isChecked(HMENU menu, UINT id)
{
    return (GetMenuState(menu, id, MF_BYCOMMAND) & MF_CHECKED) != 0;
}

class PreviewPaneTest : public PreviewTest {
protected:
    // Right-clicks the client point and lets the robot choose the item of the mnemonic key from the context
    // menu; returns what the command left on the clipboard.
    std::wstring chooseFromMenu(Point at, wchar_t key)
    {
        HWND pane = window.pane.getHandle();
        ClientToScreen(pane, &at);
        return chooseFromMenu(MAKELPARAM(at.x, at.y), key);
    }

    std::wstring chooseFromMenu(LPARAM at, wchar_t key)
    {
        HWND pane = window.pane.getHandle();
        UpdateWindow(pane);
        WindowRobot robot([&](WindowRobot& user) {
            user.waitForWindow(WindowQuery::ofClass(L"#32768"));
            PostMessageW(pane, WM_CHAR, key, 0);
        });
        SendMessageW(pane, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(pane), at);
        robot.finish();
        // The menu posts the chosen command.
        EXPECT_TRUE(pumpPostedMessages());
        return clipboardText();
    }

    // An animated GIF of red, green and blue stripes, read with all its frames; the middle stripe is green,
    // blue, then red.
    GdipImage* stripedAnimation()
    {
        std::wstring path = scratch.file(L"frames.gif");
        writeStripedAnimation(path, 60, 30);
        auto* picture = new GdipImage();
        EXPECT_TRUE(picture->load(path.c_str()));
        return picture;
    }

    COLORREF paneCentre()
    {
        Rect client = window.pane.getClientRect();
        return shownPixel(window.pane.getHandle(), client.right / 2, client.bottom / 2);
    }

    MainWindowStandIn window{services};
};

} // namespace

TEST_F(PreviewPaneTest, ColourPickPutsTheColourUnderTheMenuOnTheClipboard)
{
    window.pane.setImage(solidPicture(300, 400, Red));
    paneCentre();
    EXPECT_EQ(chooseFromMenu(Point(40, 40), L'h'), L"ff0000");
    EXPECT_EQ(chooseFromMenu(Point(40, 40), L'd'), L"255 0 0");
    // The colour is the one shown, which the new picture is once it has been scaled.
    window.pane.setImage(solidPicture(300, 400, Blue));
    paneCentre();
    EXPECT_EQ(chooseFromMenu(Point(40, 40), L'h'), L"0000ff");
    // From the keyboard the menu has no point of its own: the colour is the one under the mouse cursor.
    window.pane.setImage(solidPicture(300, 400, Red));
    paneCentre();
    Point cursor(40, 40);
    ClientToScreen(window.pane.getHandle(), &cursor);
    SetCursorPos(cursor.x, cursor.y);
    EXPECT_EQ(chooseFromMenu(MAKELPARAM(-1, -1), L'h'), L"ff0000");

    // For people to look at: a gradient fitted into the pane beside the list.
    BitmapPtr gradient(makeBitmap32(320, 240, [](int x, int y) {
        return 0xFF000080u | (x * 255 / 320) << 16 | (y * 255 / 240) << 8;
    }));
    window.pane.setImage(new GdipImage(gradient.get()));
    HWND shown = window.getHandle();
    WindowRobot robot([&](WindowRobot& user) { user.screenshot(shown, L"preview-pane"); });
    robot.finish();
}

TEST_F(PreviewPaneTest, TheMenuOffersWhatThePictureAllows)
{
    HMENU menu = window.pane.makeContextMenu();
    EXPECT_EQ(itemIds(menu),
              (std::vector<int>{IDM_PREVIEW_ACTUAL_SIZE, IDM_PREVIEW_STRETCH, IDM_PREVIEW_FIT, 0, IDM_COPY_COLOUR_HEX,
                                IDM_COPY_COLOUR_DECIMAL, IDM_COPY_PICTURE, IDM_PRINT, 0, -1}))
        << "a single picture shows no frame items; the pane in the main window has the position popup";
    EXPECT_TRUE(isChecked(menu, PPView::ModeFit));
    EXPECT_FALSE(isEnabled(menu, PPView::CopyColourHex) || isEnabled(menu, PPView::Print)) << "no picture";
    EXPECT_TRUE(isChecked(menu, PPView::PositionRight)) << "the pane lies right of the list";
    DestroyMenu(menu);

    window.pane.setImage(stripedAnimation());
    window.pane.setDrawMode(PictureView::ActualSize);
    menu = window.pane.makeContextMenu();
    EXPECT_EQ(itemIds(menu),
              (std::vector<int>{IDM_PREVIEW_ACTUAL_SIZE, IDM_PREVIEW_STRETCH, IDM_PREVIEW_FIT, 0, IDM_COPY_COLOUR_HEX,
                                IDM_COPY_COLOUR_DECIMAL, IDM_COPY_PICTURE, IDM_PRINT, 0, IDM_NEXT_FRAME,
                                IDM_PREVIOUS_FRAME, IDM_PLAY_ANIMATION, 0, -1}));
    EXPECT_TRUE(isChecked(menu, PPView::ModeActualSize));
    EXPECT_TRUE(isEnabled(menu, PPView::NextFrame));
    EXPECT_FALSE(isEnabled(menu, PPView::PreviousFrame)) << "frame 0 has no previous frame";
    DestroyMenu(menu);

    // A modal dialog of the main window keeps printing out of reach.
    HWND dialog = CreateWindowExW(WS_EX_DLGMODALFRAME, L"Static", L"", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10,
                                  window.getHandle(), nullptr, GetModuleHandleW(nullptr), nullptr);
    menu = window.pane.makeContextMenu();
    EXPECT_TRUE(isEnabled(menu, PPView::CopyPicture) && !isEnabled(menu, PPView::Print));
    DestroyMenu(menu);
    DestroyWindow(dialog);

    window.pane.sendMessage(WM_COMMAND, PPView::PlayAnimation);
    menu = window.pane.makeContextMenu();
    for (UINT id : {IDM_COPY_COLOUR_HEX, IDM_COPY_COLOUR_DECIMAL, IDM_COPY_PICTURE, IDM_PRINT, IDM_NEXT_FRAME,
                    IDM_PREVIOUS_FRAME})
        EXPECT_FALSE(isEnabled(menu, id)) << id << " while the animation plays";
    EXPECT_EQ(itemIds(menu)[11], PPView::StopAnimation);
    DestroyMenu(menu);
    window.pane.setImage(solidPicture(10, 10, Red));
    EXPECT_FALSE(window.pane.isAnimating()) << "a new picture stops the animation";
}

TEST_F(PreviewPaneTest, FramesStepWithinThePictureAndOnlyTheAnimationGoesRound)
{
    window.pane.setImage(stripedAnimation());
    window.pane.setDrawMode(PictureView::Stretch);
    EXPECT_EQ(paneCentre(), RGB(0, 255, 0));
    window.pane.sendMessage(WM_COMMAND, PPView::NextFrame);
    EXPECT_EQ(paneCentre(), RGB(0, 0, 255));
    window.pane.sendMessage(WM_COMMAND, PPView::NextFrame);
    window.pane.sendMessage(WM_COMMAND, PPView::NextFrame);
    EXPECT_EQ(window.pane.getCurrentFrame(), 2) << "the menu stops at the last frame";
    EXPECT_EQ(paneCentre(), RGB(255, 0, 0));

    window.pane.sendMessage(PPView::AnimationStepMessage);
    EXPECT_EQ(window.pane.getCurrentFrame(), 0) << "the animation goes on from the first frame";
    EXPECT_EQ(paneCentre(), RGB(0, 255, 0));
    window.pane.sendMessage(WM_COMMAND, PPView::PreviousFrame);
    EXPECT_EQ(window.pane.getCurrentFrame(), 0);

    window.pane.sendMessage(WM_COMMAND, PPView::PlayAnimation);
    EXPECT_TRUE(pumpMessagesUntil([&] { return window.pane.getCurrentFrame() != 0; })) << "it plays on its own";
    window.pane.sendMessage(WM_COMMAND, PPView::StopAnimation);
    EXPECT_FALSE(window.pane.isAnimating());
}

TEST_F(PreviewPaneTest, ThePaneHandsDoubleClicksDragsAndPositionsToTheMainWindow)
{
    HWND pane = window.pane.getHandle();
    window.pane.setImage(solidPicture(100, 100, Red));
    SendMessageW(pane, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(5, 5));
    EXPECT_TRUE(window.got(OpenPreviewMessage, 0)) << "a double click opens a preview window";
    SendMessageW(pane, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    EXPECT_TRUE(window.got(WM_NCLBUTTONDOWN, HTCAPTION)) << "dragging a fitted picture moves the window";
    window.pane.sendMessage(WM_COMMAND, PPView::PositionTop);
    EXPECT_TRUE(window.got(WM_COMMAND, PPView::PositionTop));

    window.received.clear();
    window.pane.setImage(solidPicture(2000, 2000, Red));
    window.pane.setDrawMode(PictureView::ActualSize);
    SendMessageW(pane, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    EXPECT_EQ(GetCapture(), pane) << "a picture larger than the pane scrolls by dragging";
    EXPECT_FALSE(window.got(WM_NCLBUTTONDOWN, HTCAPTION));
    SendMessageW(pane, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
}

TEST_F(PreviewPaneTest, PrintingWithoutAPrinterSaysSoAndNothingStaysBlocked)
{
    if (SimplePrintDialog().takeDefaultPrinter())
        GTEST_SKIP() << "this machine has a printer";
    window.pane.setImage(solidPicture(50, 50, Red));
    std::wstring said;
    WindowRobot robot([&](WindowRobot& user) { said = user.answerMessageBox(IDOK, window.getHandle()); });
    window.pane.sendMessage(WM_COMMAND, PPView::Print);
    robot.finish();
    EXPECT_EQ(said, getApplication()->loadString(IDS_NO_PRINTER).buffer());
    EXPECT_FALSE(window.pane.isPrinting());
    HMENU menu = window.pane.makeContextMenu();
    EXPECT_TRUE(isEnabled(menu, PPView::Print)) << "the next try may find a printer";
    DestroyMenu(menu);
}

TEST(PrintedPageTest, APictureWiderThanThePageIsFittedToItsWidth)
{
    HDC page = CreateCompatibleDC(nullptr);
    int pageWidth = GetDeviceCaps(page, HORZRES);
    Dib paper;
    ASSERT_TRUE(paper.create(pageWidth, 200, 24, RGB(255, 255, 255)));
    HGDIOBJ previous = SelectObject(page, paper.getBitmap());
    Dib wide;
    ASSERT_TRUE(wide.create(pageWidth * 2, 100, 24, RGB(255, 0, 0)));
    drawPictureOnPage(page, wide);
    EXPECT_EQ(GetPixel(page, pageWidth - 2, 10), RGB(255, 0, 0)) << "it reaches the right edge";
    EXPECT_EQ(GetPixel(page, 10, 48), RGB(255, 0, 0));
    EXPECT_EQ(GetPixel(page, 10, 52), RGB(255, 255, 255)) << "at half its height";

    Dib small;
    ASSERT_TRUE(small.create(100, 60, 24, RGB(0, 0, 255)));
    drawPictureOnPage(page, small);
    EXPECT_EQ(GetPixel(page, 99, 59), RGB(0, 0, 255)) << "a picture that fits keeps its screen size";
    EXPECT_EQ(GetPixel(page, 101, 30), RGB(255, 0, 0));
    SelectObject(page, previous);
    DeleteDC(page);
}
