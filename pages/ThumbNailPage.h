#pragma once
#include "pages/SettingPage.h"
#include "toolkit/Button.h"
#include "toolkit/ComboBox.h"
#include "toolkit/Edit.h"
#include "toolkit/NumericEdit.h"
#include "toolkit/Static.h"

// The environment sheet's page of what the thumbnail job makes: the kind of sheet, its title and text
// encoding, the number of columns (for the kinds laid out in a grid), the thumbnail size, the thumbnail
// pictures written beside the sheet and their names, and whether the result is opened.
class ThumbNailPage : public SettingPage {
public:
    ThumbNailPage();

protected:
    void bindControls() override;
    void fill(const AppSetting& setting) override;
    void settle() override;
    void apply(AppSetting& setting) override;
    void command(int id, int code) override;

private:
    Static kindLabel;
    ComboBox kind;
    Static titleLabel;
    Edit title;
    Static charsetLabel;
    ComboBox charset;
    Static columnsLabel;
    NumericEdit columns;
    ComboBox size;
    Button makeImages;
    Static folderLabel;
    Edit folder;
    Static fileLabel;
    Edit file;
    Static serialLabel;
    Button overwrite;
    Button openFile;
};
