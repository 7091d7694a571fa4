#include "pages/QualityFormatPage.h"
#include "pages/formatPageIds.h"
#include "settings/AppSetting.h"

QualityFormatPage::QualityFormatPage(int lastBoxId, bool lastBoxMeansLossless)
    : SettingPage(IDC_FORMAT_ENABLE), lastBoxId(lastBoxId), lastBoxMeansLossless(lastBoxMeansLossless)
{
}

void QualityFormatPage::exchange(PageExchange& x, AppSetting& setting)
{
    Options options = optionsIn(setting);
    x.check(IDC_FORMAT_ENABLE, options.enable);
    x.radio({IDC_QUALITY_ASSIGN, IDC_SIZE_ASSIGN}, options.assign);
    if (x.isFilling()) {
        HWND quality = getDlgItem(IDC_QUALITY);
        SendMessageW(quality, TBM_SETBUDDY, TRUE, reinterpret_cast<LPARAM>(getDlgItem(IDC_QUALITY_LABEL)));
        SendMessageW(quality, TBM_SETBUDDY, FALSE, reinterpret_cast<LPARAM>(getDlgItem(IDC_QUALITY_VALUE)));
    }
    x.slider(IDC_QUALITY, options.quality);
    if (x.isFilling())
        showQuality();
    x.number(IDC_FILE_SIZE, options.fileSize, 1, 999);
    x.check(lastBoxId, options.lastBox);
}

void QualityFormatPage::onChanged(int id)
{
    if (id == IDC_QUALITY)
        showQuality();
}

void QualityFormatPage::showQuality()
{
    wstring text;
    text.setInt(static_cast<int>(SendMessageW(getDlgItem(IDC_QUALITY), TBM_GETPOS, 0, 0)));
    SetDlgItemTextW(liveHandle(), IDC_QUALITY_VALUE, text.buffer());
}

void QualityFormatPage::updateEnabledStates()
{
    bool on = isChecked(IDC_FORMAT_ENABLE);
    bool bySize = isChecked(IDC_SIZE_ASSIGN);
    bool lossless = lastBoxMeansLossless && isChecked(lastBoxId);
    enableItems({lastBoxId}, on);
    enableItems({IDC_QUALITY_ASSIGN, IDC_SIZE_ASSIGN}, on && !lossless);
    enableItems({IDC_QUALITY, IDC_QUALITY_LABEL, IDC_QUALITY_VALUE}, on && !bySize && !lossless);
    enableItems({IDC_FILE_SIZE_LABEL, IDC_FILE_SIZE, IDC_FILE_SIZE_UNIT}, on && bySize && !lossless);
}

void QualityFormatPage::command(int, int code)
{
    // Every button of the page plays a part in the rules.
    if (code == BN_CLICKED)
        updateEnabledStates();
}

// ---- JPEG ----

JpegFormatPage::JpegFormatPage() : QualityFormatPage(IDC_JPEG_EXIF, false)
{
}

QualityFormatPage::Options JpegFormatPage::optionsIn(AppSetting& setting) const
{
    return {setting.jpegEnable, setting.jpegAssign, setting.jpegQuality, setting.jpegAssignFileSize,
            setting.jpegExif};
}

// ---- HD Photo ----

HdpFormatPage::HdpFormatPage() : QualityFormatPage(IDC_HDP_LOSSLESS, true)
{
}

QualityFormatPage::Options HdpFormatPage::optionsIn(AppSetting& setting) const
{
    return {setting.hdpEnable, setting.hdpAssign, setting.hdpQuality, setting.hdpAssignFileSize,
            setting.hdpLossless};
}
