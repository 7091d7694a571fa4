#include "pages/FilterPage.h"
#include "pages/renamePageIds.h"
#include "settings/AppSetting.h"

FilterPage::FilterPage() : SettingPage(IDC_FILTER_ENABLE)
{
}

void FilterPage::exchange(PageExchange& x, AppSetting& s)
{
    x.check(IDC_FILTER_ENABLE, s.filterEnable);
    // A kind the page does not know ticks none; applying then keeps it.
    x.radio({IDC_FILTER_BY_FOLDER, IDC_FILTER_BY_YEAR, IDC_FILTER_BY_MONTH, IDC_FILTER_BY_DAY, IDC_FILTER_BY_NAME},
            s.filterType, -1);
    x.number(IDC_FILTER_LENGTH, s.filterNameLength, 1, 260);
}

void FilterPage::command(int, int code)
{
    if (code != BN_CLICKED)
        return;
    bool on = isChecked(IDC_FILTER_ENABLE);
    enableItems({IDC_FILTER_BY_FOLDER, IDC_FILTER_BY_YEAR, IDC_FILTER_BY_MONTH, IDC_FILTER_BY_DAY, IDC_FILTER_BY_NAME},
                on);
    // Only names have a length to sort by.
    enableItems({IDC_FILTER_LENGTH_LABEL, IDC_FILTER_LENGTH}, on && isChecked(IDC_FILTER_BY_NAME));
}
