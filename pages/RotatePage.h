#pragma once
#include "pages/SettingPage.h"

// The conversion sheet's page of rotation: a quarter, half or three-quarter turn, a free angle on a
// background colour, or a skew along both axes on a background colour of its own.
class RotatePage : public SettingPage {
public:
    RotatePage();

protected:
    void exchange(PageExchange& x, AppSetting& setting) override;
    void command(int id, int code) override;
};
