#pragma once
#include "pages/SettingPage.h"

// The rename sheet's page of the sub-folders that output files are sorted into: by the source's folder, by
// the year, month or day of its last change, or by the first characters of the output's name.
class FilterPage : public SettingPage {
public:
    FilterPage();

protected:
    void exchange(PageExchange& x, AppSetting& setting) override;
    void command(int id, int code) override;
};
