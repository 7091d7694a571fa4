#include <gtest/gtest.h>
#include "conversion/Rgn.h"

TEST(Rgn, HoldsOneRegionAtATime)
{
    Rgn region;
    EXPECT_EQ(region.handle(), nullptr);
    ASSERT_TRUE(region.setRect(2, 3, 10, 8));
    RECT box;
    ASSERT_EQ(GetRgnBox(region.handle(), &box), SIMPLEREGION);
    EXPECT_EQ(box.left, 2);
    EXPECT_EQ(box.top, 3);
    EXPECT_EQ(box.right, 10);
    EXPECT_EQ(box.bottom, 8);
    EXPECT_TRUE(PtInRegion(region.handle(), 9, 7));
    EXPECT_FALSE(PtInRegion(region.handle(), 10, 7));

    HRGN first = region.handle();
    ASSERT_TRUE(region.setRoundRect(20, 16, 8, 8));
    EXPECT_EQ(GetObjectType(first), 0u);
    EXPECT_EQ(GetRgnBox(region.handle(), &box), COMPLEXREGION);
}

TEST(Rgn, ExclusiveOrShapesTheCorners)
{
    // What lies outside a rounded 20 x 16 picture: the four corners.
    Rgn outside;
    Rgn rounded;
    ASSERT_TRUE(outside.setRect(0, 0, 20, 16));
    ASSERT_TRUE(rounded.setRoundRect(21, 17, 8, 8));
    ASSERT_TRUE(outside.xorWith(rounded));
    struct Case {
        int x, y;
        bool inside;
    };
    for (Case c : {Case{0, 0, true}, Case{19, 0, true}, Case{0, 15, true}, Case{19, 15, true}, Case{10, 8, false},
                   Case{10, 0, false}, Case{0, 8, false}, Case{19, 8, false}, Case{10, 15, false},
                   Case{2, 2, false}, Case{25, 8, false}})
        EXPECT_EQ(PtInRegion(outside.handle(), c.x, c.y) != FALSE, c.inside) << c.x << "," << c.y;

    // Without two regions there is nothing to combine.
    Rgn empty;
    EXPECT_FALSE(outside.xorWith(empty));
    EXPECT_FALSE(empty.xorWith(outside));
    EXPECT_EQ(empty.handle(), nullptr);
}
