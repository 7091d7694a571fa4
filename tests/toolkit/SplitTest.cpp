#include <gtest/gtest.h>
#include "ToolkitTesting.h"
#include "support/ExpectCode.h"
#include "toolkit/Split.h"
#include "toolkit/Static.h"

namespace {

// A pane's place within the splitter: left, top, width and height.
struct Place {
    int x, y, width, height;
};

Place placeOf(const Control& pane)
{
    RECT bounds;
    GetWindowRect(pane.getHandle(), &bounds);
    MapWindowPoints(nullptr, GetParent(pane.getHandle()), reinterpret_cast<POINT*>(&bounds), 2);
    return {bounds.left, bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top};
}

LPARAM at(int x, int y)
{
    return MAKELPARAM(x, y);
}

// A splitter of 600 x 400 client pixels in a shown window, with two plain panes.
class SplitTest : public testing::Test {
protected:
    void SetUp() override
    {
        Split::registerClass();
        window.setBounds(0, 0, 700, 500);
        window.show(true);
        split.create(window.getHandle(), 7, Rect(0, 0, 600, 400), 0, 0);
        split.setPanes(&left, &right);
    }

    void drag(int fromX, int toX, UINT endMessage = WM_LBUTTONUP)
    {
        split.sendMessage(WM_LBUTTONDOWN, MK_LBUTTON, at(fromX, 100));
        split.sendMessage(WM_MOUSEMOVE, MK_LBUTTON, at(toX, 100));
        split.sendMessage(endMessage, 0, at(toX, 100));
    }

    ParentWindow window;
    Split split;
    Static left;
    Static right;
};

} // namespace

TEST_F(SplitTest, FirstPaneStartsAt200AndKeepsItsWidthWhenTheWindowResizes)
{
    EXPECT_EQ(GetDlgCtrlID(left.getHandle()), Split::FirstPaneId);
    EXPECT_TRUE(right.getStyle() & WS_BORDER);
    Place first = placeOf(left), second = placeOf(right);
    EXPECT_EQ(first.width, 200);
    EXPECT_EQ(first.height, 400);
    EXPECT_EQ(second.x, 202) << "after the 2-pixel bar";
    EXPECT_EQ(second.width, 398);

    split.setSize(500, 300);
    EXPECT_EQ(placeOf(left).width, 200);
    EXPECT_EQ(placeOf(right).width, 298);
    EXPECT_EQ(placeOf(right).height, 300);
}

TEST_F(SplitTest, EachPaneKeepsItsMarginAndNoneEverTurnsNegative)
{
    split.setSplitPos(590);
    EXPECT_EQ(placeOf(left).width, 570);
    EXPECT_EQ(placeOf(right).width, 28);
    split.setSplitPos(3);
    EXPECT_EQ(placeOf(left).width, 30);

    // Smaller than both margins together.
    split.setSize(40, 400);
    EXPECT_GE(placeOf(right).width, 0);
    split.setSize(10, 400);
    EXPECT_EQ(placeOf(right).width, 0);
    split.setSize(600, 400);
    split.sendMessage(WM_LBUTTONDOWN, MK_LBUTTON, at(31, 100));
    split.setSize(20, 400);
    split.sendMessage(WM_MOUSEMOVE, MK_LBUTTON, at(15, 100));
    split.sendMessage(WM_LBUTTONUP, 0, at(15, 100));
    EXPECT_GE(placeOf(right).width, 0) << "a drag in a shrunken window";
}

TEST_F(SplitTest, AHiddenPaneLeavesTheWholeAreaToTheOther)
{
    right.hide();
    split.setSplitPos(100);
    Place first = placeOf(left);
    EXPECT_EQ(first.width, 600);
    EXPECT_EQ(first.height, 400);
    right.show(true);
    left.hide();
    split.setSplitPos(100);
    EXPECT_EQ(placeOf(right).width, 600);
    EXPECT_EQ(placeOf(right).x, 0);

    // No drag without both panes.
    split.sendMessage(WM_LBUTTONDOWN, MK_LBUTTON, at(300, 100));
    EXPECT_NE(GetCapture(), split.getHandle());
}

TEST_F(SplitTest, SwappedPanesChangePlacesAndTheFirstPlaceKeepsItsSize)
{
    split.setSplitPos(150);
    split.setSwapped(true);
    EXPECT_TRUE(split.isSwapped());
    EXPECT_EQ(split.firstPane(), &right);
    EXPECT_EQ(split.secondPane(), &left);
    EXPECT_EQ(placeOf(right).x, 0);
    EXPECT_EQ(placeOf(right).width, 150);
    EXPECT_EQ(placeOf(left).x, 152);

    split.setOrientation(Split::Stacked);
    Place top = placeOf(right), bottom = placeOf(left);
    EXPECT_EQ(top.height, 200);
    EXPECT_EQ(top.width, 600);
    EXPECT_EQ(bottom.y, 202);
    EXPECT_EQ(bottom.height, 198);

    // New panes start unswapped.
    Static other1, other2;
    split.setPanes(&other1, &other2);
    EXPECT_FALSE(split.isSwapped());
    EXPECT_EQ(left.getHandle(), nullptr) << "the old panes' windows are destroyed";
    EXPECT_EQ(split.firstPane(), &other1);
}

TEST_F(SplitTest, DraggingTheBarMovesThePanesWithinTheirMargins)
{
    drag(201, 251);
    EXPECT_EQ(placeOf(left).width, 250);
    EXPECT_EQ(placeOf(right).x, 252);
    EXPECT_NE(GetCapture(), split.getHandle()) << "released";

    drag(251, 5);
    EXPECT_EQ(placeOf(left).width, 30);
    drag(31, 1000);
    EXPECT_EQ(placeOf(left).width, 568);
    EXPECT_EQ(placeOf(right).width, 30);

    split.setOrientation(Split::Stacked);
    split.sendMessage(WM_LBUTTONDOWN, MK_LBUTTON, at(300, 201));
    split.sendMessage(WM_MOUSEMOVE, MK_LBUTTON, at(300, 101));
    split.sendMessage(WM_LBUTTONUP, 0, at(300, 101));
    EXPECT_EQ(placeOf(left).height, 100);
    EXPECT_EQ(placeOf(left).width, 600);
}

TEST_F(SplitTest, GhostDragMovesThePanesOnlyWhenReleased)
{
    split.controller().ghostDrag = true;
    split.sendMessage(WM_LBUTTONDOWN, MK_LBUTTON, at(201, 100));
    split.sendMessage(WM_MOUSEMOVE, MK_LBUTTON, at(301, 100));
    EXPECT_EQ(placeOf(left).width, 200) << "only the inverted bar follows";
    split.sendMessage(WM_LBUTTONUP, 0, at(301, 100));
    EXPECT_EQ(placeOf(left).width, 300);

    drag(301, 401, WM_RBUTTONDOWN);
    EXPECT_EQ(placeOf(left).width, 300) << "a right click cancels";
    EXPECT_NE(GetCapture(), split.getHandle());
    split.sendMessage(WM_LBUTTONUP, 0, at(401, 100));
    EXPECT_EQ(placeOf(left).width, 300) << "the release after a cancel does nothing";

    split.sendMessage(WM_LBUTTONDOWN, MK_LBUTTON, at(301, 100));
    SetCapture(window.getHandle());
    EXPECT_FALSE(split.controller().dragging) << "another window taking the capture ends the drag";
    EXPECT_EQ(GetCapture(), window.getHandle()) << "and keeps its capture";
    ReleaseCapture();
}

TEST_F(SplitTest, OperationsRefuseAClosedSplitter)
{
    DestroyWindow(split.getHandle());
    EXPECT_EQ(thrownCode([&] { split.setSplitPos(100); }), ErrorCode::WindowGone);
    EXPECT_EQ(thrownCode([&] { split.setSwapped(true); }), ErrorCode::WindowGone);
    EXPECT_EQ(thrownCode([&] { split.getOrientation(); }), ErrorCode::WindowGone);
}
