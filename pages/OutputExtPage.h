#pragma once
#include "pages/SettingPage.h"

// The rename sheet's page of the file extension that output files of each format get. The .hdp flavour of
// HD Photo has no field here: the page keeps its extension as it is.
class OutputExtPage : public SettingPage {
public:
    OutputExtPage();

protected:
    void exchange(PageExchange& x, AppSetting& setting) override;
    void command(int id, int code) override;

private:
    void resetToDefaults();
};
