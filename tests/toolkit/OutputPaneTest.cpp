#include <gtest/gtest.h>
#include <string>
#include "ToolkitTesting.h"
#include "support/ExpectCode.h"
#include "foundation/astring.h"
#include "support/RichEditText.h"
#include "toolkit/OutputPane.h"

namespace {

class OutputPaneTest : public testing::Test {
protected:
    void SetUp() override
    {
        OutputPane::registerClass();
        pane.create(parent.getHandle(), 5, Rect(0, 0, 380, 260), 0, 0);
    }
    std::wstring text() const { return richEditText(pane.getTextControl()); }
    int colorAt(LONG position) const { return richEditColorAt(pane.getTextControl(), position); }

    ParentWindow parent;
    OutputPane pane;
};

} // namespace

TEST_F(OutputPaneTest, KeepsOnlyTheNewestLinesWithinItsLimit)
{
    EXPECT_EQ(pane.getController()->maxLines, 256);
    pane.setMaxLines(3);
    pane.write(wstring(L"a\r\nb\r\nc"));
    pane.write(wstring(L"\r\nd"));
    EXPECT_EQ(text(), L"b\r\nc\r\nd") << "one line break in: the first line out";

    pane.setMaxLines(4);
    pane.write(wstring(L"\r\n1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7\r\n8\r\n9\r\n10"));
    EXPECT_EQ(text(), L"7\r\n8\r\n9\r\n10") << "a text longer than the limit keeps its own last lines";

    pane.setMaxLines(2);
    EXPECT_EQ(text(), L"9\r\n10") << "a smaller limit trims at once";
    EXPECT_EQ(thrownCode([&] { pane.setMaxLines(0); }), ErrorCode::InvalidArgument);

    DestroyWindow(pane.getHandle());
    EXPECT_EQ(thrownCode([&] { pane.write(wstring(L"x")); }), ErrorCode::WindowGone);
}

TEST_F(OutputPaneTest, TextTakesTheColourSetBeforeItAndEarlierTextKeepsItsOwn)
{
    const int red = RGB(255, 0, 0);
    pane.write(wstring(L"plain "));
    pane.setTextColor(red);
    pane.write(wstring(L"(failure)"));
    pane.setTextColor(-1);
    pane.write(wstring(L"C:\\a.jpg\r\n"));
    pane.setTextColor(RGB(0, 0, 255));
    pane.write(astring("(skip)"));

    EXPECT_EQ(text(), L"plain (failure)C:\\a.jpg\r\n(skip)");
    EXPECT_EQ(colorAt(0), -1);
    EXPECT_EQ(colorAt(6), red);
    EXPECT_EQ(colorAt(14), red);
    EXPECT_EQ(colorAt(15), -1) << "back to the system's colour";
    EXPECT_EQ(colorAt(24), static_cast<int>(RGB(0, 0, 255)));
}

TEST_F(OutputPaneTest, LongLinesShowFromTheirStartWithABarToScrollAlongThem)
{
    parent.show(true);
    std::wstring name(120, L'x');
    pane.write(wstring((L"C:\\pictures\\" + name + L".png").c_str()));
    pane.write(wstring(L"(failure)\r\n"));
    pane.write(wstring((L"C:\\pictures\\" + name + L".jpg -> C:\\out\\" + name + L".png").c_str()));
    HWND control = pane.getTextControl();
    EXPECT_EQ(richEditScrollPosition(control).x, 0) << "the start of the lines in view, also of the last one written";
    EXPECT_TRUE(showsHorizontalBar(control)) << "a bar to scroll along the lines";
}
