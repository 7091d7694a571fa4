#include <gtest/gtest.h>
#include <algorithm>
#include "PageTesting.h"
#include "imaging/IImage.h"
#include "pages/conversionPageIds.h"
#include "settings/AppSetting.h"
#include "support/PictureFolder.h"
#include "toolkit/PictureView.h"

namespace {

constexpr int EffectTab = 4;
constexpr int InvertColours = 10;

IImage* previewOf(HWND page)
{
    return reinterpret_cast<IImage*>(
        SendDlgItemMessageW(page, IDC_PREVIEW_VIEW, PictureView::GetImageMessage, 0, 0));
}

// The top-left pixel of the preview; CLR_INVALID without one.
COLORREF previewPixel(HWND page)
{
    // Kept from the view's own drawing of it meanwhile.
    PictureView::HeldImage held(GetDlgItem(page, IDC_PREVIEW_VIEW));
    IImage* shown = held.get();
    Dib pixel;
    if (!shown || !pixel.create(1, 1, 24, RGB(1, 2, 3)))
        return CLR_INVALID;
    shown->draw(pixel.getDC(), 0, 0, 1, 1, 0, 0, 1, 1);
    pixel.releaseDC();
    GdiFlush();
    const BYTE* bits = pixel.getBits();
    return RGB(bits[2], bits[1], bits[0]);
}

class EffectPageTest : public PageTest {
protected:
    EffectPageTest()
    {
        setting.effectEnable = true;
        setting.effectPreview = true;
        setting.effectPreviewResize = true;
        setting.effectPosterization = 256;
    }

    PictureFolder folder{L"korvilane-effect-page"};
};

} // namespace

TEST_F(EffectPageTest, ThePreviewShowsEveryChangeOfTheSampleFittedToTheView)
{
    std::wstring sample = folder.picture(L"stripes.bmp", 200, 100);
    COLORREF original = 0, darker = 0, inverted = 0, afterUntick = 0, afterTick = 0;
    int shownWidth = 0, shownHeight = 0, fittedWidth = 0;
    runConversionSheet(
        [&](WindowRobot& user) {
            HWND page = conversionPage(user, EffectTab);
            ASSERT_TRUE(isEnabled(page, IDC_PREVIEW));
            ASSERT_TRUE(previewOf(page));
            EXPECT_EQ(itemText(page, IDC_FILTER, InvertColours), L"色の反転") << "the label of the filter applied";
            shownWidth = previewOf(page)->width();
            shownHeight = previewOf(page)->height();
            // The view's width without scroll bars, less the width of one.
            HWND view = GetDlgItem(page, IDC_PREVIEW_VIEW);
            RECT client;
            GetClientRect(view, &client);
            bool barShown = GetWindowLongPtrW(view, GWL_STYLE) & WS_VSCROLL;
            fittedWidth = client.right + (barShown ? GetSystemMetrics(SM_CXVSCROLL) : 0) - GetSystemMetrics(SM_CXVSCROLL);
            original = previewPixel(page);
            typeNumber(user, page, IDC_BRIGHT, L"-100");
            darker = previewPixel(page);
            choose(page, IDC_FILTER, InvertColours);
            inverted = previewPixel(page);
            user.screenshot(GetParent(page), L"effect_page");
            click(page, IDC_PREVIEW);
            afterUntick = previewPixel(page);
            click(page, IDC_PREVIEW);
            afterTick = previewPixel(page);
            user.press(GetParent(page), IDOK);
        },
        sample);
    EXPECT_EQ(shownWidth, fittedWidth);
    EXPECT_EQ(shownHeight, fittedWidth / 2);
    auto darkened = [](int channel) { return std::max(0, channel - 100); };
    EXPECT_EQ(darker, RGB(darkened(GetRValue(original)), darkened(GetGValue(original)), darkened(GetBValue(original))));
    EXPECT_EQ(inverted, RGB(darkened(255 - GetRValue(original)), darkened(255 - GetGValue(original)),
                            darkened(255 - GetBValue(original))))
        << "the filter comes before the brightness";
    EXPECT_EQ(afterUntick, CLR_INVALID) << "no preview";
    EXPECT_EQ(afterTick, inverted) << "shown again at once";
}

TEST_F(EffectPageTest, ASampleThatCannotBeShownLeavesThePageUsableWithoutPreview)
{
    struct Case {
        std::wstring sample;
        bool previewed;
        int height;
    } cases[] = {
        {L"", false, 0},
        {folder.file(L"broken.bmp", 300), false, 0},
        // Fitted to the view, a row of a picture this wide would be less than a pixel high.
        {folder.picture(L"wide.bmp", 3000, 2), true, 1},
    };
    for (const Case& sample : cases) {
        bool previewEnabled = !sample.previewed;
        int height = -1;
        runConversionSheet(
            [&](WindowRobot& user) {
                HWND page = conversionPage(user, EffectTab);
                previewEnabled = isEnabled(page, IDC_PREVIEW);
                height = previewOf(page) ? previewOf(page)->height() : 0;
                typeNumber(user, page, IDC_POSTERIZE, L"8");
                user.press(GetParent(page), IDOK);
            },
            sample.sample);
        EXPECT_EQ(previewEnabled, sample.previewed) << sample.sample;
        EXPECT_EQ(height, sample.height) << sample.sample;
        EXPECT_EQ(setting.effectPosterization, 8) << "the sheet was applied";
        setting.effectPosterization = 256;
    }
}
