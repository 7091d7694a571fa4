#include <gtest/gtest.h>
#include <string>
#include "PageTesting.h"
#include "pages/FormatSheet.h"
#include "pages/formatPageIds.h"
#include "settings/AppSetting.h"

namespace {

constexpr wchar_t FormatSheetCaption[] = L"フォーマット設定";
enum Tab { JpegTab, GifTab, TiffTab, PngTab, HdpTab, BmpTab };
enum OutputFormat { Jpeg, Gif, Tiff, Png, Bmp, Wdp, Hdp };
enum Compression { Lzw, Ccitt3, Ccitt4, Rle, Uncompressed };

std::wstring textOf(HWND page, int id)
{
    wchar_t text[64] = L"";
    GetDlgItemTextW(page, id, text, 64);
    return text;
}

const std::initializer_list<int> qualityGroup{IDC_QUALITY_LABEL, IDC_QUALITY, IDC_QUALITY_VALUE};
const std::initializer_list<int> sizeGroup{IDC_FILE_SIZE_LABEL, IDC_FILE_SIZE, IDC_FILE_SIZE_UNIT};
const std::initializer_list<int> assignButtons{IDC_QUALITY_ASSIGN, IDC_SIZE_ASSIGN};

class FormatPagesTest : public PageTest {
protected:
    // The sheet for the output format while the script runs; it gets the sheet.
    void runSheet(int outputFormat, const std::function<void(WindowRobot&, HWND)>& script)
    {
        WindowRobot robot([&](WindowRobot& user) {
            HWND sheet = user.waitForWindow(WindowQuery::dialog(FormatSheetCaption));
            script(user, sheet);
            user.waitUntilGone(sheet);
        });
        openFormatSheet(nullptr, outputFormat);
        robot.finish();
    }
};

} // namespace

TEST_F(FormatPagesTest, TheSheetOpensAtThePageOfTheOutputFormat)
{
    using Opening = std::pair<int, int>;
    for (auto [format, tab] : {Opening{Bmp, BmpTab}, Opening{Wdp, HdpTab}, Opening{Hdp, HdpTab},
                               Opening{Png, PngTab}, Opening{7, JpegTab}}) {
        int shown = -1;
        runSheet(format, [&](WindowRobot& user, HWND sheet) {
            user.waitUntil([&] { return currentPage(sheet) != nullptr; }, L"a page");
            shown = PropSheet_HwndToIndex(sheet, currentPage(sheet));
            user.press(sheet, IDCANCEL);
        });
        EXPECT_EQ(shown, tab) << format;
    }
}

TEST_F(FormatPagesTest, JpegPageOffersTheQualityGroupOnceSwitchedOn)
{
    setting.jpegEnable = false;
    setting.jpegAssign = 0;
    setting.jpegQuality = 75;
    runSheet(Jpeg, [&](WindowRobot& user, HWND sheet) {
        HWND page = currentPage(sheet);
        user.waitForItem(page, IDC_QUALITY);
        EXPECT_EQ(textOf(page, IDC_QUALITY_VALUE), L"75");
        EXPECT_TRUE(enabledAre(page, assignButtons, false) && enabledAre(page, qualityGroup, false) &&
                    enabledAre(page, sizeGroup, false) && !isEnabled(page, IDC_JPEG_EXIF));
        click(page, IDC_FORMAT_ENABLE);
        EXPECT_TRUE(enabledAre(page, assignButtons, true) && enabledAre(page, qualityGroup, true) &&
                    enabledAre(page, sizeGroup, false) && isEnabled(page, IDC_JPEG_EXIF));
        slideTo(page, IDC_QUALITY, 100);
        EXPECT_EQ(textOf(page, IDC_QUALITY_VALUE), L"100");
        user.screenshot(sheet, L"format_jpeg");
        click(page, IDC_SIZE_ASSIGN);
        EXPECT_TRUE(enabledAre(page, qualityGroup, false) && enabledAre(page, sizeGroup, true));
        user.press(sheet, IDCANCEL);
    });
}

TEST_F(FormatPagesTest, HdPhotoLosslessSetsAsideTheChoiceOfQualityOrSize)
{
    setting.hdpEnable = true;
    setting.hdpAssign = 1;
    setting.hdpQuality = 40;
    setting.hdpAssignFileSize = 300;
    setting.hdpLossless = false;
    runSheet(Hdp, [&](WindowRobot& user, HWND sheet) {
        HWND page = currentPage(sheet);
        user.waitForItem(page, IDC_HDP_LOSSLESS);
        EXPECT_TRUE(isChecked(page, IDC_SIZE_ASSIGN));
        EXPECT_TRUE(enabledAre(page, qualityGroup, false) && enabledAre(page, sizeGroup, true));
        user.screenshot(sheet, L"format_hdphoto");
        click(page, IDC_HDP_LOSSLESS);
        EXPECT_TRUE(enabledAre(page, assignButtons, false) && enabledAre(page, qualityGroup, false) &&
                    enabledAre(page, sizeGroup, false));
        click(page, IDC_HDP_LOSSLESS);
        EXPECT_TRUE(enabledAre(page, assignButtons, true) && enabledAre(page, sizeGroup, true) &&
                    enabledAre(page, qualityGroup, false))
            << "the group the buttons chose comes back";
        click(page, IDC_HDP_LOSSLESS);
        click(page, IDC_FORMAT_ENABLE);
        EXPECT_FALSE(isEnabled(page, IDC_HDP_LOSSLESS));
        click(page, IDC_FORMAT_ENABLE);
        EXPECT_TRUE(enabledAre(page, assignButtons, false)) << "still lossless";
        user.press(sheet, IDOK);
    });
    EXPECT_TRUE(setting.hdpEnable && setting.hdpLossless);
    EXPECT_EQ(setting.hdpAssign, 1);
    EXPECT_EQ(setting.hdpQuality, 40);
    EXPECT_EQ(setting.hdpAssignFileSize, 300);
}

TEST_F(FormatPagesTest, TiffCompressionDecidesBetweenErrorDiffusionAndTransparency)
{
    setting.tiffEnable = true;
    setting.tiffCompression = Ccitt4;
    setting.tiffTransparent = true;
    setting.tiffAssignTransparentColor = false;
    const std::initializer_list<int> transparency{IDC_TIFF_TRANSPARENT, IDC_FORMAT_ASSIGN_COLOR, IDC_FORMAT_SWATCH,
                                                  IDC_FORMAT_CHOOSE_COLOR, IDC_TIFF_ALPHA_LABEL, IDC_TIFF_ALPHA};
    runSheet(Tiff, [&](WindowRobot& user, HWND sheet) {
        HWND page = currentPage(sheet);
        user.waitForItem(page, IDC_TIFF_ALPHA);
        ASSERT_EQ(itemCount(page, IDC_TIFF_COMPRESSION), 5);
        EXPECT_EQ(itemText(page, IDC_TIFF_COMPRESSION, 4), L"無圧縮");
        EXPECT_TRUE(isEnabled(page, IDC_ERROR_DIFFUSION) && enabledAre(page, transparency, false));
        choose(page, IDC_TIFF_COMPRESSION, Lzw);
        EXPECT_FALSE(isEnabled(page, IDC_ERROR_DIFFUSION));
        EXPECT_TRUE(enabledAre(page, {IDC_TIFF_TRANSPARENT, IDC_FORMAT_ASSIGN_COLOR, IDC_TIFF_ALPHA}, true));
        EXPECT_TRUE(enabledAre(page, {IDC_FORMAT_SWATCH, IDC_FORMAT_CHOOSE_COLOR}, false)) << "no colour chosen";
        user.screenshot(sheet, L"format_tiff");
        click(page, IDC_FORMAT_ASSIGN_COLOR);
        EXPECT_TRUE(enabledAre(page, {IDC_FORMAT_SWATCH, IDC_FORMAT_CHOOSE_COLOR}, true));
        click(page, IDC_TIFF_TRANSPARENT);
        EXPECT_TRUE(enabledAre(page, {IDC_FORMAT_ASSIGN_COLOR, IDC_FORMAT_SWATCH, IDC_TIFF_ALPHA}, false));
        click(page, IDC_FORMAT_ENABLE);
        EXPECT_TRUE(enabledAre(page, {IDC_TIFF_COMPRESSION_LABEL, IDC_TIFF_COMPRESSION, IDC_ERROR_DIFFUSION}, false));
        user.press(sheet, IDOK);
    });
    EXPECT_TRUE(setting.tiffAssignTransparentColor) << "disabled boxes are written too";
}

TEST_F(FormatPagesTest, GifAndPngColourChoicesFollowTheirBoxes)
{
    setting.gifEnable = false;
    setting.gifAssignTransparentColor = true;
    setting.pngEnable = true;
    setting.pngAssignTransparentColor = false;
    runSheet(Gif, [&](WindowRobot& user, HWND sheet) {
        HWND gif = currentPage(sheet);
        user.waitForItem(gif, IDC_FORMAT_CHOOSE_COLOR);
        EXPECT_TRUE(enabledAre(gif, {IDC_FORMAT_ASSIGN_COLOR, IDC_FORMAT_SWATCH, IDC_FORMAT_CHOOSE_COLOR}, false));
        click(gif, IDC_FORMAT_ENABLE);
        EXPECT_TRUE(enabledAre(gif, {IDC_FORMAT_ASSIGN_COLOR, IDC_FORMAT_SWATCH, IDC_FORMAT_CHOOSE_COLOR}, true));
        user.screenshot(sheet, L"format_gif");

        HWND png = showPage(user, sheet, PngTab);
        EXPECT_TRUE(enabledAre(png, {IDC_FORMAT_ASSIGN_COLOR, IDC_PNG_ALPHA_LABEL, IDC_PNG_ALPHA}, true));
        EXPECT_TRUE(enabledAre(png, {IDC_FORMAT_SWATCH, IDC_FORMAT_CHOOSE_COLOR}, false));
        user.screenshot(sheet, L"format_png");
        click(png, IDC_FORMAT_ASSIGN_COLOR);
        EXPECT_TRUE(enabledAre(png, {IDC_FORMAT_SWATCH, IDC_FORMAT_CHOOSE_COLOR}, true));
        click(png, IDC_FORMAT_ENABLE);
        EXPECT_TRUE(enabledAre(png, {IDC_FORMAT_ASSIGN_COLOR, IDC_FORMAT_SWATCH, IDC_PNG_ALPHA}, false));
        user.press(sheet, IDCANCEL);
    });
}

TEST_F(FormatPagesTest, BitmapDepthDecidesWhichPaletteListAndDiffusionApply)
{
    setting.bitmapEnable = true;
    setting.bitmapBpp = 0;
    const std::initializer_list<int> depths{IDC_BPP_24, IDC_BPP_8, IDC_BPP_4, IDC_BPP_1};
    runSheet(Bmp, [&](WindowRobot& user, HWND sheet) {
        HWND page = currentPage(sheet);
        user.waitForItem(page, IDC_PAL4);
        EXPECT_EQ(itemText(page, IDC_PAL8, 1), L"ハーフトーンパレット");
        EXPECT_EQ(itemText(page, IDC_PAL4, 1), L"システムパレット");
        EXPECT_TRUE(enabledAre(page, {IDC_PAL8, IDC_PAL4, IDC_ERROR_DIFFUSION}, false));
        click(page, IDC_BPP_8);
        EXPECT_TRUE(enabledAre(page, {IDC_PAL8, IDC_ERROR_DIFFUSION}, true) && !isEnabled(page, IDC_PAL4));
        user.screenshot(sheet, L"format_bitmap");
        click(page, IDC_BPP_4);
        EXPECT_TRUE(enabledAre(page, {IDC_PAL4, IDC_ERROR_DIFFUSION}, true) && !isEnabled(page, IDC_PAL8));
        click(page, IDC_FORMAT_ENABLE);
        EXPECT_TRUE(enabledAre(page, depths, false) &&
                    enabledAre(page, {IDC_PAL8, IDC_PAL4, IDC_ERROR_DIFFUSION}, false));
        user.press(sheet, IDCANCEL);
    });

    setting.bitmapBpp = 9;
    setting.bitmapEnable = true;
    runSheet(Bmp, [&](WindowRobot& user, HWND sheet) {
        HWND page = currentPage(sheet);
        user.waitForItem(page, IDC_PAL4);
        EXPECT_TRUE(enabledAre(page, depths, true));
        for (int id : depths)
            EXPECT_FALSE(isChecked(page, id)) << "an unknown depth ticks none";
        user.press(sheet, IDOK);
    });
    EXPECT_EQ(setting.bitmapBpp, 9) << "kept when no depth is ticked";
}
