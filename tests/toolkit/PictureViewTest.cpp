#include <gtest/gtest.h>
#include <functional>
#include <memory>
#include "ToolkitTesting.h"
#include "foundation/ExpectCode.h"
#include "imaging/DibImage.h"
#include "imaging/GdipImage.h"
#include "imaging/ImagingTestSupport.h"
#include "support/WindowRobot.h"
#include "toolkit/PictureView.h"

namespace {

constexpr COLORREF ScreenRed = RGB(255, 0, 0);
constexpr COLORREF ScreenBlue = RGB(0, 0, 255);
constexpr COLORREF ScreenGreen = RGB(0, 255, 0);

// A picture of the given size: red left of splitX, blue from it on.
GdipImage* halvesPicture(int width, int height, int splitX)
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

// A visible top-level window whose client area holds one picture view of the given client size.
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
        parent.show(SW_SHOWNOACTIVATE);
    }

    // The colour the view shows at the client point, read back from its window.
    COLORREF pixel(int x, int y)
    {
        RedrawWindow(view.getHandle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        GdiFlush();
        HDC dc = GetDC(view.getHandle());
        COLORREF colour = GetPixel(dc, x, y);
        ReleaseDC(view.getHandle(), dc);
        return colour;
    }

    Rect client() const { return view.getClientRect(); }

    SCROLLINFO bar(int which)
    {
        SCROLLINFO info{};
        info.cbSize = sizeof(info);
        info.fMask = SIF_ALL;
        GetScrollInfo(view.getHandle(), which, &info);
        return info;
    }

    bool hasBar(DWORD style) const { return (view.getStyle() & style) != 0; }

    // A drag with the mouse captured, as the user's button would hold it.
    void drag(Point from, Point to)
    {
        SendMessageW(view.getHandle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(from.x, from.y));
        SendMessageW(view.getHandle(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(to.x, to.y));
        SendMessageW(view.getHandle(), WM_LBUTTONUP, 0, MAKELPARAM(to.x, to.y));
    }

    UserWindow parent;
    PictureView view;
};

} // namespace

TEST_F(PictureViewTest, FittingModesPlaceTheWholePictureWhereTheUserExpects)
{
    view.setImage(halvesPicture(200, 100, 100));
    view.sendMessage(PictureView::SetBackColorMessage, RGB(255, 255, 255));

    view.setDrawMode(PictureView::FitCentredNoEnlarge);
    EXPECT_EQ(pixel(199, 149), RGB(255, 255, 255)) << "a small picture keeps its size, centred at 200,150";
    EXPECT_EQ(pixel(202, 152), ScreenRed);
    EXPECT_EQ(pixel(397, 247), ScreenBlue);
    EXPECT_EQ(pixel(401, 251), RGB(255, 255, 255));

    view.setDrawMode(PictureView::FitCentred);
    EXPECT_EQ(pixel(300, 45), RGB(255, 255, 255)) << "enlarged to 600 x 300 at 0,50";
    EXPECT_EQ(pixel(3, 53), ScreenRed);
    EXPECT_EQ(pixel(596, 346), ScreenBlue);
    EXPECT_EQ(pixel(300, 355), RGB(255, 255, 255));

    view.setDrawMode(PictureView::FitTopLeft);
    EXPECT_EQ(pixel(3, 3), ScreenRed);
    EXPECT_EQ(pixel(300, 305), RGB(255, 255, 255)) << "the same size at the top left";

    view.setDrawMode(PictureView::Stretch);
    EXPECT_EQ(pixel(3, 396), ScreenRed) << "stretched over the whole client area";
    EXPECT_EQ(pixel(596, 3), ScreenBlue);

    // 400 x 300 in 600 x 400 is limited by the height: 533 x 400 at 33,0. A ratio taken in integers (1)
    // would draw it 600 x 300.
    view.setImage(halvesPicture(400, 300, 200));
    view.setDrawMode(PictureView::FitCentred);
    EXPECT_EQ(pixel(20, 200), RGB(255, 255, 255));
    EXPECT_EQ(pixel(40, 3), ScreenRed);
    EXPECT_EQ(pixel(560, 396), ScreenBlue);
    EXPECT_EQ(pixel(580, 200), RGB(255, 255, 255));
}

TEST_F(PictureViewTest, BackgroundIsTheWindowColourAColourOrATiledPicture)
{
    view.setImage(halvesPicture(20, 10, 10));
    view.setDrawMode(PictureView::FitCentredNoEnlarge);
    EXPECT_EQ(pixel(5, 5), GetSysColor(COLOR_WINDOW)) << "the colour -1 follows the system's window colour";

    view.sendMessage(PictureView::SetBackColorMessage, RGB(10, 200, 30));
    EXPECT_EQ(pixel(5, 5), RGB(10, 200, 30));
    EXPECT_EQ(view.sendMessage(PictureView::GetBackColorMessage), static_cast<LRESULT>(RGB(10, 200, 30)));

    // A 10 x 10 tile, green on its left half and blue on its right, repeats from the top left corner.
    Dib tile;
    ASSERT_TRUE(tile.create(10, 10, 24, ScreenBlue));
    HDC dc = tile.getDC();
    Rect left(0, 0, 5, 10);
    HBRUSH green = CreateSolidBrush(ScreenGreen);
    FillRect(dc, &left, green);
    DeleteObject(green);
    tile.releaseDC();
    view.setBackgroundImage(new DibImage(tile));
    EXPECT_EQ(pixel(2, 2), ScreenGreen);
    EXPECT_EQ(pixel(7, 2), ScreenBlue);
    EXPECT_EQ(pixel(572, 393), ScreenGreen) << "the tiles go on to the far corner";
    EXPECT_EQ(pixel(577, 393), ScreenBlue);
    EXPECT_EQ(pixel(295, 200), ScreenRed) << "the picture lies over the tiles";

    view.sendMessage(PictureView::ReleaseBackgroundMessage);
    EXPECT_EQ(pixel(5, 5), RGB(10, 200, 30)) << "without the tile the colour shows again";
}

TEST_F(PictureViewTest, ALargePictureAtActualSizeScrollsByBarsDragAndKeys)
{
    // Green in its first 50 columns, red after them.
    BitmapPtr bitmap(makeBitmap32(1000, 800, [](int x, int) { return x < 50 ? Green : Red; }));
    view.setImage(new GdipImage(bitmap.get()));
    view.setDrawMode(PictureView::ActualSize);
    ASSERT_TRUE(hasBar(WS_HSCROLL) && hasBar(WS_VSCROLL)) << "1000 x 800 in 600 x 400 needs both bars";
    EXPECT_EQ(bar(SB_HORZ).nMax, 999);
    EXPECT_EQ(static_cast<LONG>(bar(SB_HORZ).nPage), client().right);
    EXPECT_EQ(static_cast<LONG>(bar(SB_VERT).nPage), client().bottom);
    EXPECT_EQ(pixel(10, 10), ScreenGreen);

    drag(Point(300, 200), Point(250, 200));
    EXPECT_EQ(bar(SB_HORZ).nPos, 50) << "dragging 50 pixels left shows 50 pixels more on the right";
    EXPECT_EQ(pixel(10, 10), ScreenRed);
    drag(Point(500, 200), Point(0, 200));
    drag(Point(500, 200), Point(0, 200));
    EXPECT_EQ(bar(SB_HORZ).nPos, 1000 - client().right) << "the drag stops at the right edge of the picture";
    EXPECT_EQ(GetCapture(), nullptr) << "the button's release gives the mouse back";

    SendMessageW(view.getHandle(), WM_KEYDOWN, VK_NEXT, 0);
    EXPECT_EQ(bar(SB_VERT).nPos, client().bottom) << "Page Down scrolls one page";
    SendMessageW(view.getHandle(), WM_VSCROLL, SB_BOTTOM, 0);
    EXPECT_EQ(bar(SB_VERT).nPos, 800 - client().bottom);
    SendMessageW(view.getHandle(), WM_VSCROLL, SB_LINEDOWN, 0);
    EXPECT_EQ(bar(SB_VERT).nPos, 800 - client().bottom) << "never past the end";

    view.setDrawMode(PictureView::Stretch);
    EXPECT_FALSE(hasBar(WS_HSCROLL) || hasBar(WS_VSCROLL)) << "the other modes have no bars";
}

TEST_F(PictureViewTest, BarsAppearOnlyWhereThePictureDoesNotFit)
{
    view.setDrawMode(PictureView::ActualSize);
    view.setImage(halvesPicture(600, 100, 300));
    EXPECT_FALSE(hasBar(WS_HSCROLL) || hasBar(WS_VSCROLL)) << "exactly as wide as the client area";

    view.setImage(halvesPicture(600, 800, 300));
    EXPECT_TRUE(hasBar(WS_VSCROLL));
    EXPECT_TRUE(hasBar(WS_HSCROLL)) << "the vertical bar takes width the picture needs";

    // Only the horizontal bar can scroll: the wheel pages sideways, and a part of a notch does nothing.
    view.setImage(halvesPicture(2000, 100, 1000));
    ASSERT_TRUE(hasBar(WS_HSCROLL));
    EXPECT_FALSE(hasBar(WS_VSCROLL));
    SendMessageW(view.getHandle(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-60)), 0);
    EXPECT_EQ(bar(SB_HORZ).nPos, 0);
    SendMessageW(view.getHandle(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-120)), 0);
    EXPECT_EQ(bar(SB_HORZ).nPos, client().right);
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
    view.sendMessage(PictureView::SetDrawModeMessage, 7);
    EXPECT_EQ(view.getDrawMode(), PictureView::ActualSize) << "a mode outside 0-4 is refused";

    EXPECT_EQ(thrownCode([&] { view.setImage(nullptr); }), ErrorCode::InvalidArgument);
    parent.destroy();
    EXPECT_TRUE(backgroundDeleted) << "the window's end deletes its pictures";
    auto* orphan = new WatchedImage(dib, firstDeleted);
    EXPECT_EQ(thrownCode([&] { view.setImage(orphan); }), ErrorCode::WindowGone);
    delete orphan; // still the caller's
    EXPECT_EQ(thrownCode([&] { view.getDrawMode(); }), ErrorCode::WindowGone);
}
