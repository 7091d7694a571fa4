#include <gtest/gtest.h>
#include <algorithm>
#include <cmath>
#include <vector>
#include "screensaver/PictureInfo.h"

TEST(PlayListTest, EveryPassShowsEachPictureOnce)
{
    ResPlayList list(3);
    for (int pass = 0; pass < 100; ++pass) {
        std::vector<int> shown{list.next(), list.next(), list.next()};
        std::sort(shown.begin(), shown.end());
        ASSERT_EQ(shown, (std::vector<int>{1, 2, 3})) << pass;
    }
    EXPECT_EQ(ResPlayList(0).next(), 0);
}

TEST(PlayListTest, TheCountIsADecimalNumberAndAnythingElseCountsAsNone)
{
    EXPECT_EQ(pictureCountFrom(L"51"), 51);
    EXPECT_EQ(pictureCountFrom(L"  7 \t"), 7);
    for (const wchar_t* none : {L"0", L"", L" ", L"many", L"12 pictures", L"-4", L"99999999999"})
        EXPECT_EQ(pictureCountFrom(none), 0) << none;
}

TEST(PlayListTest, PicturesDriftAtMostThreePixelsATickSlowerInThePreviewAndAwayFromANearSide)
{
    PictureInfo info(nullptr);
    for (int i = 0; i < 300; ++i) {
        info.place(SIZE{1024, 768}, SIZE{400, 300}, 1.0);
        ASSERT_TRUE(info.velocityX != 0 || info.velocityY != 0);
        ASSERT_LE(std::fabs(info.velocityX), 3);
        ASSERT_TRUE(info.startX >= 0 && info.startX <= 1024 - 400) << info.startX;
        info.place(SIZE{152, 112}, SIZE{58, 44}, 0.25);
        ASSERT_LE(std::fabs(info.velocityY), 0.75);
    }
    // 1000 wide, pictures of 200: within 250 of a side and moving towards it turns round.
    EXPECT_EQ(turnTowardsMiddle(10, 200, 1000, -2), 2);
    EXPECT_EQ(turnTowardsMiddle(790, 200, 1000, 3), -3);
    EXPECT_EQ(turnTowardsMiddle(790, 200, 1000, -3), -3);
    EXPECT_EQ(turnTowardsMiddle(400, 200, 1000, -1), -1);
}
