#include <gtest/gtest.h>
#include <vector>
#include "ToolkitTesting.h"
#include "foundation/WorkerPool.h"
#include "support/ExpectCode.h"
#include "imaging/DibImage.h"
#include "imaging/GdipImage.h"
#include "support/ImagingTestSupport.h"
#include "support/Screenshot.h"
#include "support/WindowRobot.h"
#include "support/pollUntil.h"
#include "toolkit/PictureView.h"

namespace {

constexpr COLORREF ScreenRed = RGB(255, 0, 0);
constexpr COLORREF ScreenBlue = RGB(0, 0, 255);
constexpr COLORREF ScreenGreen = RGB(0, 255, 0);
constexpr COLORREF ScreenWhite = RGB(255, 255, 255);

// Red left of splitX, blue from it on.
GdipImage* halves(int width, int height, int splitX)
{
    BitmapPtr bitmap(makeBitmap32(width, height, [&](int x, int) { return x < splitX ? Red : Blue; }));
    return new GdipImage(bitmap.get());
}

// A picture that tells when it is deleted.
class WatchedImage : public DibImage {
public:
    WatchedImage(const Dib& dib, bool& deleted) : DibImage(dib), deleted(deleted) {}
    ~WatchedImage() override { deleted = true; }

private:
    bool& deleted;
};

// A picture whose drawing waits until the test lets it go on, as a large one keeps GDI+ busy; its end sets the
// event `deleted` when one is given.
class GatedImage : public GdipImage {
public:
    explicit GatedImage(Gdiplus::Bitmap* bitmap, HANDLE deleted = nullptr) : GdipImage(bitmap), deleted(deleted) {}
    ~GatedImage() override
    {
        CloseHandle(entered);
        CloseHandle(opened);
        if (deleted)
            SetEvent(deleted);
    }
    bool draw(HDC dc, int x, int y, int width, int height, int sourceX, int sourceY, int sourceWidth,
              int sourceHeight) override
    {
        SetEvent(entered);
        WaitForSingleObject(opened, 30000);
        return GdipImage::draw(dc, x, y, width, height, sourceX, sourceY, sourceWidth, sourceHeight);
    }

    HANDLE entered = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE opened = CreateEventW(nullptr, TRUE, FALSE, nullptr);

private:
    HANDLE deleted;
};

// The 32-bit pixels of a client area, as the window shows it or as drawn into a buffer.
std::vector<UINT32> pixelsOf(HDC source, int width, int height)
{
    Dib copy;
    copy.create(width, height, 32, 0);
    BitBlt(copy.getDC(), 0, 0, width, height, source, 0, 0, SRCCOPY);
    copy.releaseDC();
    GdiFlush();
    auto* bits = reinterpret_cast<const UINT32*>(copy.getBits());
    std::vector<UINT32> pixels(bits, bits + width * height);
    for (UINT32& pixel : pixels)
        pixel &= 0xFFFFFF;
    return pixels;
}

// A picture view with a client area of 600 x 400 in a visible window.
class PictureViewTest : public GdiplusTest {
protected:
    void SetUp() override
    {
        GdiplusTest::SetUp();
        PictureView::registerClass();
        Rect frame(0, 0, 600, 400);
        AdjustWindowRect(&frame, WS_OVERLAPPEDWINDOW, FALSE);
        parent.create(0, testWindowClass(), L"picture view", WS_OVERLAPPEDWINDOW, 20, 20, frame.right - frame.left,
                      frame.bottom - frame.top, nullptr, nullptr, nullptr);
        view.create(parent.getHandle(), 1, Rect(0, 0, 600, 400), 0, 0);
        view.setWorkers(workers);
        parent.show(SW_SHOWNOACTIVATE);
    }

    // What the view shows at the client point, read back from its window once its newest drawing has come.
    COLORREF pixel(int x, int y)
    {
        RedrawWindow(view.getHandle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        EXPECT_TRUE(pumpMessagesUntil([&] { return view.showsNewest(); }));
        RedrawWindow(view.getHandle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        HDC dc = GetDC(view.getHandle());
        COLORREF colour = GetPixel(dc, x, y);
        ReleaseDC(view.getHandle(), dc);
        return colour;
    }

    int position(int bar) { return GetScrollPos(view.getHandle(), bar); }
    LONG clientWidth() const { return view.getClientRect().right; }
    LONG clientHeight() const { return view.getClientRect().bottom; }
    bool hasBar(DWORD style) const { return (view.getStyle() & style) != 0; }
    LRESULT send(UINT message, WPARAM wParam, LPARAM lParam = 0)
    {
        return SendMessageW(view.getHandle(), message, wParam, lParam);
    }
    // A drag with the mouse captured, as the user's button holds it.
    void drag(int fromX, int toX)
    {
        send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(fromX, 200));
        send(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(toX, 200));
        send(WM_LBUTTONUP, 0, MAKELPARAM(toX, 200));
    }

    // Outlives the views it scales for.
    WorkerPool workers{2};
    UserWindow parent;
    PictureView view;
};

} // namespace

TEST_F(PictureViewTest, FittingModesPlaceTheWholePictureWhereTheUserExpects)
{
    view.setImage(halves(200, 100, 100));
    send(PictureView::SetBackColorMessage, ScreenWhite);
    view.setDrawMode(PictureView::FitCentredNoEnlarge);
    EXPECT_EQ(pixel(199, 149), ScreenWhite) << "a small picture keeps its size, centred at 200,150";
    EXPECT_EQ(pixel(202, 152), ScreenRed);
    EXPECT_EQ(pixel(397, 247), ScreenBlue);
    EXPECT_EQ(pixel(401, 251), ScreenWhite);

    view.setDrawMode(PictureView::FitCentred);
    EXPECT_EQ(pixel(300, 45), ScreenWhite) << "enlarged to 600 x 300 at 0,50";
    EXPECT_EQ(pixel(3, 53), ScreenRed);
    EXPECT_EQ(pixel(596, 346), ScreenBlue);
    EXPECT_EQ(pixel(300, 355), ScreenWhite);

    view.setDrawMode(PictureView::FitTopLeft);
    EXPECT_EQ(pixel(3, 3), ScreenRed);
    EXPECT_EQ(pixel(300, 305), ScreenWhite) << "the same size at the top left";

    view.setDrawMode(PictureView::Stretch);
    EXPECT_EQ(pixel(3, 396), ScreenRed) << "stretched over the whole client area";
    EXPECT_EQ(pixel(596, 3), ScreenBlue);

    // 400 x 300 is limited by the height: 533 x 400 at 33,0. A ratio taken in integers (600 / 400 = 1)
    // would draw it 400 x 300.
    view.setImage(halves(400, 300, 200));
    view.setDrawMode(PictureView::FitCentred);
    EXPECT_EQ(pixel(20, 200), ScreenWhite);
    EXPECT_EQ(pixel(40, 3), ScreenRed);
    EXPECT_EQ(pixel(560, 396), ScreenBlue);
    EXPECT_EQ(pixel(580, 200), ScreenWhite);
}

TEST_F(PictureViewTest, BackgroundIsTheWindowColourAColourOrATiledPicture)
{
    view.setImage(halves(20, 10, 10));
    view.setDrawMode(PictureView::FitCentredNoEnlarge);
    EXPECT_EQ(pixel(5, 5), GetSysColor(COLOR_WINDOW)) << "the colour -1 follows the system's window colour";
    send(PictureView::SetBackColorMessage, RGB(10, 200, 30));
    EXPECT_EQ(pixel(5, 5), RGB(10, 200, 30));

    // A 10 x 10 tile, white on its left half and blue on its right, repeats from the top left corner.
    Dib tile;
    ASSERT_TRUE(tile.create(10, 10, 24, ScreenBlue));
    Rect left(0, 0, 5, 10);
    FillRect(tile.getDC(), &left, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    tile.releaseDC();
    view.setBackgroundImage(new DibImage(tile));
    EXPECT_EQ(pixel(2, 2), ScreenWhite);
    EXPECT_EQ(pixel(7, 2), ScreenBlue);
    EXPECT_EQ(pixel(572, 393), ScreenWhite) << "the tiles go on to the far corner";
    EXPECT_EQ(pixel(577, 393), ScreenBlue);
    EXPECT_EQ(pixel(295, 200), ScreenRed) << "the picture lies over the tiles";
    send(PictureView::ReleaseBackgroundMessage, 0);
    EXPECT_EQ(pixel(5, 5), RGB(10, 200, 30)) << "without the tile the colour shows again";
}

TEST_F(PictureViewTest, ALargePictureAtActualSizeScrollsByDragKeysAndBarsUpToItsEdges)
{
    // Green in its first 50 columns, red after them.
    BitmapPtr bitmap(makeBitmap32(1000, 800, [](int x, int) { return x < 50 ? Green : Red; }));
    view.setImage(new GdipImage(bitmap.get()));
    view.setDrawMode(PictureView::ActualSize);
    ASSERT_TRUE(hasBar(WS_HSCROLL) && hasBar(WS_VSCROLL)) << "1000 x 800 in 600 x 400 needs both bars";
    EXPECT_EQ(pixel(10, 10), ScreenGreen);
    drag(300, 250);
    EXPECT_EQ(position(SB_HORZ), 50) << "dragging 50 pixels left shows 50 pixels more on the right";
    EXPECT_EQ(pixel(10, 10), ScreenRed);
    drag(500, 0);
    drag(500, 0);
    EXPECT_EQ(position(SB_HORZ), 1000 - clientWidth()) << "the drag stops at the right edge of the picture";
    EXPECT_EQ(GetCapture(), nullptr) << "the button's release gives the mouse back";

    send(WM_KEYDOWN, VK_NEXT);
    EXPECT_EQ(position(SB_VERT), clientHeight()) << "Page Down scrolls one page";
    send(WM_VSCROLL, SB_BOTTOM);
    send(WM_VSCROLL, SB_LINEDOWN);
    EXPECT_EQ(position(SB_VERT), 800 - clientHeight()) << "never past the end";
    view.setDrawMode(PictureView::Stretch);
    EXPECT_FALSE(hasBar(WS_HSCROLL) || hasBar(WS_VSCROLL)) << "the other modes have no bars";
}

TEST_F(PictureViewTest, BarsAppearOnlyWhereThePictureDoesNotFitAndTheWheelUsesTheOneThatScrolls)
{
    view.setDrawMode(PictureView::ActualSize);
    view.setImage(halves(600, 100, 300));
    EXPECT_FALSE(hasBar(WS_HSCROLL) || hasBar(WS_VSCROLL)) << "exactly as wide as the client area";
    view.setImage(halves(600, 800, 300));
    EXPECT_TRUE(hasBar(WS_VSCROLL) && hasBar(WS_HSCROLL)) << "the vertical bar takes width the picture needs";

    view.setImage(halves(2000, 100, 1000));
    ASSERT_TRUE(hasBar(WS_HSCROLL) && !hasBar(WS_VSCROLL));
    send(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-60)));
    EXPECT_EQ(position(SB_HORZ), 0) << "part of a notch does nothing";
    send(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-120)));
    EXPECT_EQ(position(SB_HORZ), clientWidth()) << "a notch pages sideways";
}

TEST_F(PictureViewTest, TheViewOwnsItsPicturesAndTheWrapperNeedsALiveWindow)
{
    Dib dib;
    ASSERT_TRUE(dib.create(4, 4, 24, ScreenRed));
    bool firstDeleted = false;
    bool secondDeleted = false;
    bool backgroundDeleted = false;
    view.setImage(new WatchedImage(dib, firstDeleted));
    view.setImage(new WatchedImage(dib, secondDeleted));
    EXPECT_TRUE(firstDeleted) << "a replaced picture is deleted";
    view.setBackgroundImage(new WatchedImage(dib, backgroundDeleted));
    view.releaseImage();
    EXPECT_TRUE(secondDeleted);
    EXPECT_FALSE(view.hasImage());
    send(PictureView::SetDrawModeMessage, 7);
    EXPECT_EQ(view.getDrawMode(), PictureView::ActualSize) << "a mode outside 0-4 is refused";
    EXPECT_EQ(thrownCode([&] { view.setImage(nullptr); }), ErrorCode::InvalidArgument);

    parent.destroy();
    EXPECT_TRUE(backgroundDeleted) << "the window's end deletes its pictures";
    WatchedImage orphan(dib, firstDeleted);
    EXPECT_EQ(thrownCode([&] { view.setImage(&orphan); }), ErrorCode::WindowGone) << "and it stays the caller's";
}

TEST_F(PictureViewTest, EveryScalingModeShowsThePictureAsItsOwnScaledDrawOverTheBackground)
{
    BitmapPtr bitmap(makeBitmap32(1500, 700, [](int x, int y) {
        return static_cast<UINT32>((x * 255 / 1500) << 24 | (y * 255 / 700) << 16 | (x * y % 256) << 8 | 0x40);
    }));
    GdipImage picture(bitmap.get());
    view.setImage(picture.clone());
    send(PictureView::SetBackColorMessage, RGB(10, 200, 30));
    const struct {
        int mode;
        Rect place;
    } modes[] = {{PictureView::Stretch, Rect(0, 0, 600, 400)},
                 {PictureView::FitTopLeft, Rect(0, 0, 600, 280)},
                 {PictureView::FitCentred, Rect(0, 60, 600, 340)},
                 {PictureView::FitCentredNoEnlarge, Rect(0, 60, 600, 340)}};
    for (const auto& shown : modes) {
        Dib expected;
        ASSERT_TRUE(expected.create(600, 400, 32, RGB(10, 200, 30)));
        const Rect& at = shown.place;
        picture.draw(expected.getDC(), at.left, at.top, at.right - at.left, at.bottom - at.top, 0, 0, 1500, 700);
        view.setDrawMode(shown.mode);
        pixel(0, 0);
        HDC screen = GetDC(view.getHandle());
        EXPECT_TRUE(pixelsOf(screen, 600, 400) == pixelsOf(expected.getDC(), 600, 400)) << shown.mode;
        ReleaseDC(view.getHandle(), screen);
        expected.releaseDC();
    }
    saveWindowScreenshot(parent.getHandle(), L"picture-view-fitted-aside");
}

TEST_F(PictureViewTest, TheWindowAnswersWhileItsPictureIsScaledAndShowsItOnceScaled)
{
    BitmapPtr red(makeBitmap32(900, 300, [](int, int) { return Red; }));
    auto* gated = new GatedImage(red.get());
    view.setImage(gated);
    view.setDrawMode(PictureView::FitCentred);
    bool answered = false;
    WindowRobot robot([&](WindowRobot& user) {
        user.waitUntil([&] { return WaitForSingleObject(gated->entered, 0) == WAIT_OBJECT_0; }, L"the scaling");
        DWORD_PTR answer = 0;
        answered = SendMessageTimeoutW(view.getHandle(), WM_NULL, 0, 0, SMTO_NORMAL, 3000, &answer) != 0;
        SetEvent(gated->opened);
    });
    RedrawWindow(view.getHandle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    pumpMessagesUntil([&] { return robot.isDone(); });
    robot.finish();
    EXPECT_TRUE(answered) << "the view answered while its picture was scaled";
    EXPECT_EQ(pixel(300, 200), ScreenRed);
}

// What the user changes while the view's picture is scaled aside, and whether the view paints before the scaling
// ends (asking for the new drawing behind it) or the scaling's end is told before any paint: the view always ends
// on the drawing of what it shows last, never taking the old one for it.
TEST_F(PictureViewTest, WhatChangesWhileThePictureIsScaledIsWhatTheViewEndsOn)
{
    const struct {
        const char* what;
        std::vector<int> modes; // after the first, while it is scaled
        bool newPicture;
        bool paintBeforeTheEnd;
    } changes[] = {
        {"fit after stretch, painted meanwhile", {PictureView::FitCentred}, false, true},
        {"fit after stretch, told first", {PictureView::FitCentred}, false, false},
        {"back and forth", {PictureView::FitCentred, PictureView::Stretch, PictureView::FitCentred}, false, true},
        {"a new picture, painted meanwhile", {}, true, true},
        {"a new picture, told first", {}, true, false},
    };
    send(PictureView::SetBackColorMessage, ScreenWhite);
    BitmapPtr red(makeBitmap32(900, 300, [](int, int) { return Red; }));
    for (const auto& change : changes) {
        view.setDrawMode(PictureView::Stretch);
        auto* gated = new GatedImage(red.get());
        view.setImage(gated);
        RedrawWindow(view.getHandle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        ASSERT_EQ(WaitForSingleObject(gated->entered, 10000), WAIT_OBJECT_0) << change.what;
        for (int mode : change.modes) {
            view.setDrawMode(mode);
            if (change.paintBeforeTheEnd)
                RedrawWindow(view.getHandle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        }
        if (change.newPicture) {
            view.setImage(halves(900, 300, 0));
            if (change.paintBeforeTheEnd)
                RedrawWindow(view.getHandle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        }
        SetEvent(gated->opened);
        if (!change.paintBeforeTheEnd) {
            // The old drawing's message waits in the queue before the paint that the change asked for.
            MSG told;
            EXPECT_TRUE(pollUntil([&] {
                return PeekMessageW(&told, view.getHandle(), WM_USER, WM_APP - 1, PM_NOREMOVE) != FALSE;
            })) << change.what;
            while (PeekMessageW(&told, view.getHandle(), WM_USER, WM_APP - 1, PM_REMOVE))
                DispatchMessageW(&told);
            EXPECT_FALSE(view.showsNewest()) << change.what << ": the old drawing was taken for the new";
        }
        bool fitted = !change.modes.empty() && change.modes.back() == PictureView::FitCentred;
        EXPECT_EQ(pixel(300, 20), fitted ? ScreenWhite : (change.newPicture ? ScreenBlue : ScreenRed)) << change.what;
        EXPECT_EQ(pixel(300, 200), change.newPicture ? ScreenBlue : ScreenRed) << change.what;
    }
}

// A view closed while its picture is scaled goes at once; the scaling ends on the pool, which then lets the
// picture go.
TEST_F(PictureViewTest, AViewClosedWhileItsPictureIsScaledGoesAtOnce)
{
    BitmapPtr red(makeBitmap32(900, 300, [](int, int) { return Red; }));
    HANDLE deleted = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE closed = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    auto* gated = new GatedImage(red.get(), deleted);
    HANDLE opened = gated->opened;
    view.setImage(gated);
    view.setDrawMode(PictureView::FitCentred);
    RedrawWindow(view.getHandle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    ASSERT_EQ(WaitForSingleObject(gated->entered, 10000), WAIT_OBJECT_0);
    bool closedFirst = false;
    // Lets the scaling go on once the view has gone, or after a while if the view waits for it.
    WindowRobot robot([&](WindowRobot&) {
        closedFirst = WaitForSingleObject(closed, 3000) == WAIT_OBJECT_0;
        SetEvent(opened);
    });
    parent.destroy();
    SetEvent(closed);
    robot.finish();
    EXPECT_TRUE(closedFirst) << "the view waited for its picture's scaling";
    EXPECT_EQ(WaitForSingleObject(deleted, 10000), WAIT_OBJECT_0) << "the picture is let go once scaled";
    CloseHandle(closed);
    CloseHandle(deleted);
}
