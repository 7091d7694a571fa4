#include <gtest/gtest.h>
#include "foundation/wstringArray.h"
#include "imaging/gdipImageIO.h"
#include "jobs/CommandLineBatch.h"
#include "jobs/LogMessages.h"
#include "settings/AppServices.h"
#include "settings/AppSetting.h"
#include "settings/OutputFormat.h"
#include "support/GlobalApplication.h"
#include "support/LentSettings.h"
#include "support/WicTesting.h"

namespace {

class CommandLineBatchTest : public WicTest {
protected:
    void SetUp() override
    {
        WicTest::SetUp();
        loadLogMessages(GetModuleHandleW(nullptr));
    }

    GlobalApplication application;
    ScratchFolder folder{L"korvilane-batch"};
    // The application's record, lent for the whole test: the defaults.
    LentSettings applicationSettings;
};

} // namespace

TEST_F(CommandLineBatchTest, TheRecordGivenToTheBatchDecidesEveryStep)
{
    std::wstring source = folder.file(L"a.png");
    BitmapPtr picture(makeQuarters(40, 30));
    ASSERT_TRUE(gdipSaveToFile(source.c_str(), L"image/png", picture.get(), nullptr));
    // The batch's own record (the defaults) asks for 8-bit BMP files; the save reads the depth, the batch the
    // format.
    AppSetting batchSetting;
    batchSetting.setSectionsAndPath(folder.file(L"korvilane.xml").c_str());
    batchSetting.load(L"korvilane", nullptr, GetModuleHandleW(nullptr));
    batchSetting.editFormat = OutputFormat::Bitmap;
    batchSetting.bitmapEnable = true;
    batchSetting.bitmapBpp = 1;
    wstringArray sources;
    sources.add(source.c_str());
    wstringArray targets;
    targets.add(folder.file(L"a.bmp").c_str());

    CommandLineBatch batch(batchSetting, nullptr, nullptr);
    ASSERT_EQ(batch.run(sources, targets, CommandLineBatchOptions()), CommandLineBatch::AllWritten);

    BitmapPtr written(Gdiplus::Bitmap::FromFile(folder.file(L"a.bmp").c_str()));
    ASSERT_EQ(written->GetLastStatus(), Gdiplus::Ok);
    EXPECT_EQ(written->GetPixelFormat(), PixelFormat8bppIndexed);
    // Afterwards the application's record is the lent one again.
    EXPECT_EQ(&getAppSetting(), &applicationSettings.setting);
}
