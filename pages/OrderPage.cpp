#include "pages/OrderPage.h"
#include "conversion/Effect.h"
#include "pages/conversionPageIds.h"
#include "pages/conversionSheetStrings.h"
#include "settings/AppSetting.h"

namespace {

constexpr int StepCount = 6;

// Moves the default-button look from one button to another.
void setDefaultButtonLook(Button& button, bool isDefault)
{
    DWORD style = button.getStyle() & ~static_cast<DWORD>(BS_TYPEMASK);
    button.sendMessage(BM_SETSTYLE, style | (isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON), TRUE);
}

} // namespace

OrderPage::OrderPage() : SettingPage(0)
{
}

void OrderPage::loadStepNames(CollectionStringToString& nameOfWord, CollectionStringToString& wordOfName)
{
    wstringArray names;
    PageExchange::listItems(IDS_STEP_LABELS, names);
    for (int i = 0; i < names.count() && i < StepCount; ++i) {
        nameOfWord.set(effectSteps[i].word, names.at(i));
        wordOfName.set(names.at(i), effectSteps[i].word);
    }
}

void OrderPage::bindControls()
{
    bind(steps, IDC_ORDER_LIST);
    bind(up, IDC_ORDER_UP);
    bind(down, IDC_ORDER_DOWN);
    sheetOk.attach(GetDlgItem(GetParent(getHandle()), IDOK));
}

// The list is the only control; moves change the page whether or not the step could go.
void OrderPage::exchange(PageExchange& x, AppSetting& setting)
{
    x.button(IDC_ORDER_UP, [this] {
        move(-1);
        return true;
    });
    x.button(IDC_ORDER_DOWN, [this] {
        move(1);
        return true;
    });
    if (x.isFilling())
        listSteps();
    else
        storeSteps(setting);
}

void OrderPage::listSteps()
{
    CollectionStringToString nameOfWord, wordOfName;
    loadStepNames(nameOfWord, wordOfName);
    // The stored order where it names steps, each once, then the steps it leaves out in their usual order.
    CollectionStringToString keysInOrder;
    getEffectKeysInOrder(keysInOrder);
    for (int i = 0; i < keysInOrder.count(); ++i)
        steps.addString(nameOfWord.value(keysInOrder.keyAt(i)));
    updateMoveButtons();
}

void OrderPage::storeSteps(AppSetting& setting)
{
    CollectionStringToString nameOfWord, wordOfName;
    loadStepNames(nameOfWord, wordOfName);
    wstring* places[StepCount] = {&setting.orderFirst, &setting.orderSecond, &setting.orderThird,
                                  &setting.orderForth, &setting.orderFifth,  &setting.orderSixth};
    for (int i = 0; i < StepCount; ++i)
        *places[i] = wordOfName.value(steps.getString(i));
}

void OrderPage::updateMoveButtons()
{
    up.enable(true);
    down.enable(true);
    int selected = steps.getCurSel();
    if (selected <= 0)
        disableButton(up);
    if (selected < 0 || selected == steps.getCount() - 1)
        disableButton(down);
}

void OrderPage::disableButton(Button& button)
{
    if (GetFocus() == button.getHandle()) {
        setDefaultButtonLook(button, false);
        setDefaultButtonLook(sheetOk, true);
        sheetOk.setFocus();
        steps.setFocus();
    }
    button.enable(false);
}

void OrderPage::move(int by)
{
    int from = steps.getCurSel();
    int to = from + by;
    if (from >= 0 && to >= 0 && to < steps.getCount()) {
        wstring name = steps.getString(from);
        steps.deleteString(from);
        steps.insertString(to, name);
        steps.setCurSel(to);
        updateMoveButtons();
    }
}

void OrderPage::command(int id, int code)
{
    if (id == IDC_ORDER_LIST && code == LBN_SELCHANGE)
        updateMoveButtons();
}
