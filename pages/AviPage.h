#pragma once
#include "pages/SettingPage.h"

// The environment sheet's page of animated GIFs (the delay between frames and the transparent colour) and
// of AVI videos (the frame rate).
class AviPage : public SettingPage {
public:
    AviPage();

protected:
    void exchange(PageExchange& x, AppSetting& setting) override;
    void command(int id, int code) override;
};
