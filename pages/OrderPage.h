#pragma once
#include "foundation/CollectionStringToString.h"
#include "pages/SettingPage.h"
#include "toolkit/Button.h"
#include "toolkit/ListBox.h"

// The conversion sheet's page of the order in which the six steps run: the steps by their names in a list,
// moved up and down by two buttons.
class OrderPage : public SettingPage {
public:
    OrderPage();

protected:
    void bindControls() override;
    void exchange(PageExchange& x, AppSetting& setting) override;
    void command(int id, int code) override;

private:
    // The name shown for each step's word (of the settings), and the reverse.
    static void loadStepNames(CollectionStringToString& nameOfWord, CollectionStringToString& wordOfName);
    void listSteps();
    void storeSteps(AppSetting& setting);
    void move(int by);
    void updateMoveButtons();
    // Disables the button; when it has the focus, the sheet's OK button becomes the default button and
    // the list takes the focus, so that the keyboard is never left on a dead button.
    void disableButton(Button& button);

    ListBox steps;
    Button up;
    Button down;
    Button sheetOk;
};
