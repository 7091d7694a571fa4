#include "pages/FilterPage.h"
#include "pages/renamePageIds.h"
#include "settings/AppSetting.h"

namespace {

// The radio buttons in the order of the sorting kinds 0 to 4.
constexpr int kindButtons[] = {IDC_FILTER_BY_FOLDER, IDC_FILTER_BY_YEAR, IDC_FILTER_BY_MONTH, IDC_FILTER_BY_DAY,
                               IDC_FILTER_BY_NAME};
constexpr int ByName = 4;

} // namespace

FilterPage::FilterPage() : SettingPage(IDC_FILTER_ENABLE)
{
}

void FilterPage::bindControls()
{
    bind(enable, IDC_FILTER_ENABLE);
    bind(byFolder, IDC_FILTER_BY_FOLDER);
    bind(byYear, IDC_FILTER_BY_YEAR);
    bind(byMonth, IDC_FILTER_BY_MONTH);
    bind(byDay, IDC_FILTER_BY_DAY);
    bind(byName, IDC_FILTER_BY_NAME);
    bind(lengthLabel, IDC_FILTER_LENGTH_LABEL);
    bind(length, IDC_FILTER_LENGTH);
}

void FilterPage::fill(const AppSetting& setting)
{
    enable.setCheck(setting.filterEnable);
    for (int kind = 0; kind <= ByName; ++kind)
        setChecked(kindButtons[kind], kind == setting.filterType);
    setNumber(length, 1, 260, setting.filterNameLength);
}

void FilterPage::apply(AppSetting& setting)
{
    setting.filterEnable = enable.getCheck();
    for (int kind = 0; kind <= ByName; ++kind) {
        if (isChecked(kindButtons[kind])) {
            setting.filterType = kind;
            break;
        }
    }
    setting.filterNameLength = length.getInt();
}

void FilterPage::command(int id, int code)
{
    if (code != BN_CLICKED)
        return;
    bool on = enable.getCheck();
    if (id == IDC_FILTER_ENABLE)
        enableItems({IDC_FILTER_BY_FOLDER, IDC_FILTER_BY_YEAR, IDC_FILTER_BY_MONTH, IDC_FILTER_BY_DAY,
                     IDC_FILTER_BY_NAME},
                    on);
    else if (id < IDC_FILTER_BY_FOLDER || id > IDC_FILTER_BY_NAME)
        return;
    // Only names have a length to sort by.
    enableItems({IDC_FILTER_LENGTH_LABEL, IDC_FILTER_LENGTH}, on && byName.getCheck());
    setChanged();
}
