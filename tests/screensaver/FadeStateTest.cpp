#include <gtest/gtest.h>
#include <vector>
#include "screensaver/FadeState.h"

namespace {

// The background's share on each tick of one picture, from the first after it was loaded until the next is due;
// each tick's drift must be one more than the last.
std::vector<int> onePicture(int holdLength)
{
    FadeState fade;
    std::vector<int> alphas;
    do {
        EXPECT_EQ(fade.advance(holdLength), static_cast<int>(alphas.size()) + 1) << "the picture jumped";
        alphas.push_back(fade.alpha);
    } while (!fade.needsPicture() && alphas.size() < 1000);
    return alphas;
}

} // namespace

TEST(FadeStateTest, APictureFadesInHoldsOneTickLongerThanTheHoldAndFadesOut)
{
    for (int holdLength : {0, 5}) {
        std::vector<int> alphas = onePicture(holdLength);
        ASSERT_EQ(alphas.size(), 63u + holdLength + 1 + 64);
        EXPECT_EQ(alphas[0], 252);
        EXPECT_EQ(alphas[1], 248);
        EXPECT_EQ(alphas[62], 4);
        for (int i = 63; i <= 63 + holdLength; ++i)
            EXPECT_EQ(alphas[i], 0) << i;
        EXPECT_EQ(alphas[64 + holdLength], 3);
        EXPECT_EQ(alphas[65 + holdLength], 7);
        EXPECT_EQ(alphas.back(), 255);
    }
    EXPECT_EQ(driftedPosition(100, 2.5, 1), 100) << "a picture starts where it was placed";
    EXPECT_EQ(driftedPosition(100, -3, 4), 91);
}

TEST(FadeStateTest, TheHoldGrowsWithTheScreenAndStaysPositiveOnTheWidestDesktops)
{
    EXPECT_EQ(holdLengthFor(1280, 1024), 40);
    EXPECT_EQ(holdLengthFor(1024, 768), 24);
    // Three 5K screens side by side: 40 times the diagonal's square passes what 32 bits hold.
    EXPECT_EQ(holdLengthFor(15360, 2880), 3635);
}
