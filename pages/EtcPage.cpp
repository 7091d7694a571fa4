#include "pages/EtcPage.h"
#include <new>
#include "pages/environmentPageIds.h"
#include "pages/environmentSheetStrings.h"
#include "settings/AppSetting.h"
#include "settings/ProgramResources.h"
#include "toolkit/FileDropHandler.h"

namespace {

constexpr int TextLimit = 259;

// The page's switches beside the layout file.
constexpr struct {
    int id;
    bool AppSetting::*field;
} switches[] = {
    {IDC_ETC_OVERWRITE, &AppSetting::fileOverWrite},          {IDC_ETC_AUTO_RENAME, &AppSetting::fileAutoRename},
    {IDC_ETC_KEEP_FILE_TIME, &AppSetting::fileKeepFileTime},  {IDC_ETC_KEEP_DPI, &AppSetting::fileKeepDPI},
    {IDC_ETC_ENSURE_SETTING, &AppSetting::fileEnsureSetting}, {IDC_ETC_ENSURE_LOG, &AppSetting::fileEnsureLog},
    {IDC_ETC_DELETE_SOURCE, &AppSetting::fileDelSrc},         {IDC_ETC_OPEN_FOLDER, &AppSetting::fileOpenFolder},
};

} // namespace

EtcPage::EtcPage()
    : SettingPage(IDC_ETC_OPEN_LAYOUT), layoutDialog(nullptr, OFN_FILEMUSTEXIST | OFN_NOCHANGEDIR | OFN_HIDEREADONLY)
{
}

EtcPage::~EtcPage()
{
    releaseWindowResources();
}

void EtcPage::exchange(PageExchange& x, AppSetting& s)
{
    x.check(IDC_ETC_OPEN_LAYOUT, s.fileOpenLayout);
    if (x.isFilling())
        registerDropTarget();
    x.text(IDC_ETC_LAYOUT, s.fileLayout, TextLimit);
    x.button(IDC_ETC_CHOOSE_LAYOUT, [this] { return chooseLayoutFile(); });
    for (const auto& box : switches)
        x.check(box.id, s.*box.field);
    if (!x.isFilling())
        return;
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
    dropHandler = new (std::nothrow) FileDropHandler(getDlgItem(IDC_ETC_LAYOUT));
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

bool EtcPage::chooseLayoutFile()
{
    if (!layoutDialog.showOpen())
        return false;
    SetDlgItemTextW(liveHandle(), IDC_ETC_LAYOUT, layoutDialog.getPath(0));
    return true;
}

void EtcPage::command(int, int code)
{
    if (code != BN_CLICKED)
        return;
    enableItems({IDC_ETC_LAYOUT_LABEL, IDC_ETC_CHOOSE_LAYOUT, IDC_ETC_LAYOUT}, isChecked(IDC_ETC_OPEN_LAYOUT));
    // Renaming only matters when outputs are not overwritten; its tick stays for when it does.
    enableItems({IDC_ETC_AUTO_RENAME}, !isChecked(IDC_ETC_OVERWRITE));
}
