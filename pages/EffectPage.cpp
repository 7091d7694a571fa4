#include "pages/EffectPage.h"
#include <algorithm>
#include <memory>
#include "conversion/Effect.h"
#include "imaging/BitmapGeometry.h"
#include "imaging/GdipImage.h"
#include "imaging/pictureLoading.h"
#include "pages/conversionPageIds.h"
#include "pages/conversionSheetStrings.h"
#include "settings/AppSetting.h"
#include "toolkit/WaitCursor.h"

EffectPage::EffectPage(const wstring& samplePath) : SettingPage(IDC_ENABLE), samplePath(samplePath)
{
}

void EffectPage::bindControls()
{
    bind(preview, IDC_PREVIEW);
    bind(view, IDC_PREVIEW_VIEW);
}

void EffectPage::exchange(PageExchange& x, AppSetting& s)
{
    x.check(IDC_ENABLE, s.effectEnable);
    x.number(IDC_BRIGHT, s.effectBright, -255, 255);
    x.choice(IDC_FILTER, s.effectFilter, IDS_FILTERS);
    x.number(IDC_POSTERIZE, s.effectPosterization, 2, 256);
    x.check(IDC_PREVIEW, s.effectPreview);
    if (x.isFilling())
        loadSample(s.effectPreviewResize);
}

void EffectPage::loadSample(bool fitToView)
{
    sample.reset();
    if (samplePath.isEmpty())
        return;
    // The preview is a help, never a condition: whatever goes wrong with the sample (a file that cannot be
    // read, a picture too wide to keep a row when fitted, a view narrower than its scroll bar) leaves the page
    // without a preview, and the user's other settings usable.
    try {
        BitmapPtr loaded(loadBitmap(samplePath.buffer()));
        if (!loaded || !loaded->GetWidth() || !loaded->GetHeight())
            return;
        if (fitToView) {
            Rect client = view.getClientRect();
            int width = std::max(1, static_cast<int>(client.right - client.left) - GetSystemMetrics(SM_CXVSCROLL));
            auto height = static_cast<int>(
                std::max<LONGLONG>(1, static_cast<LONGLONG>(loaded->GetHeight()) * width / loaded->GetWidth()));
            loaded.reset(resizeBitmap(loaded.get(), width, height, Gdiplus::InterpolationModeDefault));
        }
        sample = std::move(loaded);
    } catch (const Exception&) {
    }
}

void EffectPage::updateEnabledStates()
{
    bool on = isChecked(IDC_ENABLE);
    enableItems({IDC_BRIGHT_LABEL, IDC_BRIGHT, IDC_POSTERIZE_LABEL, IDC_POSTERIZE, IDC_FILTER_LABEL, IDC_FILTER}, on);
    preview.enable(on && sample);
    view.enable(preview.isEnabled() && preview.getCheck());
}

void EffectPage::updatePreview()
{
    if (!sample || !preview.isEnabled() || !preview.getCheck()) {
        view.releaseImage();
        return;
    }
    WaitCursor wait;
    Gdiplus::Bitmap* filtered = sample->Clone(0, 0, static_cast<INT>(sample->GetWidth()),
                                              static_cast<INT>(sample->GetHeight()), PixelFormat32bppARGB);
    if (!filtered)
        throw Exception(ErrorCode::NoMemory);
    StepResult result = applyColorFilter(filtered, numberIn(IDC_BRIGHT).toIntRounded(), selectionOf(IDC_FILTER),
                                         numberIn(IDC_POSTERIZE).toIntRounded(), nullptr);
    BitmapPtr owned(filtered);
    if (result == StepFailed)
        throw Exception(ErrorCode::NoMemory);
    std::unique_ptr<GdipImage> shown(new GdipImage(owned.get()));
    view.setImage(shown.get());
    shown.release();
}

void EffectPage::command(int id, int code)
{
    if ((id == IDC_ENABLE || id == IDC_PREVIEW) && code == BN_CLICKED)
        updateEnabledStates();
}

void EffectPage::onChanged(int)
{
    updatePreview();
}
