#include <gtest/gtest.h>
#include <algorithm>
#include <vector>
#include "ToolkitTesting.h"
#include "foundation/ValueTestSupport.h"
#include "support/ExpectCode.h"
#include "toolkit/Edit.h"
#include "toolkit/NumericEdit.h"

namespace {

Decimal number(const wchar_t* text)
{
    Decimal value(0);
    value.parse(text);
    return value;
}

// A shown window with a numeric field and a plain edit to move the focus to; it keeps the codes the field
// sends.
class FieldWindow : public ParentWindow {
public:
    FieldWindow() { show(true); }
    void onCommand(HWND, int id, int code) override
    {
        if (id == 30)
            codes.push_back(code);
    }
    bool heardChange() const
    {
        return std::find(codes.begin(), codes.end(), NumericEdit::ChangedCode) != codes.end();
    }

    std::vector<int> codes;
};

class NumericEditTest : public testing::Test {
protected:
    void SetUp() override
    {
        NumericEdit::registerClass();
        field.create(window.getHandle(), 30, Rect(10, 10, 120, 24), 0, 0);
        other.create(window.getHandle(), 31, Rect(10, 50, 120, 24), 0, 0);
    }

    HWND inner() const { return field.getDlgItem(NumericEdit::EditId); }
    std::wstring shown() const
    {
        wchar_t text[64] = L"";
        GetWindowTextW(inner(), text, 64);
        return text;
    }
    // Types into the field as a user does and leaves it for the other edit.
    void typeAndLeave(const wchar_t* characters)
    {
        SetFocus(inner());
        SendMessageW(inner(), EM_SETSEL, 0, -1);
        for (const wchar_t* c = characters; *c; ++c)
            SendMessageW(inner(), WM_CHAR, *c, 1);
        SetFocus(other.getHandle());
    }
    void pressKey(WPARAM key) { SendMessageW(inner(), WM_KEYDOWN, key, 0); }

    FieldWindow window;
    NumericEdit field;
    Edit other;
};

} // namespace

TEST_F(NumericEditTest, TypedValuesAreBroughtIntoTheRangeWhenTheFieldIsLeft)
{
    field.setRange(Decimal(1), Decimal(100), 0);
    EXPECT_EQ(shown(), L"1") << "the initial 0 lies below the range";
    typeAndLeave(L"5000");
    EXPECT_EQ(shown(), L"100") << "three characters fit, and 500 is too much";
    EXPECT_TRUE(window.heardChange());
    typeAndLeave(L"abc");
    EXPECT_EQ(shown(), L"1") << "no number reads as 0, below the range";
    field.setRange(Decimal(-5), Decimal(5), 0);
    typeAndLeave(L"xy");
    EXPECT_EQ(shown(), L"0");

    field.setRange(Decimal(-100), Decimal(100), 0);
    EXPECT_EQ(SendMessageW(inner(), EM_GETLIMITTEXT, 0, 0), 4);
    EXPECT_EQ(thrownCode([&] { field.setRange(Decimal(5), Decimal(2), 0); }), ErrorCode::InvalidArgument);
    field.setValue(Decimal(500));
    EXPECT_EQ(shown(), L"100") << "the old range holds";
}

TEST_F(NumericEditTest, ArrowKeysStepByOneUnitOfTheLastDecimal)
{
    field.setRange(Decimal(0), Decimal(2), 1);
    field.setValue(number(L"1.24"));
    EXPECT_EQ(shown(), L"1.2") << "rounded to one decimal";
    pressKey(VK_UP);
    EXPECT_EQ(shown(), L"1.3");
    EXPECT_TRUE(window.heardChange());
    for (int i = 0; i < 10; ++i)
        pressKey(VK_UP);
    EXPECT_EQ(shown(), L"2.0") << "the top of the range holds";

    field.setRange(Decimal(0), Decimal(10), 0);
    field.setValue(Decimal(4));
    pressKey(VK_DOWN);
    EXPECT_EQ(shown(), L"3");
}

TEST_F(NumericEditTest, ValuesAreReadInTheLocalesFormatWithoutRewritingTheText)
{
    field.setRange(Decimal(-10), Decimal(10), 1);
    SetWindowTextW(inner(), L"-2.7");
    EXPECT_EQ(field.getInt(), -2);
    SetWindowTextW(inner(), L"-20");
    EXPECT_EQ(field.getValue().compare(Decimal(-10)), VARCMP_EQ);
    EXPECT_EQ(shown(), L"-20") << "getValue leaves the text as typed";

    ThreadLocaleScope german(GermanLocale);
    field.setValue(number(L"2.5"));
    EXPECT_EQ(shown(), L"2,5");
    typeAndLeave(L"1,3");
    EXPECT_EQ(field.getValue().compare(number(L"1.3")), VARCMP_EQ);
}
