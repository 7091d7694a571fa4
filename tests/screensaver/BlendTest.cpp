#include <gtest/gtest.h>
#include <vector>
#include "screensaver/Blend.h"

namespace {

using Mixer = void (*)(const BYTE*, const BYTE*, BYTE*, int, int);

// Every picture byte p over every background byte b, at p * 256 + b; an odd length leaves a tail after the
// groups of eight. The byte after the run must stay.
void expectMixing(Mixer mixer, int (*expected)(int p, int b, int weight))
{
    std::vector<BYTE> picture(256 * 256 + 1, 7);
    std::vector<BYTE> background(256 * 256);
    for (int i = 0; i < 256 * 256; ++i) {
        picture[i] = static_cast<BYTE>(i / 256);
        background[i] = static_cast<BYTE>(i % 256);
    }
    for (int weight : {0, 1, 64, 128, 200, 254, 255}) {
        std::vector<BYTE> out = picture;
        mixer(out.data(), background.data(), out.data(), 256 * 256 - 3, weight);
        for (int i = 0; i < 256 * 256 - 3; ++i)
            ASSERT_EQ(out[i], expected(i / 256, i % 256, weight)) << i / 256 << " " << i % 256 << " " << weight;
        EXPECT_EQ(out[256 * 256 - 3], picture[256 * 256 - 3]);
    }
}

} // namespace

TEST(BlendTest, ThePlainFormDividesTheWeightedDifferenceBy255)
{
    expectMixing(Blend::mix, [](int p, int b, int weight) { return p + weight * (b - p) / 255; });
}

TEST(BlendTest, TheMmxFormFloorsTheWeightedDifferenceOver256)
{
    if (!Blend::processorHasMmx())
        GTEST_SKIP() << "no MMX";
    expectMixing(Blend::mixMmx, [](int p, int b, int weight) {
        int product = weight * (b - p);
        return p + (product >= 0 ? product / 256 : -((-product + 255) / 256));
    });
}
