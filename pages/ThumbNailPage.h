#pragma once
#include "pages/SettingPage.h"

// The environment sheet's page of what the thumbnail job makes: the kind of sheet, its title and text
// encoding, the number of columns (for the kinds laid out in a grid), the thumbnail size, the thumbnail
// pictures written beside the sheet and their names, and whether the result is opened.
class ThumbNailPage : public SettingPage {
public:
    ThumbNailPage();

protected:
    void exchange(PageExchange& x, AppSetting& setting) override;
    void settle() override;
    void command(int id, int code) override;
};
