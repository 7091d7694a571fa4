#pragma once
#include "pages/SettingPage.h"

// The environment sheet's page of the split job (the tile size and the colour behind tiles that reach past
// the picture) and of the join job (the direction and the colour behind pictures of different sizes).
class SplitPage : public SettingPage {
public:
    SplitPage() : SettingPage(0) {}

protected:
    void exchange(PageExchange& x, AppSetting& setting) override;
};
