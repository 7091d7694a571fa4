#include <gtest/gtest.h>
#include <climits>
#include <vector>
#include "imaging/QualitySearch.h"
#include "support/WicTesting.h"

namespace {

// An encoder whose output shrinks as the quality falls, recording the qualities it is asked for.
struct FakeEncoder {
    ULONGLONG operator()(int quality)
    {
        probes.push_back(quality);
        return base + perStep * static_cast<ULONGLONG>(quality);
    }
    ULONGLONG sizeAt(int quality) const { return base + perStep * static_cast<ULONGLONG>(quality); }

    ULONGLONG base = 10000;
    ULONGLONG perStep = 100;
    std::vector<int> probes;
};

int search(FakeEncoder& encoder, ULONGLONG target, ICanceller* canceller = nullptr)
{
    return findQualityForSize(target, [&](int quality) { return encoder(quality); }, canceller);
}

} // namespace

TEST(QualitySearch, NarrowsUpwardsAndDownwardsInThirteenTwentyFirsts)
{
    FakeEncoder up;
    EXPECT_EQ(search(up, ULLONG_MAX), 100);
    EXPECT_EQ(up.probes, (std::vector<int>{62, 85, 94, 97, 98, 99, 100}));

    FakeEncoder down;
    EXPECT_EQ(search(down, 1), 1);
    EXPECT_EQ(down.probes, (std::vector<int>{62, 25, 11, 5, 3, 2, 1}));
}

TEST(QualitySearch, ReturnsTheNearerOfTheTwoBracketingQualities)
{
    FakeEncoder encoder;
    // A probe that hits the target ends the search at once.
    EXPECT_EQ(search(encoder, encoder.sizeAt(62)), 62);
    EXPECT_EQ(encoder.probes, std::vector<int>{62});
    encoder.probes.clear();
    EXPECT_EQ(search(encoder, encoder.sizeAt(85)), 85);
    EXPECT_EQ(encoder.probes, (std::vector<int>{62, 85}));

    // Between 40 and 41 the search brackets them and the nearer wins; the exact middle goes to the lower.
    EXPECT_EQ(search(encoder, encoder.sizeAt(40) + 70), 41);
    EXPECT_EQ(search(encoder, encoder.sizeAt(40) + 30), 40);
    EXPECT_EQ(search(encoder, encoder.sizeAt(40) + 50), 40);

    // Below every size the lowest quality is measured; quality 2 wins only when nearer.
    EXPECT_EQ(search(encoder, encoder.sizeAt(1) - 500), 1);
    EXPECT_EQ(search(encoder, encoder.sizeAt(2) - 10), 2);
    // Just above the top the highest quality is nearer than its neighbour, however the sizes compare.
    EXPECT_EQ(search(encoder, encoder.sizeAt(100) + 1), 100);
}

TEST(QualitySearch, AnEncoderThatIgnoresTheQualityGivesTheEdges)
{
    // Every quality encodes to the same size: the distances tie and the lower quality wins.
    auto flat = [](int) -> ULONGLONG { return 5000; };
    EXPECT_EQ(findQualityForSize(6000, flat, nullptr), 99);
    EXPECT_EQ(findQualityForSize(4000, flat, nullptr), 1);
}

TEST(QualitySearch, CancellingOrAFailedEncodingGivesZero)
{
    FakeEncoder encoder;
    TestCanceller canceller;
    canceller.cancel = true;
    EXPECT_EQ(search(encoder, encoder.sizeAt(50), &canceller), 0);
    EXPECT_EQ(encoder.probes.size(), 1u);

    auto failing = [](int) -> ULONGLONG { return 0; };
    EXPECT_EQ(findQualityForSize(1000, failing, nullptr), 0);
    // A failure of the closing measurement counts too.
    auto failingAtTheTop = [](int quality) -> ULONGLONG { return quality == 100 ? 0 : 10; };
    EXPECT_EQ(findQualityForSize(1000, failingAtTheTop, nullptr), 0);
}
