#pragma once
#include "pages/SettingPage.h"
#include "toolkit/Button.h"
#include "toolkit/Edit.h"

// The rename sheet's page of the file extension that output files of each format get. The .hdp flavour of
// HD Photo has no field here: the page keeps its extension as it is.
class OutputExtPage : public SettingPage {
public:
    OutputExtPage();

protected:
    void bindControls() override;
    void fill(const AppSetting& setting) override;
    void apply(AppSetting& setting) override;
    void command(int id, int code) override;

private:
    void resetToDefaults();

    Button enable;
    Button reset;
    Edit extensions[6];
};
