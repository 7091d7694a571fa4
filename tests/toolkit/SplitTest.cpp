#include <gtest/gtest.h>
#include "ToolkitTesting.h"
#include "toolkit/Split.h"
#include "toolkit/Static.h"

namespace {

// A pane's width and height, and its left edge within the splitter.
int widthOf(const Control& pane)
{
    RECT bounds;
    GetWindowRect(pane.getHandle(), &bounds);
    return bounds.right - bounds.left;
}

int heightOf(const Control& pane)
{
    RECT bounds;
    GetWindowRect(pane.getHandle(), &bounds);
    return bounds.bottom - bounds.top;
}

int leftOf(const Control& pane)
{
    RECT bounds;
    GetWindowRect(pane.getHandle(), &bounds);
    MapWindowPoints(nullptr, GetParent(pane.getHandle()), reinterpret_cast<POINT*>(&bounds), 2);
    return bounds.left;
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

    void drag(int from, int to, UINT endMessage = WM_LBUTTONUP)
    {
        split.sendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(from, 100));
        split.sendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(to, 100));
        split.sendMessage(endMessage, 0, MAKELPARAM(to, 100));
    }

    ParentWindow window;
    Split split;
    Static left;
    Static right;
};

} // namespace

TEST_F(SplitTest, FirstPaneKeepsItsSizeWithinTheMarginsAndTheSecondTakesTheRest)
{
    EXPECT_EQ(widthOf(left), 200);
    EXPECT_EQ(leftOf(right), 202) << "after the 2-pixel bar";
    EXPECT_EQ(widthOf(right), 398);
    split.setSize(500, 300);
    EXPECT_EQ(widthOf(left), 200);
    EXPECT_EQ(widthOf(right), 298);

    split.setSplitPos(490);
    EXPECT_EQ(widthOf(right), 28);
    split.setSplitPos(3);
    EXPECT_EQ(widthOf(left), 30);
    split.setSize(10, 300);
    EXPECT_EQ(widthOf(right), 0) << "smaller than both margins";

    split.setSize(600, 400);
    right.hide();
    split.setSplitPos(100);
    EXPECT_EQ(widthOf(left), 600) << "a hidden pane leaves the whole area to the other";
}

TEST_F(SplitTest, SwappedPanesChangePlacesAndTheFirstPlaceKeepsItsSize)
{
    split.setSplitPos(150);
    split.setSwapped(true);
    EXPECT_EQ(split.firstPane(), &right);
    EXPECT_EQ(leftOf(right), 0);
    EXPECT_EQ(widthOf(right), 150);
    EXPECT_EQ(leftOf(left), 152);
    // The second pane has a border, so its client area is smaller than the place it fills.
    for (int round = 0; round < 5; ++round) {
        split.setSwapped(false);
        split.setSwapped(true);
    }
    EXPECT_EQ(widthOf(right), 150) << "five round trips";
    split.setSwapped(false);
    EXPECT_EQ(widthOf(left), 150);

    split.setOrientation(Split::Stacked);
    EXPECT_EQ(heightOf(left), 200);
    EXPECT_EQ(widthOf(left), 600);
    split.setSwapped(true);
    split.setSwapped(false);
    EXPECT_EQ(heightOf(left), 200) << "stacked, a round trip";

    Static other1, other2;
    split.setPanes(&other1, &other2);
    EXPECT_FALSE(split.isSwapped()) << "new panes start in their order";
    EXPECT_EQ(left.getHandle(), nullptr) << "the old panes' windows are destroyed";
}

TEST_F(SplitTest, DraggingTheBarMovesThePanesWithinTheirMargins)
{
    drag(201, 251);
    EXPECT_EQ(widthOf(left), 250);
    EXPECT_EQ(leftOf(right), 252);
    EXPECT_NE(GetCapture(), split.getHandle()) << "released";
    drag(251, 5);
    EXPECT_EQ(widthOf(left), 30);
    drag(31, 1000);
    EXPECT_EQ(widthOf(right), 30);

    split.setSize(600, 400);
    split.sendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(31, 100));
    split.setSize(20, 400);
    split.sendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(15, 100));
    split.sendMessage(WM_LBUTTONUP, 0, MAKELPARAM(15, 100));
    EXPECT_EQ(widthOf(left), 30) << "a drag in a shrunken window: the first pane keeps its least size";
    EXPECT_EQ(widthOf(right), 0) << "and no room is left for the second";
}

TEST_F(SplitTest, GhostDragMovesThePanesOnlyWhenReleased)
{
    split.controller().ghostDrag = true;
    split.sendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(201, 100));
    split.sendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(301, 100));
    EXPECT_EQ(widthOf(left), 200) << "only the inverted bar follows";
    split.sendMessage(WM_LBUTTONUP, 0, MAKELPARAM(301, 100));
    EXPECT_EQ(widthOf(left), 300);

    drag(301, 401, WM_RBUTTONDOWN);
    split.sendMessage(WM_LBUTTONUP, 0, MAKELPARAM(401, 100));
    EXPECT_EQ(widthOf(left), 300) << "a right click cancels";

    split.sendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(301, 100));
    SetCapture(window.getHandle());
    EXPECT_FALSE(split.controller().dragging) << "another window taking the capture ends the drag";
    EXPECT_EQ(GetCapture(), window.getHandle()) << "and keeps its capture";
    ReleaseCapture();
}
