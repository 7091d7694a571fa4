#include "pages/EtcPage.h"
#include <new>
#include "pages/environmentPageIds.h"
#include "settings/AppSetting.h"
#include "settings/ProgramResources.h"
#include "toolkit/FileDropHandler.h"

namespace {

constexpr int TextLimit = 259;

} // namespace

EtcPage::EtcPage()
    : SettingPage(IDC_ETC_OPEN_LAYOUT), layoutDialog(nullptr, OFN_FILEMUSTEXIST | OFN_NOCHANGEDIR | OFN_HIDEREADONLY)
{
}

EtcPage::~EtcPage()
{
    releaseWindowResources();
}

void EtcPage::bindControls()
{
    bind(openLayout, IDC_ETC_OPEN_LAYOUT);
    bind(layoutLabel, IDC_ETC_LAYOUT_LABEL);
    bind(chooseLayout, IDC_ETC_CHOOSE_LAYOUT);
    bind(layout, IDC_ETC_LAYOUT);
    bind(overwrite, IDC_ETC_OVERWRITE);
    bind(autoRename, IDC_ETC_AUTO_RENAME);
    bind(keepFileTime, IDC_ETC_KEEP_FILE_TIME);
    bind(keepDpi, IDC_ETC_KEEP_DPI);
    bind(ensureSetting, IDC_ETC_ENSURE_SETTING);
    bind(ensureLog, IDC_ETC_ENSURE_LOG);
    bind(deleteSource, IDC_ETC_DELETE_SOURCE);
    bind(openFolder, IDC_ETC_OPEN_FOLDER);
}

void EtcPage::fill(const AppSetting& setting)
{
    openLayout.setCheck(setting.fileOpenLayout);
    registerDropTarget();
    layout.limitText(TextLimit);
    layout.setText(setting.fileLayout);
    overwrite.setCheck(setting.fileOverWrite);
    autoRename.setCheck(setting.fileAutoRename);
    autoRename.enable(!overwrite.getCheck());
    keepFileTime.setCheck(setting.fileKeepFileTime);
    keepDpi.setCheck(setting.fileKeepDPI);
    ensureSetting.setCheck(setting.fileEnsureSetting);
    ensureLog.setCheck(setting.fileEnsureLog);
    deleteSource.setCheck(setting.fileDelSrc);
    openFolder.setCheck(setting.fileOpenFolder);
    layoutDialog.record.hwndOwner = getHandle();
    wstring filter;
    filter.loadString(programResourceModule(), IDS_LAYOUT_FILTER);
    layoutDialog.setFilter(filter.buffer());
}

// The whole page takes drops, so that the user sees where a file may not go; only the layout field accepts
// one. A page that cannot take drops does not open.
void EtcPage::registerDropTarget()
{
    releaseWindowResources();
    dropHandler = new (std::nothrow) FileDropHandler(layout.getHandle());
    if (!dropHandler)
        throwOutOfMemory();
    HRESULT result = dropHandler->registerFor(getHandle());
    if (FAILED(result)) {
        dropHandler->Release();
        dropHandler = nullptr;
        throw Exception(static_cast<int>(result));
    }
}

void EtcPage::releaseWindowResources()
{
    if (!dropHandler)
        return;
    dropHandler->revoke();
    dropHandler->Release();
    dropHandler = nullptr;
}

void EtcPage::apply(AppSetting& setting)
{
    setting.fileOpenLayout = openLayout.getCheck();
    setting.fileLayout = layout.getText();
    setting.fileOverWrite = overwrite.getCheck();
    setting.fileAutoRename = autoRename.getCheck();
    setting.fileKeepFileTime = keepFileTime.getCheck();
    setting.fileKeepDPI = keepDpi.getCheck();
    setting.fileEnsureSetting = ensureSetting.getCheck();
    setting.fileEnsureLog = ensureLog.getCheck();
    setting.fileDelSrc = deleteSource.getCheck();
    setting.fileOpenFolder = openFolder.getCheck();
}

void EtcPage::chooseLayoutFile()
{
    if (!layoutDialog.showOpen())
        return;
    layout.setText(layoutDialog.getPath(0));
    setChanged();
}

void EtcPage::command(int id, int code)
{
    switch (id) {
    case IDC_ETC_OPEN_LAYOUT:
        if (code != BN_CLICKED)
            return;
        enableItems({IDC_ETC_LAYOUT_LABEL, IDC_ETC_CHOOSE_LAYOUT, IDC_ETC_LAYOUT}, openLayout.getCheck());
        break;
    case IDC_ETC_LAYOUT:
        if (code != EN_CHANGE)
            return;
        break;
    case IDC_ETC_CHOOSE_LAYOUT:
        if (code == BN_CLICKED)
            chooseLayoutFile();
        return;
    case IDC_ETC_OVERWRITE:
        if (code != BN_CLICKED)
            return;
        // Renaming only matters when outputs are not overwritten; its tick stays for when it does.
        autoRename.enable(!overwrite.getCheck());
        break;
    case IDC_ETC_OPEN_FOLDER:
    case IDC_ETC_AUTO_RENAME:
    case IDC_ETC_KEEP_FILE_TIME:
    case IDC_ETC_ENSURE_SETTING:
    case IDC_ETC_ENSURE_LOG:
    case IDC_ETC_DELETE_SOURCE:
    case IDC_ETC_KEEP_DPI:
        if (code != BN_CLICKED)
            return;
        break;
    default:
        return;
    }
    setChanged();
}
