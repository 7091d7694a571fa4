#pragma once
// What the page tests share: the program's surroundings (an application object, a settings record of the
// test's own, GDI+, COM and the program's control classes) and the moves of a user on a sheet's pages.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>
#include <string>
#include "imaging/GdiplusSession.h"
#include "support/ComTesting.h"
#include "support/GlobalApplication.h"
#include "support/LentSettings.h"
#include "support/WindowRobot.h"

// A face that the test prefix has: the sheets show their Japanese labels in it.
inline constexpr wchar_t DialogFaces[] = L"Meiryo UI:9;IPAPGothic:9";
inline constexpr wchar_t ConversionSheetCaption[] = L"変換設定";
// The Apply button of a property sheet.
inline constexpr int ApplyButtonId = 0x3021;

class PageTest : public testing::Test {
protected:
    PageTest();

    ComApartment apartment;
    GdiplusSession gdiplus;
    GlobalApplication application;
    LentSettings settings{DialogFaces};
    AppSetting& setting = settings.setting;
};

// ---- for robot scripts ----

// Makes the page of that tab current, as a click on its tab does, and returns its window once it exists.
HWND showPage(WindowRobot& user, HWND sheet, int tab);
HWND currentPage(HWND sheet);
bool isEnabled(HWND page, int id);
bool isShown(HWND page, int id);
bool isChecked(HWND page, int id);
// A click on a check box, radio button or push button that opens nothing modal.
void click(HWND page, int id);
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
