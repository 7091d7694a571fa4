#include <gtest/gtest.h>
#include "PageTesting.h"
// After the platform's headers.
#include <dlgs.h>

#include "pages/conversionPageIds.h"
#include "settings/AppSetting.h"
#include "toolkit/Font.h"

namespace {

constexpr int TextTab = 2;
constexpr COLORREF Red = RGB(255, 0, 0);
// The edit of a combo box that takes typing.
constexpr int ComboEditId = 1001;

int widthOf(const RECT& box)
{
    return box.right - box.left;
}

int heightOf(const RECT& box)
{
    return box.bottom - box.top;
}

// Where the system's own text drawing puts ink for the text in the page's font.
RECT inkOfSystemText(const wchar_t* text, const AppSetting& setting)
{
    Font font;
    font.create(nullptr, setting.textFontFace.buffer(), setting.textFontSize, setting.textFontWeight,
                setting.textFontItalic, false, false, static_cast<BYTE>(setting.textFontCharSet));
    Dib canvas;
    canvas.create(600, 200, 24, RGB(255, 255, 255));
    HDC dc = canvas.getDC();
    HGDIOBJ previous = SelectObject(dc, font.handle());
    SetBkMode(dc, TRANSPARENT);
    TextOutW(dc, 50, 50, text, lstrlenW(text));
    SelectObject(dc, previous);
    canvas.releaseDC();
    GdiFlush();
    return extentOfAllBut(canvas, RGB(255, 255, 255));
}

class TextPageTest : public PageTest {
protected:
    TextPageTest()
    {
        setting.textEnable = true;
        setting.textText = L"日本語";
        setting.textFontFace = L"IPAPGothic";
        setting.textFontSize = 20;
        setting.textFontWeight = FW_NORMAL;
        setting.textFontCharSet = SHIFTJIS_CHARSET;
        setting.textColor = RGB(0, 0, 255);
        setting.textColorAlpha = 255;
        setting.textBackColor = Red;
        setting.textNoBackColor = false;
        setting.textPosition = 0;
    }

    // The sample's text pixels: everything that is not the red background.
    static RECT textIn(HWND page) { return Painting(GetDlgItem(page, IDC_TEXT_SAMPLE)).extentOfAllBut(Red); }
};

} // namespace

TEST_F(TextPageTest, TheSampleShowsTheTextAtItsPlaceTurnedByItsAngle)
{
    RECT topLeft{}, centred{}, bottomRight{}, turned{};
    SIZE sample{};
    runConversionSheet([&](WindowRobot& user) {
        HWND page = conversionPage(user, TextTab);
        RECT client;
        GetClientRect(GetDlgItem(page, IDC_TEXT_SAMPLE), &client);
        sample = {client.right, client.bottom};
        topLeft = textIn(page);
        user.screenshot(GetParent(page), L"text_page");
        choose(page, IDC_TEXT_POSITION, 4);
        centred = textIn(page);
        choose(page, IDC_TEXT_POSITION, 8);
        bottomRight = textIn(page);
        choose(page, IDC_TEXT_POSITION, 4);
        typeNumber(user, page, IDC_TEXT_ANGLE, L"90");
        turned = textIn(page);
        user.press(GetParent(page), IDCANCEL);
    });
    ASSERT_GT(widthOf(topLeft), heightOf(topLeft)) << "Japanese text drawn";
    // The layout leaves a little room around the glyphs.
    EXPECT_LT(topLeft.left, 12);
    EXPECT_LT(topLeft.top, 12);
    EXPECT_NEAR((centred.left + centred.right) / 2, sample.cx / 2, 3);
    EXPECT_NEAR((centred.top + centred.bottom) / 2, sample.cy / 2, 3);
    EXPECT_GT(bottomRight.right, sample.cx - 6);
    EXPECT_GT(bottomRight.bottom, sample.cy - 6);
    EXPECT_GT(heightOf(turned), widthOf(turned)) << "standing upright";
    EXPECT_NEAR((turned.left + turned.right) / 2, sample.cx / 2, 3) << "turned about its centre";
}

TEST_F(TextPageTest, VerticalAndMissingFacesStillDrawTheSample)
{
    for (const wchar_t* face : {L"@IPAPGothic", L"Korvilane Missing Face"}) {
        setting.textFontFace = face;
        RECT drawn{};
        runConversionSheet([&](WindowRobot& user) {
            HWND page = conversionPage(user, TextTab);
            drawn = textIn(page);
            user.press(GetParent(page), IDCANCEL);
        });
        EXPECT_GT(widthOf(drawn), 0) << face;
        // Wine's GDI+ lays out no vertical text.
        if (face[0] == L'@' && !runningUnderWine()) {
            EXPECT_GT(heightOf(drawn), widthOf(drawn)) << "a vertical face writes downwards";
        }
    }
}

TEST_F(TextPageTest, WithoutABackgroundTheSampleLiesOnThePreviewPatternAndOkKeepsWhatNoControlEdits)
{
    setting.viewPreviewBack = 2;
    setting.textFontUnderline = true;
    setting.textFontStrikeOut = true;
    COLORREF corner = 0;
    bool backColorButton = true, sampleShownWithoutText = false;
    std::wstring chosenFace, chosenSize;
    runConversionSheet([&](WindowRobot& user) {
        HWND page = conversionPage(user, TextTab);
        click(page, IDC_TEXT_NO_BACK);
        backColorButton = isEnabled(page, IDC_TEXT_BACK_COLOR);
        corner = Painting(GetDlgItem(page, IDC_TEXT_SAMPLE)).at(0, 0);
        user.type(page, IDC_TEXT_EDIT, L"");
        sampleShownWithoutText = widthOf(Painting(GetDlgItem(page, IDC_TEXT_SAMPLE)).extentOfAllBut(corner)) > 0;
        // What the font chooser shows at its OK is what the text takes, and it takes no size that the settings
        // cannot keep. (Wine's chooser lists the Japanese names of the faces, so it cannot open at the face the
        // settings name in English.)
        user.press(page, IDC_TEXT_FONT);
        HWND fonts = user.waitForWindow(WindowQuery::ownedBy(GetParent(page)));
        user.type(GetDlgItem(fonts, cmb3), ComboEditId, L"300");
        user.press(fonts, IDOK);
        user.answerMessageBox(IDOK, fonts, L"text_page_font_size");
        user.type(GetDlgItem(fonts, cmb3), ComboEditId, L"48");
        chosenFace = user.text(fonts, cmb1);
        chosenSize = user.text(fonts, cmb3);
        user.press(fonts, IDOK);
        click(page, IDC_ENABLE);
        for (int id : {IDC_TEXT_SAMPLE, IDC_TEXT_FONT, IDC_TEXT_COLOR, IDC_TEXT_BACK_COLOR, IDC_TEXT_POSITION,
                       IDC_TEXT_OFFSET_Y, IDC_TEXT_EDIT, IDC_TEXT_ANGLE})
            EXPECT_FALSE(isEnabled(page, id)) << id;
        user.press(GetParent(page), IDOK);
    });
    EXPECT_FALSE(backColorButton);
    EXPECT_EQ(corner, RGB(224, 224, 255)) << "the second swatch";
    EXPECT_TRUE(sampleShownWithoutText) << "the program's folder stands in for an empty text";
    EXPECT_TRUE(setting.textText.isEmpty());
    EXPECT_TRUE(setting.textFontUnderline && setting.textFontStrikeOut);
    EXPECT_EQ(std::wstring(setting.textFontFace.buffer()), chosenFace);
    EXPECT_EQ(std::to_wstring(setting.textFontSize), chosenSize);
}

TEST_F(TextPageTest, TheSampleDrawnAgainShowsOnlyTheTextAtItsNewPlace)
{
    setting.textNoBackColor = true;
    setting.viewPreviewBack = 0;
    COLORREF window = GetSysColor(COLOR_WINDOW);
    RECT first{}, again{};
    SIZE sample{};
    runConversionSheet([&](WindowRobot& user) {
        HWND page = conversionPage(user, TextTab);
        HWND control = GetDlgItem(page, IDC_TEXT_SAMPLE);
        Painting look(control);
        first = look.extentOfAllBut(window);
        choose(page, IDC_TEXT_POSITION, 8);
        // Over the old look, as the screen keeps it until the sample paints itself again.
        look.paintOver(control);
        again = look.extentOfAllBut(window);
        sample = {look.picture.width(), look.picture.height()};
        user.screenshot(GetParent(page), L"text_page_moved");
        user.press(GetParent(page), IDCANCEL);
    });
    EXPECT_LT(first.right, sample.cx / 2) << "without a swatch the text lies on the window colour";
    EXPECT_GT(again.left, sample.cx / 2) << "nothing left at the old place";
    EXPECT_GT(again.top, sample.cy / 2);
}

TEST_F(TextPageTest, TheSampleShowsTheWholeTextAlsoAgainstTheRightEdge)
{
    // A slanted "f" reaches beyond the box that the text is measured in.
    setting.textText = L"Wolf f";
    setting.textFontItalic = true;
    setting.textPosition = 2;
    RECT drawn{};
    SIZE sample{};
    runConversionSheet([&](WindowRobot& user) {
        HWND page = conversionPage(user, TextTab);
        Painting look(GetDlgItem(page, IDC_TEXT_SAMPLE));
        drawn = look.extentOfAllBut(Red);
        sample = {look.picture.width(), look.picture.height()};
        user.screenshot(GetParent(page), L"text_page_right_edge");
        user.press(GetParent(page), IDCANCEL);
    });
    EXPECT_LE(drawn.right, sample.cx);
    EXPECT_GE(widthOf(drawn), widthOf(inkOfSystemText(L"Wolf f", setting))) << "as wide as the system draws it";
}

TEST_F(TextPageTest, ATextOfTwoLinesReachesTheBoxWithWindowsLineEndsAndIsStoredAsTheBoxHoldsIt)
{
    // The settings file gives back bare line feeds; a text the page stored keeps its carriage returns.
    for (const wchar_t* stored : {L"一行目\n二行目", L"一行目\r\n二行目"}) {
        setting.textText = stored;
        std::wstring shown;
        runConversionSheet([&](WindowRobot& user) {
            HWND page = conversionPage(user, TextTab);
            shown = user.text(page, IDC_TEXT_EDIT);
            user.screenshot(GetParent(page), L"text_page_two_lines");
            user.press(GetParent(page), IDOK);
        });
        EXPECT_EQ(shown, L"一行目\r\n二行目") << "from " << (stored[3] == L'\n' ? "LF" : "CR LF");
        EXPECT_EQ(std::wstring(setting.textText.buffer()), L"一行目\r\n二行目");
    }
}
