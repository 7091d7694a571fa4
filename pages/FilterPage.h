#pragma once
#include "pages/SettingPage.h"
#include "toolkit/Button.h"
#include "toolkit/NumericEdit.h"
#include "toolkit/Static.h"

// The rename sheet's page of the sub-folders that output files are sorted into: by the source's folder, by
// the year, month or day of its last change, or by the first characters of the output's name.
class FilterPage : public SettingPage {
public:
    FilterPage();

protected:
    void bindControls() override;
    void fill(const AppSetting& setting) override;
    void apply(AppSetting& setting) override;
    void command(int id, int code) override;

private:
    Button enable;
    Button byFolder;
    Button byYear;
    Button byMonth;
    Button byDay;
    Button byName;
    Static lengthLabel;
    NumericEdit length;
};
