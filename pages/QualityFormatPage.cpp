#include "pages/QualityFormatPage.h"
#include "pages/formatPageIds.h"
#include "settings/AppSetting.h"

namespace {

enum Assign { ByQuality = 0, BySize = 1 };

} // namespace

QualityFormatPage::QualityFormatPage(int lastBoxId, bool lastBoxMeansLossless)
    : SettingPage(IDC_FORMAT_ENABLE), lastBoxId(lastBoxId), lastBoxMeansLossless(lastBoxMeansLossless)
{
}

void QualityFormatPage::bindControls()
{
    bind(enable, IDC_FORMAT_ENABLE);
    bind(qualityAssign, IDC_QUALITY_ASSIGN);
    bind(sizeAssign, IDC_SIZE_ASSIGN);
    bind(quality, IDC_QUALITY);
    bind(qualityLabel, IDC_QUALITY_LABEL);
    bind(qualityValue, IDC_QUALITY_VALUE);
    bind(fileSizeLabel, IDC_FILE_SIZE_LABEL);
    bind(fileSize, IDC_FILE_SIZE);
    bind(fileSizeUnit, IDC_FILE_SIZE_UNIT);
    bind(lastBox, lastBoxId);
}

void QualityFormatPage::fill(const AppSetting& setting)
{
    Options options = read(setting);
    enable.setCheck(options.enable);
    (options.assign == BySize ? sizeAssign : qualityAssign).setCheck(true);
    quality.setBuddy(qualityLabel.getHandle(), true);
    quality.setBuddy(qualityValue.getHandle(), false);
    quality.setRange();
    quality.setPageSize();
    quality.setPos(options.quality);
    showQuality();
    setNumber(fileSize, 1, 999, options.fileSize);
    lastBox.setCheck(options.lastBox);
}

void QualityFormatPage::apply(AppSetting& setting)
{
    Options options;
    options.enable = enable.getCheck();
    options.assign = sizeAssign.getCheck() ? BySize : ByQuality;
    options.quality = quality.getPos();
    options.fileSize = wholeNumber(fileSize);
    options.lastBox = lastBox.getCheck();
    write(setting, options);
}

bool QualityFormatPage::onScroll(int bar, UINT, HWND control)
{
    if (bar != SB_HORZ || !control || control != quality.getHandle())
        return false;
    showQuality();
    setChanged();
    return true;
}

void QualityFormatPage::showQuality()
{
    wstring text;
    text.setInt(quality.getPos());
    qualityValue.setText(text);
}

void QualityFormatPage::updateEnabledStates()
{
    bool on = enable.getCheck();
    bool bySize = sizeAssign.getCheck();
    bool lossless = lastBoxMeansLossless && lastBox.getCheck();
    enableItems({lastBoxId}, on);
    enableItems({IDC_QUALITY_ASSIGN, IDC_SIZE_ASSIGN}, on && !lossless);
    enableItems({IDC_QUALITY, IDC_QUALITY_LABEL, IDC_QUALITY_VALUE}, on && !bySize && !lossless);
    enableItems({IDC_FILE_SIZE_LABEL, IDC_FILE_SIZE, IDC_FILE_SIZE_UNIT}, on && bySize && !lossless);
}

void QualityFormatPage::command(int id, int code)
{
    if (id == IDC_FILE_SIZE) {
        if (code == EN_CHANGE)
            setChanged();
        return;
    }
    if (code != BN_CLICKED)
        return;
    if (id == lastBoxId && !lastBoxMeansLossless) {
        setChanged();
        return;
    }
    if (id != IDC_FORMAT_ENABLE && id != IDC_QUALITY_ASSIGN && id != IDC_SIZE_ASSIGN && id != lastBoxId)
        return;
    updateEnabledStates();
    setChanged();
}

// ---- JPEG ----

JpegFormatPage::JpegFormatPage() : QualityFormatPage(IDC_JPEG_EXIF, false)
{
}

QualityFormatPage::Options JpegFormatPage::read(const AppSetting& setting) const
{
    return {setting.jpegEnable, setting.jpegAssign, setting.jpegQuality, setting.jpegAssignFileSize,
            setting.jpegExif};
}

void JpegFormatPage::write(AppSetting& setting, const Options& options) const
{
    setting.jpegEnable = options.enable;
    setting.jpegAssign = options.assign;
    setting.jpegQuality = options.quality;
    setting.jpegAssignFileSize = options.fileSize;
    setting.jpegExif = options.lastBox;
}

// ---- HD Photo ----

HdpFormatPage::HdpFormatPage() : QualityFormatPage(IDC_HDP_LOSSLESS, true)
{
}

QualityFormatPage::Options HdpFormatPage::read(const AppSetting& setting) const
{
    return {setting.hdpEnable, setting.hdpAssign, setting.hdpQuality, setting.hdpAssignFileSize,
            setting.hdpLossless};
}

void HdpFormatPage::write(AppSetting& setting, const Options& options) const
{
    setting.hdpEnable = options.enable;
    setting.hdpAssign = options.assign;
    setting.hdpQuality = options.quality;
    setting.hdpAssignFileSize = options.fileSize;
    setting.hdpLossless = options.lastBox;
}
