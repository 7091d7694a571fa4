#include <gtest/gtest.h>
#include <vector>
#include "ToolkitTesting.h"
#include "support/ExpectCode.h"
#include "foundation/ValueTestSupport.h"
#include "support/WindowRobot.h"
#include "toolkit/Edit.h"
#include "toolkit/NumericEdit.h"

namespace {

Decimal number(const wchar_t* text)
{
    Decimal value(0);
    value.parse(text);
    return value;
}

// A shown window with a numeric field and a plain edit to move the focus to; it keeps what the field
// reports.
class FieldWindow : public ParentWindow {
public:
    FieldWindow()
    {
        setBounds(60, 60, 300, 160);
        show(true);
    }
    void onCommand(HWND, int id, int code) override
    {
        if (id == FieldId)
            codes.push_back(code);
    }

    static constexpr int FieldId = 30;
    std::vector<int> codes;
};

class NumericEditTest : public testing::Test {
protected:
    void SetUp() override
    {
        NumericEdit::registerClass();
        field.create(window.getHandle(), FieldWindow::FieldId, Rect(10, 10, 120, 24), 0, WS_TABSTOP);
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
    void pressKey(WPARAM key)
    {
        SendMessageW(inner(), WM_KEYDOWN, key, 0);
        SendMessageW(inner(), WM_KEYUP, key, 0xC0000001);
    }
    bool notifiedChange() const
    {
        for (int code : window.codes)
            if (code == NumericEdit::ChangedCode)
                return true;
        return false;
    }

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
    EXPECT_TRUE(notifiedChange());
    EXPECT_TRUE(SendMessageW(inner(), EM_GETMODIFY, 0, 0));

    typeAndLeave(L"abc");
    EXPECT_EQ(shown(), L"1") << "no number reads as 0, below the range";
    field.setRange(Decimal(-5), Decimal(5), 0);
    typeAndLeave(L"xy");
    EXPECT_EQ(shown(), L"0");
    EXPECT_EQ(field.getInt(), 0);

    field.setRange(Decimal(-100), Decimal(100), 0);
    EXPECT_EQ(SendMessageW(inner(), EM_GETLIMITTEXT, 0, 0), 4);
}

TEST_F(NumericEditTest, ArrowKeysStepByOneUnitOfTheLastDecimal)
{
    field.setRange(Decimal(0), Decimal(2), 1);
    field.setValue(number(L"1.24"));
    EXPECT_EQ(shown(), L"1.2") << "rounded to one decimal";
    pressKey(VK_UP);
    EXPECT_EQ(shown(), L"1.3");
    EXPECT_TRUE(notifiedChange());
    for (int i = 0; i < 10; ++i)
        pressKey(VK_UP);
    EXPECT_EQ(shown(), L"2.0") << "the top of the range holds";
    EXPECT_EQ(field.getValue().compare(Decimal(2)), VARCMP_EQ);

    field.setRange(Decimal(0), Decimal(10), 0);
    field.setValue(Decimal(4));
    pressKey(VK_DOWN);
    EXPECT_EQ(shown(), L"3");
    field.sendMessage(NumericEdit::StepMessage, static_cast<WPARAM>(-1));
    EXPECT_EQ(shown(), L"2");
}

TEST_F(NumericEditTest, ValuesAreReadWithoutRewritingAndCutToWholeNumbers)
{
    field.setRange(Decimal(-10), Decimal(10), 1);
    SetWindowTextW(inner(), L"2.7");
    EXPECT_EQ(field.getInt(), 2);
    EXPECT_EQ(shown(), L"2.7");
    SetWindowTextW(inner(), L"-2.7");
    EXPECT_EQ(field.getInt(), -2);
    SetWindowTextW(inner(), L"-20");
    EXPECT_EQ(field.getValue().compare(Decimal(-10)), VARCMP_EQ);
    EXPECT_EQ(shown(), L"-20") << "getValue leaves the text as typed";
}

TEST_F(NumericEditTest, AFieldShowsAndReadsTheLocalesDecimalSeparator)
{
    ThreadLocaleScope german(GermanLocale);
    field.setRange(Decimal(0), Decimal(5), 2);
    field.setValue(number(L"2.5"));
    EXPECT_EQ(shown(), L"2,50");
    EXPECT_EQ(field.getValue().compare(number(L"2.5")), VARCMP_EQ);
    typeAndLeave(L"1,25");
    EXPECT_EQ(field.getValue().compare(number(L"1.25")), VARCMP_EQ);
}

TEST_F(NumericEditTest, AnInvalidRangeChangesNothing)
{
    field.setRange(Decimal(1), Decimal(9), 0);
    field.setValue(Decimal(7));
    EXPECT_EQ(thrownCode([&] { field.setRange(Decimal(5), Decimal(2), 0); }), ErrorCode::InvalidArgument);
    EXPECT_EQ(thrownCode([&] { field.setRange(Decimal(0), Decimal(2), -1); }), ErrorCode::InvalidArgument);
    field.setValue(Decimal(50));
    EXPECT_EQ(shown(), L"9") << "the old range holds";

    field.enable(false);
    EXPECT_FALSE(IsWindowEnabled(inner()));
    EXPECT_FALSE(IsWindowEnabled(field.getDlgItem(NumericEdit::SpinId)));

    DestroyWindow(field.getHandle());
    EXPECT_EQ(thrownCode([&] { field.getValue(); }), ErrorCode::WindowGone);
    EXPECT_EQ(thrownCode([&] { field.setValue(Decimal(1)); }), ErrorCode::WindowGone);
}
