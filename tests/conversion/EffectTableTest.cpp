#include <gtest/gtest.h>
#include <atomic>
#include <thread>
#include "conversion/EffectTable.h"
#include "foundation/GCPtrs.h"
#include "foundation/GarbageCollector.h"
#include "foundation/Mutex.h"
#include "settings/AppSetting.h"
#include "support/ExpectCode.h"
#include "support/ImagingTestSupport.h"

namespace {

using ImageConvert::ImageConverter;

// Counts its builds and takes its time over each, so that a second builder would be caught in the act.
class CountingTable : public EffectTable {
public:
    std::atomic<int> builds{0};

protected:
    void makePresets(const AppSetting& setting, GCPtrs& scope, ImageConverter* presets[LastPreset + 1]) override
    {
        ++builds;
        Sleep(50);
        EffectTable::makePresets(setting, scope, presets);
    }
};

// Fails its first build after every preset has been made.
class FailingOnceTable : public EffectTable {
public:
    ImageConverter* madeBeforeFailing[LastPreset + 1] = {};

protected:
    void makePresets(const AppSetting& setting, GCPtrs& scope, ImageConverter* presets[LastPreset + 1]) override
    {
        EffectTable::makePresets(setting, scope, presets);
        if (failed)
            return;
        failed = true;
        std::copy(presets, presets + LastPreset + 1, madeBeforeFailing);
        throw Exception(ErrorCode::NoMemory);
    }

private:
    bool failed = false;
};

class EffectTableTest : public GdiplusTest {
protected:
    void SetUp() override
    {
        GdiplusTest::SetUp();
        mutex.create(nullptr);
    }

    // The preset's result on a one-row picture of the pixels (ARGB), read back as ARGB.
    std::vector<UINT32> convert(const EffectTable& table, int preset, const std::vector<UINT32>& pixels)
    {
        BitmapPtr source(makeBitmap32(static_cast<int>(pixels.size()), 1, [&](int x, int) { return pixels[x]; }));
        BitmapPtr result(table.converter(preset)->convert(source.get(), nullptr));
        std::vector<UINT32> out;
        for (int x = 0; result && x < static_cast<int>(result->GetWidth()); ++x)
            out.push_back(pixelAt(result.get(), x, 0));
        return out;
    }

    AppSetting setting;
    GarbageCollector collector;
    Mutex mutex;
};

} // namespace

TEST_F(EffectTableTest, TwoThreadsAskingAtOnceBuildTheTableOnce)
{
    CountingTable table;
    ImageConverter* seen[2] = {};
    // Both threads get past the first look at the flag and queue on the mutex.
    ASSERT_TRUE(mutex.acquire());
    std::thread first([&] { table.build(setting, collector, mutex); seen[0] = table.converter(27); });
    std::thread second([&] { table.build(setting, collector, mutex); seen[1] = table.converter(27); });
    Sleep(100);
    mutex.release();
    first.join();
    second.join();
    EXPECT_EQ(table.builds, 1);
    EXPECT_TRUE(table.isBuilt());
    ASSERT_NE(seen[0], nullptr);
    EXPECT_EQ(seen[0], seen[1]);
}

TEST_F(EffectTableTest, PresetsBelongToTheCollectorAndOutliveTheTable)
{
    ImageConverter* presets[EffectTable::LastPreset + 1] = {};
    {
        EffectTable table;
        table.build(setting, collector, mutex);
        EXPECT_EQ(table.converter(0), nullptr);
        EXPECT_EQ(table.converter(35), nullptr);
        for (int i = 1; i <= EffectTable::LastPreset; ++i)
            presets[i] = table.converter(i);
        EXPECT_FALSE(table.setEffect(35, nullptr));
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    }
    // Each still registered with its one reference: the collector, not the table, ends them.
    for (int i = 1; i <= EffectTable::LastPreset; ++i) {
        ASSERT_NE(presets[i], nullptr) << i;
        EXPECT_EQ(collector.release(presets[i]), 1) << i;
    }
}

TEST_F(EffectTableTest, AClearedTableHoldsNoConverterAndBuildsAnew)
{
    CountingTable table;
    table.build(setting, collector, mutex);
    table.clear();
    // The collector may now end the converters: nothing of the table may lead to them.
    EXPECT_FALSE(table.isBuilt());
    EXPECT_EQ(table.converter(27), nullptr);
    table.build(setting, collector, mutex);
    EXPECT_EQ(table.builds, 2);
    EXPECT_NE(table.converter(27), nullptr);
}

TEST_F(EffectTableTest, AFailedBuildKeepsNothingAndReleasesTheMutex)
{
    FailingOnceTable table;
    expectCode(ERROR_NOT_ENOUGH_MEMORY, [&] { table.build(setting, collector, mutex); });
    EXPECT_FALSE(table.isBuilt());
    EXPECT_EQ(table.converter(27), nullptr);
    // What the failed build made has given its reference back.
    expectCode(ERROR_INVALID_PARAMETER, [&] { collector.release(table.madeBeforeFailing[27]); });
    DWORD waited = WAIT_FAILED;
    std::thread([&] {
        waited = WaitForSingleObject(mutex.handle(), 0);
        if (waited == WAIT_OBJECT_0)
            ReleaseMutex(mutex.handle());
    }).join();
    EXPECT_EQ(waited, static_cast<DWORD>(WAIT_OBJECT_0));

    table.build(setting, collector, mutex);
    EXPECT_TRUE(table.isBuilt());
    EXPECT_EQ(collector.release(table.converter(27)), 1);
}

TEST_F(EffectTableTest, PresetsCarryTheSettingsOfTheirBuild)
{
    setting.effectWarmLevel = 40;
    setting.effectCoolLevel = 30;
    setting.effectSaturation = Decimal(0.5);
    setting.effectEqualizeLevelS = Decimal(0);
    setting.effectPixelateSize = 1;
    setting.effectAlpha = 0x180;
    EffectTable table;
    table.build(setting, collector, mutex);
    // Later changes do not reach the built table.
    setting.effectWarmLevel = 0;

    const UINT32 grey = 0xFF646464; // (100, 100, 100)
    EXPECT_EQ(convert(table, 6, {grey}), std::vector<UINT32>{0xFF8C783C});  // warm: +40, +20, -40
    EXPECT_EQ(convert(table, 7, {grey}), std::vector<UINT32>{0xFF465582});  // cool: -30, -15, +30
    std::vector<UINT32> desaturated = convert(table, 9, {0xFFC80000});     // (200, 0, 0) at half saturation
    ASSERT_EQ(desaturated.size(), 1u);
    EXPECT_EQ(desaturated[0] & 0xFFFF0000, 0xFFC80000u);
    EXPECT_NEAR(static_cast<int>(desaturated[0] & 0xFF), 100, 1);
    EXPECT_EQ(convert(table, 26, {grey}), std::vector<UINT32>{0x80646464}); // the low byte of the alpha
    // A block size below 2 counts as 2.
    EXPECT_EQ(convert(table, 22, {0xFF000001, 0xFF000002, 0xFF000003}),
              (std::vector<UINT32>{0xFF000001, 0xFF000001, 0xFF000003}));
    // EqualizeLevelS 0 keeps the picture; the plain preset blends a quarter in.
    std::vector<UINT32> ramp{0xFF404040, 0xFF606060, 0xFF808080};
    EXPECT_EQ(convert(table, 13, ramp), ramp);
    EXPECT_NE(convert(table, 12, ramp), ramp);
}

TEST_F(EffectTableTest, RaisedSaturationKeepsGreysGreyAndStrengthensColours)
{
    setting.effectSaturation = Decimal(0.1618); // the program's default
    EffectTable table;
    table.build(setting, collector, mutex);
    // White, grey, black and greys with up to 2 levels of noise, enough of them for the four-pixel road.
    std::vector<UINT32> greys{0xFFFFFFFF, 0xFF1E1E1E, 0xFF000000};
    for (int i = 0; i < 64; ++i) {
        int level = i % 2 ? 30 : 200;
        auto noise = [&](int seed) { return level + static_cast<int>((i * 7 + seed) * 2654435761u >> 29) % 5 - 2; };
        greys.push_back(0xFF000000u | noise(1) << 16 | noise(2) << 8 | noise(3));
    }
    std::vector<UINT32> raised = convert(table, 8, greys);
    ASSERT_EQ(raised.size(), greys.size());
    for (size_t i = 0; i < greys.size(); ++i)
        EXPECT_LE(channelDistance(raised[i], greys[i]), 2) << std::hex << greys[i] << " became " << raised[i];
    // (200, 100, 100) has saturation 0.5, raised to 0.58; a full colour stays.
    EXPECT_EQ(convert(table, 8, {0xFFC86464, 0xFFFF0000}), (std::vector<UINT32>{0xFFC85353, 0xFFFF0000}));
}

TEST_F(EffectTableTest, FixedPresetsGiveTheirColours)
{
    EffectTable table;
    table.build(setting, collector, mutex);
    const UINT32 sample = 0xFF0A141E; // (10, 20, 30)
    EXPECT_EQ(convert(table, 27, {sample}), std::vector<UINT32>{0xFF0A0000});
    EXPECT_EQ(convert(table, 29, {sample}), std::vector<UINT32>{0xFF00001E});
    EXPECT_EQ(convert(table, 30, {sample}), std::vector<UINT32>{0xFF0A1E14});
    EXPECT_EQ(convert(table, 34, {sample}), std::vector<UINT32>{0xFF1E140A});
    EXPECT_EQ(convert(table, 25, {0x10203040}), std::vector<UINT32>{0xFF203040});
    // Grey (200, 100, 50) -> 124 by the weighted sum, inverted 131.
    EXPECT_EQ(convert(table, 4, {0xFFC86432}), std::vector<UINT32>{0xFF838383});
    // A flat picture embosses to black, lifted by 127.
    std::vector<UINT32> flat(9, 0xFF505050);
    EXPECT_EQ(convert(table, 16, flat), std::vector<UINT32>(9, 0xFF7F7F7F));
    EXPECT_EQ(convert(table, 1, {0xFF000001, 0xFF000002}), (std::vector<UINT32>{0xFF000002, 0xFF000001}));
}
