#include "pages/EffectPage.h"
#include <algorithm>
#include <memory>
#include "conversion/Effect.h"
#include "imaging/BitmapGeometry.h"
#include "imaging/GdipImage.h"
#include "imaging/pictureLoading.h"
#include "pages/conversionPageIds.h"
#include "settings/AppSetting.h"
#include "toolkit/WaitCursor.h"

EffectPage::EffectPage(const wstring& samplePath) : SettingPage(IDC_ENABLE), samplePath(samplePath)
{
}

void EffectPage::bindControls()
{
    bind(enable, IDC_ENABLE);
    bind(preview, IDC_PREVIEW);
    bind(bright, IDC_BRIGHT);
    bind(posterize, IDC_POSTERIZE);
    bind(filter, IDC_FILTER);
    bind(view, IDC_PREVIEW_VIEW);
}

void EffectPage::fill(const AppSetting& setting)
{
    enable.setCheck(setting.effectEnable);
    setNumber(bright, -255, 255, setting.effectBright);
    fillList(filter, IDS_FILTERS, setting.effectFilter);
    setNumber(posterize, 2, 256, setting.effectPosterization);
    preview.setCheck(setting.effectPreview);
    loadSample(setting.effectPreviewResize);
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

void EffectPage::apply(AppSetting& setting)
{
    setting.effectEnable = enable.getCheck();
    setting.effectBright = wholeNumber(bright);
    setting.effectPosterization = wholeNumber(posterize);
    setting.effectFilter = filter.getCurSel();
    setting.effectPreview = preview.getCheck();
}

void EffectPage::updateEnabledStates()
{
    bool on = enable.getCheck();
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
    StepResult result = applyColorFilter(filtered, wholeNumber(bright), filter.getCurSel(), wholeNumber(posterize),
                                         nullptr);
    BitmapPtr owned(filtered);
    if (result == StepFailed)
        throw Exception(ErrorCode::NoMemory);
    std::unique_ptr<GdipImage> shown(new GdipImage(owned.get()));
    view.setImage(shown.get());
    shown.release();
}

void EffectPage::command(int id, int code)
{
    switch (id) {
    case IDC_ENABLE:
    case IDC_PREVIEW:
        if (code != BN_CLICKED)
            return;
        updateEnabledStates();
        break;
    case IDC_BRIGHT:
    case IDC_POSTERIZE:
        if (code != EN_CHANGE)
            return;
        break;
    case IDC_FILTER:
        if (code != CBN_SELCHANGE)
            return;
        break;
    default:
        return;
    }
    setChanged();
    // A preview that fails keeps what it showed.
    updatePreview();
}
