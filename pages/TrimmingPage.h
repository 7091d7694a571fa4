#pragma once
#include "pages/SettingPage.h"
#include "pages/UnitFields.h"

// The conversion sheet's page of trimming: margins cut off each picture, either given (in pixels or in
// percent of the picture's size) or found automatically from a background colour.
class TrimmingPage : public SettingPage {
public:
    TrimmingPage();

protected:
    void exchange(PageExchange& x, AppSetting& setting) override;
    void command(int id, int code) override;

private:
    UnitFields margins;
};
