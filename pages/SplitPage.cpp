#include "pages/SplitPage.h"
#include "pages/environmentPageIds.h"
#include "settings/AppSetting.h"

SplitPage::SplitPage() : SettingPage(0)
{
}

void SplitPage::bindControls()
{
    bind(tileWidth, IDC_SPLIT_WIDTH);
    bind(tileHeight, IDC_SPLIT_HEIGHT);
    bind(joinHorizontal, IDC_JOIN_HORIZONTAL);
    bind(joinVertical, IDC_JOIN_VERTICAL);
    bind(splitSwatch, IDC_SPLIT_SWATCH);
    bind(joinSwatch, IDC_JOIN_SWATCH);
    bind(chooseSplitColor, IDC_SPLIT_CHOOSE_COLOR);
    bind(chooseJoinColor, IDC_JOIN_CHOOSE_COLOR);
}

void SplitPage::fill(const AppSetting& setting)
{
    setNumber(tileWidth, 1, 9999, setting.fileSplitWidth);
    setNumber(tileHeight, 1, 9999, setting.fileSplitHeight);
    (setting.fileJoinVert ? joinVertical : joinHorizontal).setCheck(true);
    splitColor.reset(getHandle(), setting.fileSplitBackColor);
    joinColor.reset(getHandle(), setting.fileJoinBackColor);
}

void SplitPage::apply(AppSetting& setting)
{
    setting.fileSplitWidth = wholeNumber(tileWidth);
    setting.fileSplitHeight = wholeNumber(tileHeight);
    setting.fileJoinVert = joinVertical.getCheck();
    setting.fileSplitBackColor = splitColor.colour();
    setting.fileJoinBackColor = joinColor.colour();
}

void SplitPage::command(int id, int code)
{
    switch (id) {
    case IDC_SPLIT_CHOOSE_COLOR:
        // A confirmed colour marks the page changed itself; a cancelled one changes nothing.
        if (code == BN_CLICKED)
            chooseColor(splitColor);
        return;
    case IDC_JOIN_CHOOSE_COLOR:
        if (code == BN_CLICKED)
            chooseColor(joinColor);
        return;
    case IDC_SPLIT_WIDTH:
    case IDC_SPLIT_HEIGHT:
        if (code != EN_CHANGE)
            return;
        break;
    case IDC_JOIN_HORIZONTAL:
    case IDC_JOIN_VERTICAL:
        if (code != BN_CLICKED)
            return;
        break;
    default:
        return;
    }
    setChanged();
}

HBRUSH SplitPage::staticBrush(HWND control, HDC)
{
    if (control == splitSwatch.getHandle())
        return splitColor.brush();
    if (control == joinSwatch.getHandle())
        return joinColor.brush();
    return nullptr;
}

void SplitPage::releaseWindowResources()
{
    splitColor.release();
    joinColor.release();
}
