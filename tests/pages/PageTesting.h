#pragma once
// What the page tests share: the program's surroundings (an application object, a settings record of the
// test's own, GDI+, COM and the program's control classes) and the moves of a user on a sheet's pages.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>
#include <initializer_list>
#include <string>
#include "imaging/Dib.h"
#include "imaging/GdiplusSession.h"
#include "pages/PagePictures.h"
#include "support/ComTesting.h"
#include "support/GlobalApplication.h"
#include "support/LentSettings.h"
#include "support/WindowRobot.h"

// Decimal values as the settings file writes them, and back.
Decimal number(const wchar_t* text);
std::wstring text(const Decimal& value);

// A face that the test prefix has: the sheets show their Japanese labels in it.
inline constexpr wchar_t DialogFaces[] = L"Meiryo UI:9;IPAPGothic:9";
inline constexpr wchar_t ConversionSheetCaption[] = L"変換設定";
// The Apply button of a property sheet.
inline constexpr int ApplyButtonId = 0x3021;

class PageTest : public testing::Test {
protected:
    PageTest();

    // The conversion sheet over a hidden main window, served to the script; the sample picture goes to the
    // effect page. Returns how often the main window heard that the sheet closed.
    int runConversionSheet(const WindowRobot::Script& script, const std::wstring& samplePath = {});

    ComApartment apartment;
    GdiplusSession gdiplus;
    GlobalApplication application;
    LentSettings settings{DialogFaces};
    AppSetting& setting = settings.setting;
    // Swatches in six light colours and pictograms in ten shades of cyan, 16 x 16 pixels each.
    Dib swatches[6];
    Dib pictograms[10];
    PagePictures pictures;
};

// A hidden main window that counts the messages of one kind that it is sent or that are posted to it.
class CountingMainWindow {
public:
    explicit CountingMainWindow(UINT counted);
    CountingMainWindow(const CountingMainWindow&) = delete;
    CountingMainWindow& operator=(const CountingMainWindow&) = delete;
    ~CountingMainWindow() { DestroyWindow(window); }

    HWND handle() const { return window; }
    // Also those still waiting in the thread's queue.
    int count();

private:
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    UINT counted;
    int heard = 0;
    HWND window = nullptr;
};

// The conversion sheet once it is shown, and the page of that tab.
HWND waitForConversionSheet(WindowRobot& user);
HWND conversionPage(WindowRobot& user, int tab);

// ---- for robot scripts ----

// Clicks the tab of that page and returns the page's window once it exists and is current.
HWND showPage(WindowRobot& user, HWND sheet, int tab);
HWND currentPage(HWND sheet);
bool isEnabled(HWND page, int id);
// True when every item of the list is enabled (or, with false, disabled).
bool enabledAre(HWND page, std::initializer_list<int> ids, bool enabled);
bool isShown(HWND page, int id);
bool isChecked(HWND page, int id);
// A click on a check box, radio button or push button that opens nothing modal.
void click(HWND page, int id);
// The user drags the slider to the position.
void slideTo(HWND page, int id, int position);
// Chooses the item of a drop-down list as the user does.
void choose(HWND page, int id, int index);
int selectionOf(HWND page, int id);
int itemCount(HWND page, int id);
std::wstring itemText(HWND page, int id, int index);
// The text shown in a numeric field, and typing into it (the field takes the value when it is read).
std::wstring fieldText(HWND page, int id);
void typeNumber(WindowRobot& user, HWND page, int id, const std::wstring& text);
// The colour of the brush a page paints a static control with; CLR_INVALID when it leaves it to the system.
COLORREF swatchColor(HWND page, int id);
// The smallest rectangle of the picture's pixels that differ from the colour; empty when there are none.
RECT extentOfAllBut(const Dib& picture, COLORREF background);
// The control as it paints itself now, and one of its pixels.
struct Painting {
    explicit Painting(HWND control);
    // The control paints itself again over the picture, as on the screen, where the old look stays until it
    // is painted over.
    void paintOver(HWND control);
    COLORREF at(int x, int y) const;
    RECT extentOfAllBut(COLORREF background) const { return ::extentOfAllBut(picture, background); }

    Dib picture;
};
