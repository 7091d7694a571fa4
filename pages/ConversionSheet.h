#pragma once
#include <windows.h>
#include "foundation/wstring.h"
#include "pages/AppearancePage.h"
#include "pages/EffectPage.h"
#include "pages/OrderPage.h"
#include "pages/PagePictures.h"
#include "pages/ResizePage.h"
#include "pages/RotatePage.h"
#include "pages/TextPage.h"
#include "pages/TrimmingPage.h"

class PropPage;
class SettingSheet;

// The seven pages of the conversion sheet, added in their tab order: trimming, resize, text, rotation,
// effect, appearance, step order. The effect page previews the sample picture (empty: none).
class ConversionPages {
public:
    ConversionPages(const wstring& samplePath, const PagePictures& pictures);

    void addTo(SettingSheet& sheet);

    TrimmingPage trimming;
    ResizePage resize;
    TextPage text;
    RotatePage rotate;
    EffectPage effect;
    AppearancePage appearance;
    OrderPage order;
};

// The conversion settings the user opens from the menu: the seven pages with an Apply button, opened at the
// page that was current when the user last pressed OK or Apply (Window/IndexConvertSetting). samplePath is
// the first picture of the main window's list (empty when the list is empty).
void openConversionSheet(HWND mainWindow, const wstring& samplePath, const PagePictures& pictures);

// The last look at the settings before a conversion run, when File/EnsureSetting asks for one: the seven
// pages, then the format page of the output format (null: none), from the first page and without Apply.
// True when the run goes on: when no look was asked for, or when the user applied the settings; false when
// the user cancelled (or no page could be applied).
bool confirmConversionSettings(HWND mainWindow, const wstring& samplePath, const PagePictures& pictures,
                               PropPage* formatPage, int outputFormat);
