// Every control of every setting page that edits a setting of its own: the page shows the stored value, a
// change of the control lights Apply, Apply stores what the control shows, and Cancel stores nothing. Showing
// a page lights nothing.
#include <gtest/gtest.h>
// After the platform's headers.
#include <colordlg.h>

#include <chrono>
#include <functional>
#include <string>
#include <type_traits>
#include <vector>
#include "PageTesting.h"
#include "pages/ConversionSheet.h"
#include "pages/EnvironmentSheet.h"
#include "pages/FormatSheet.h"
#include "pages/RenameSheet.h"
#include "pages/conversionPageIds.h"
#include "pages/environmentPageIds.h"
#include "pages/formatPageIds.h"
#include "pages/renamePageIds.h"
#include "settings/AppSetting.h"
#include "support/PictureFolder.h"

namespace {

enum Sheet { Conversion, Environment, Format, Rename };
const wchar_t* const sheetCaptions[] = {ConversionSheetCaption, L"環境設定", L"フォーマット設定",
                                        L"リネームと振り分けの設定"};

// How the user changes the control, and how its value reads: a check box "1" or "0", the index of the radio
// button or list item, a number or text as the field shows it, a colour "r,g,b" as its dialog shows it.
enum Kind { Check, Radio, Number, Choice, Typed, Colour, Slide };

// A setting of the record as text: a number as the settings file writes it ("1" or "0" for a flag), a colour
// "r,g,b".
template <class T>
std::wstring asText(const T& value)
{
    if constexpr (std::is_same_v<T, COLORREF>)
        return std::to_wstring(GetRValue(value)) + L"," + std::to_wstring(GetGValue(value)) + L"," +
               std::to_wstring(GetBValue(value));
    else if constexpr (std::is_arithmetic_v<T>)
        return std::to_wstring(value);
    else if constexpr (std::is_same_v<T, Decimal>)
        return text(value);
    else
        return value.buffer();
}

template <class T>
T fromText(const std::wstring& text)
{
    if constexpr (std::is_same_v<T, COLORREF>) {
        int red = 0, green = 0, blue = 0;
        swscanf(text.c_str(), L"%d,%d,%d", &red, &green, &blue);
        return RGB(red, green, blue);
    } else if constexpr (std::is_arithmetic_v<T>) {
        return static_cast<T>(std::stoi(text));
    } else if constexpr (std::is_same_v<T, Decimal>) {
        return number(text.c_str());
    } else {
        return T(text.c_str());
    }
}

struct Field {
    std::function<std::wstring(const AppSetting&)> get;
    std::function<void(AppSetting&, const std::wstring&)> set;
};

template <class T>
Field field(T AppSetting::*member)
{
    return {[member](const AppSetting& s) { return asText(s.*member); },
            [member](AppSetting& s, const std::wstring& text) { s.*member = fromText<T>(text); }};
}

// The extension of an output format in the record's list.
Field extensionOf(int format)
{
    return {[format](const AppSetting& s) { return asText(s.outputExts.at(format)); },
            [format](AppSetting& s, const std::wstring& text) {
                wstringArray list;
                for (int i = 0; i < s.outputExts.count(); ++i)
                    list.add(i == format ? wstring(text.c_str()) : s.outputExts.at(i));
                s.outputExts.swap(list);
            }};
}

struct Row {
    Kind kind;
    // The control; the buttons of a radio group in the order of their values; a colour's button, then its swatch
    // when it has one.
    std::vector<int> ids;
    Field field;
    // In the record when the sheet opens, and what the user gives the control.
    const wchar_t* stored;
    const wchar_t* entered;
    // What the control shows of the stored value, and what Apply stores of the entered one, where they differ.
    const wchar_t* shown = nullptr;
    const wchar_t* applied = nullptr;

    std::wstring shownText() const { return shown ? shown : stored; }
    std::wstring appliedText() const { return applied ? applied : entered; }
};

// The rows of a page, in the order the user goes through them: a control is enabled by the stored values and
// the rows before it. Backwards, the user puts every control back as it was.
struct PageRows {
    struct {
        Sheet sheet;
        int tab;
    } place;
    std::vector<Row> rows;

    std::wstring name(const Row& row) const
    {
        return sheetCaptions[place.sheet] + (L" " + std::to_wstring(place.tab)) + L", " + std::to_wstring(row.ids[0]);
    }
};

const PageRows pages[] = {
    {{Conversion, 0}, // trimming
     {
         {Number, {IDC_TRIM_LEFT}, field(&AppSetting::trimmingLeft), L"10", L"12"},
         {Number, {IDC_TRIM_TOP}, field(&AppSetting::trimmingTop), L"0", L"12345", nullptr, L"1234"},
         {Radio, {IDC_UNIT_PIXEL, IDC_UNIT_PERCENT}, field(&AppSetting::trimmingUnit), L"0", L"1"},
         {Radio, {IDC_TRIM_BY_WIDTH, IDC_TRIM_AUTO}, field(&AppSetting::trimmingAutoScan), L"0", L"1"},
         {Check, {IDC_SCAN_LEFT}, field(&AppSetting::trimmingScanLeft), L"0", L"1"},
         {Check, {IDC_SCAN_TOP}, field(&AppSetting::trimmingScanTop), L"1", L"0"},
         {Check, {IDC_SCAN_RIGHT}, field(&AppSetting::trimmingScanRight), L"0", L"1"},
         {Check, {IDC_SCAN_BOTTOM}, field(&AppSetting::trimmingScanBottom), L"1", L"0"},
         {Colour, {IDC_CHOOSE_COLOR, IDC_SCAN_SWATCH}, field(&AppSetting::trimmingScanColor), L"9,8,7", L"1,2,3"},
         {Check, {IDC_SCAN_COLOR}, field(&AppSetting::trimmingAssignScanColor), L"1", L"0"},
         {Number, {IDC_OFFSET}, field(&AppSetting::trimmingOffset), L"5", L"255", nullptr, L"254"},
         {Number, {IDC_SPACE}, field(&AppSetting::trimmingSpace), L"3", L"101", nullptr, L"100"},
         {Check, {IDC_ENABLE}, field(&AppSetting::trimmingEnable), L"1", L"0"},
     }},
    {{Conversion, 1}, // resize
     {
         {Number, {IDC_WIDTH}, field(&AppSetting::resizeWidth), L"640", L"800"},
         {Number, {IDC_HEIGHT}, field(&AppSetting::resizeHeight), L"480", L"12345", nullptr, L"1234"},
         {Radio, {IDC_UNIT_PIXEL, IDC_UNIT_PERCENT}, field(&AppSetting::resizeUnit), L"0", L"1"},
         {Number, {IDC_RATIO}, field(&AppSetting::resizeScale), L"2.5", L"3.25", L"2.5000"},
         {Choice, {IDC_ORIENTATION}, field(&AppSetting::resizeOrientation), L"2", L"3"},
         {Choice, {IDC_ADJUST}, field(&AppSetting::resizeAdjust), L"5", L"1"},
         {Colour, {IDC_CHOOSE_COLOR, IDC_BACK_COLOR_SWATCH}, field(&AppSetting::resizeBackColor), L"10,20,30", L"40,50,60"},
         {Check, {IDC_BACK_TRANSPARENT}, field(&AppSetting::resizeBackColorTransparent), L"0", L"1"},
         {Choice, {IDC_RENDER_POSITION}, field(&AppSetting::resizeRenderPosition), L"4", L"9"},
         {Radio, {IDC_RESIZE_FIT, IDC_RESIZE_STRETCH}, field(&AppSetting::resizeStretch), L"0", L"1"},
         {Radio,
          {IDC_INTERPOLATION_NONE, IDC_INTERPOLATION_NORMAL, IDC_INTERPOLATION_HIGH},
          field(&AppSetting::resizeInterpolation),
          L"1",
          L"0"},
         {Check, {IDC_ENABLE}, field(&AppSetting::resizeEnable), L"1", L"0"},
     }},
    {{Conversion, 2}, // text
     {
         {Typed, {IDC_TEXT_EDIT}, field(&AppSetting::textText), L"日本語", L"abc"},
         {Colour, {IDC_TEXT_COLOR}, field(&AppSetting::textColor), L"0,0,255", L"255,0,0"},
         {Colour, {IDC_TEXT_BACK_COLOR}, field(&AppSetting::textBackColor), L"255,255,0", L"0,255,0"},
         {Check, {IDC_TEXT_NO_BACK}, field(&AppSetting::textNoBackColor), L"0", L"1"},
         {Choice, {IDC_TEXT_POSITION}, field(&AppSetting::textPosition), L"0", L"7"},
         {Number, {IDC_TEXT_OFFSET_X}, field(&AppSetting::textOffsetX), L"0", L"-12"},
         {Number, {IDC_TEXT_OFFSET_Y}, field(&AppSetting::textOffsetY), L"5", L"7"},
         {Number, {IDC_TEXT_ALPHA}, field(&AppSetting::textColorAlpha), L"255", L"128"},
         {Number, {IDC_TEXT_ANGLE}, field(&AppSetting::textAngle), L"0", L"90", L"0.00"},
         {Check, {IDC_ENABLE}, field(&AppSetting::textEnable), L"1", L"0"},
     }},
    {{Conversion, 3}, // rotation
     {
         {Number, {IDC_ANGLE}, field(&AppSetting::rotateAssignAngle), L"12.5", L"360", L"12.50", L"359.99"},
         {Colour, {IDC_ANGLE_CHOOSE, IDC_ANGLE_SWATCH}, field(&AppSetting::rotateAssignAngleColor), L"200,0,0", L"1,2,3"},
         {Check, {IDC_ANGLE_TRANSPARENT}, field(&AppSetting::rotateAssignAngleColorTransparent), L"0", L"1"},
         {Radio,
          {IDC_ROTATE_90, IDC_ROTATE_180, IDC_ROTATE_270, IDC_ROTATE_ANGLE, IDC_ROTATE_SKEW},
          field(&AppSetting::rotateAssign),
          L"3",
          L"4"},
         {Number, {IDC_SKEW_H}, field(&AppSetting::rotateAngleH), L"0", L"-90", L"0.00", L"-89.99"},
         {Number, {IDC_SKEW_V}, field(&AppSetting::rotateAngleV), L"1", L"12.345", L"1.00", L"12.34"},
         {Colour, {IDC_SKEW_CHOOSE, IDC_SKEW_SWATCH}, field(&AppSetting::rotateSlopeColor), L"0,0,200", L"4,5,6"},
         {Check, {IDC_SKEW_TRANSPARENT}, field(&AppSetting::rotateSlopeColorTransparent), L"0", L"1"},
         {Check, {IDC_ENABLE}, field(&AppSetting::rotateEnable), L"1", L"0"},
     }},
    {{Conversion, 4}, // effect
     {
         {Number, {IDC_BRIGHT}, field(&AppSetting::effectBright), L"0", L"-100"},
         {Number, {IDC_POSTERIZE}, field(&AppSetting::effectPosterization), L"256", L"8"},
         {Choice, {IDC_FILTER}, field(&AppSetting::effectFilter), L"0", L"10"},
         {Check, {IDC_PREVIEW}, field(&AppSetting::effectPreview), L"1", L"0"},
         {Check, {IDC_ENABLE}, field(&AppSetting::effectEnable), L"1", L"0"},
     }},
    {{Conversion, 5}, // appearance
     {
         {Colour, {IDC_CHOOSE_COLOR, IDC_BACK_COLOR_SWATCH}, field(&AppSetting::appearanceBackColor), L"10,20,30", L"7,8,9"},
         {Number, {IDC_ELLIPSE_WIDTH}, field(&AppSetting::appearanceEllipseWidth), L"12", L"34"},
         {Number, {IDC_ELLIPSE_HEIGHT}, field(&AppSetting::appearanceEllipseHeight), L"5", L"9999"},
         {Choice, {IDC_SHAPE}, field(&AppSetting::appearanceRgnType), L"0", L"2"},
         {Number, {IDC_FRAME_WIDTH}, field(&AppSetting::appearanceFrameWidth), L"3", L"1000", nullptr, L"100"},
         {Number, {IDC_FRAME_HEIGHT}, field(&AppSetting::appearanceFrameHeight), L"4", L"999"},
         {Check, {IDC_ENABLE}, field(&AppSetting::appearanceEnable), L"1", L"0"},
     }},
    {{Format, 0}, // JPEG
     {
         {Slide, {IDC_QUALITY}, field(&AppSetting::jpegQuality), L"75", L"100"},
         {Radio, {IDC_QUALITY_ASSIGN, IDC_SIZE_ASSIGN}, field(&AppSetting::jpegAssign), L"0", L"1"},
         {Number, {IDC_FILE_SIZE}, field(&AppSetting::jpegAssignFileSize), L"120", L"1000", nullptr, L"100"},
         {Check, {IDC_JPEG_EXIF}, field(&AppSetting::jpegExif), L"1", L"0"},
         {Check, {IDC_FORMAT_ENABLE}, field(&AppSetting::jpegEnable), L"1", L"0"},
     }},
    {{Format, 1}, // GIF
     {
         {Colour, {IDC_FORMAT_CHOOSE_COLOR, IDC_FORMAT_SWATCH}, field(&AppSetting::gifTransparentColor), L"200,100,0", L"1,1,1"},
         {Check, {IDC_FORMAT_ASSIGN_COLOR}, field(&AppSetting::gifAssignTransparentColor), L"1", L"0"},
         {Check, {IDC_FORMAT_ENABLE}, field(&AppSetting::gifEnable), L"1", L"0"},
     }},
    {{Format, 2}, // TIFF
     {
         {Colour, {IDC_FORMAT_CHOOSE_COLOR, IDC_FORMAT_SWATCH}, field(&AppSetting::tiffTransparentColor), L"9,8,7", L"6,5,4"},
         {Check, {IDC_FORMAT_ASSIGN_COLOR}, field(&AppSetting::tiffAssignTransparentColor), L"1", L"0"},
         {Number, {IDC_TIFF_ALPHA}, field(&AppSetting::tiffAlpha), L"200", L"256", nullptr, L"255"},
         {Check, {IDC_TIFF_TRANSPARENT}, field(&AppSetting::tiffTransparent), L"1", L"0"},
         {Choice, {IDC_TIFF_COMPRESSION}, field(&AppSetting::tiffCompression), L"0", L"2"},
         {Check, {IDC_ERROR_DIFFUSION}, field(&AppSetting::tiffErrorDiffusion), L"0", L"1"},
         {Check, {IDC_FORMAT_ENABLE}, field(&AppSetting::tiffEnable), L"1", L"0"},
     }},
    {{Format, 3}, // PNG
     {
         {Colour, {IDC_FORMAT_CHOOSE_COLOR, IDC_FORMAT_SWATCH}, field(&AppSetting::pngTransparentColor), L"0,0,0", L"8,8,8"},
         {Check, {IDC_FORMAT_ASSIGN_COLOR}, field(&AppSetting::pngAssignTransparentColor), L"1", L"0"},
         {Number, {IDC_PNG_ALPHA}, field(&AppSetting::pngAlpha), L"128", L"256", nullptr, L"255"},
         {Check, {IDC_FORMAT_ENABLE}, field(&AppSetting::pngEnable), L"1", L"0"},
     }},
    {{Format, 4}, // HD Photo
     {
         {Slide, {IDC_QUALITY}, field(&AppSetting::hdpQuality), L"40", L"60"},
         {Radio, {IDC_QUALITY_ASSIGN, IDC_SIZE_ASSIGN}, field(&AppSetting::hdpAssign), L"0", L"1"},
         {Number, {IDC_FILE_SIZE}, field(&AppSetting::hdpAssignFileSize), L"300", L"301"},
         {Check, {IDC_HDP_LOSSLESS}, field(&AppSetting::hdpLossless), L"0", L"1"},
         {Check, {IDC_FORMAT_ENABLE}, field(&AppSetting::hdpEnable), L"1", L"0"},
     }},
    {{Format, 5}, // Bitmap
     {
         {Choice, {IDC_PAL8}, field(&AppSetting::bitmapPal8), L"1", L"0"},
         {Radio, {IDC_BPP_24, IDC_BPP_8, IDC_BPP_4, IDC_BPP_1}, field(&AppSetting::bitmapBpp), L"1", L"2"},
         {Choice, {IDC_PAL4}, field(&AppSetting::bitmapPal4), L"0", L"1"},
         {Check, {IDC_ERROR_DIFFUSION}, field(&AppSetting::bitmapErrorDiffusion), L"0", L"1"},
         {Check, {IDC_FORMAT_ENABLE}, field(&AppSetting::bitmapEnable), L"1", L"0"},
     }},
    {{Environment, 0}, // preview
     {
         {Number, {IDC_PREV_INIT_WIDTH}, field(&AppSetting::viewPreviewInitWidth), L"640", L"12345", nullptr, L"1234"},
         {Number, {IDC_PREV_INIT_HEIGHT}, field(&AppSetting::viewPreviewInitHeight), L"480", L"500"},
         {Choice, {IDC_PREV_BACK}, field(&AppSetting::viewPreviewBack), L"0", L"6"},
         {Number, {IDC_PREV_TRANSPARENT}, field(&AppSetting::viewPreviewTransparent), L"35", L"91", nullptr, L"90"},
         {Radio,
          {IDC_PREV_MODE_ORIGINAL, IDC_PREV_MODE_STRETCH, IDC_PREV_MODE_KEEP_ASPECT},
          field(&AppSetting::viewPreviewInitMode),
          L"2",
          L"1"},
         {Check, {IDC_PREV_SHOW_HINTS}, field(&AppSetting::viewPreviewShowHints), L"0", L"1"},
         {Check, {IDC_PREV_USE_TRANSPARENT}, field(&AppSetting::viewPreviewUseTransparent), L"1", L"0"},
     }},
    {{Environment, 1}, // save folder
     {
         {Check, {IDC_SAVE_INIT_FOLDER}, field(&AppSetting::fileInitFolder), L"1", L"0"},
         {Check, {IDC_SAVE_SOURCE_FOLDER}, field(&AppSetting::fileSaveSrcFolder), L"0", L"1"},
     }},
    {{Environment, 2}, // thumbnails
     {
         {Choice, {IDC_THUMB_TYPE}, field(&AppSetting::fileThumbnailType), L"1", L"3", L"0", L"4"},
         {Typed, {IDC_THUMB_TITLE}, field(&AppSetting::fileThumbnailTitle), L"", L"題名"},
         {Choice, {IDC_THUMB_CHARSET}, field(&AppSetting::fileThumbnailCharset), L"euc-jp", L"1", L"2", L"Shift_JIS"},
         {Number, {IDC_THUMB_COLS}, field(&AppSetting::fileThumbnailCols), L"7", L"100", nullptr, L"10"},
         {Choice, {IDC_THUMB_SIZE}, field(&AppSetting::fileThumbnailSize), L"2", L"0"},
         {Typed, {IDC_THUMB_FOLDER}, field(&AppSetting::fileThumbnailImageFolder), L"thumbs", L"t2"},
         {Typed, {IDC_THUMB_FILE}, field(&AppSetting::fileThumbnailImageFile), L"t", L"f"},
         {Check, {IDC_THUMB_OVERWRITE}, field(&AppSetting::fileThumbnailImageOverWrite), L"0", L"1"},
         {Check, {IDC_THUMB_OPEN_FILE}, field(&AppSetting::fileThumbnailOpenFile), L"0", L"1"},
         {Check, {IDC_THUMB_IMAGE}, field(&AppSetting::fileThumbnailImage), L"1", L"0"},
     }},
    {{Environment, 3}, // split and join
     {
         {Number, {IDC_SPLIT_WIDTH}, field(&AppSetting::fileSplitWidth), L"320", L"0", nullptr, L"1"},
         {Number, {IDC_SPLIT_HEIGHT}, field(&AppSetting::fileSplitHeight), L"240", L"100"},
         {Colour, {IDC_SPLIT_CHOOSE_COLOR, IDC_SPLIT_SWATCH}, field(&AppSetting::fileSplitBackColor), L"10,20,30", L"3,2,1"},
         {Radio, {IDC_JOIN_HORIZONTAL, IDC_JOIN_VERTICAL}, field(&AppSetting::fileJoinVert), L"0", L"1"},
         {Colour, {IDC_JOIN_CHOOSE_COLOR, IDC_JOIN_SWATCH}, field(&AppSetting::fileJoinBackColor), L"40,50,60", L"6,5,4"},
     }},
    {{Environment, 4}, // movies
     {
         {Number, {IDC_AVI_FPS}, field(&AppSetting::fileAviFPS), L"15", L"31", nullptr, L"30"},
         // Hundredths of a second, edited in seconds.
         {Number, {IDC_ANIME_ELAPSE}, field(&AppSetting::fileAnimeGifElapse), L"50", L"1.5", L"0.50", L"150"},
         {Colour, {IDC_ANIME_CHOOSE_COLOR, IDC_ANIME_SWATCH}, field(&AppSetting::fileAnimeGifTransparentColor), L"1,2,3", L"9,9,9"},
         {Check, {IDC_ANIME_ASSIGN_COLOR}, field(&AppSetting::fileAnimeGifAssignTransparentColor), L"1", L"0"},
         {Check, {IDC_ANIME_TRANSPARENT}, field(&AppSetting::fileAnimeGifAssignTransparent), L"1", L"0"},
     }},
    {{Environment, 5}, // other options
     {
         {Typed, {IDC_ETC_LAYOUT}, field(&AppSetting::fileLayout), L"old.lay", L"new.lay"},
         {Check, {IDC_ETC_AUTO_RENAME}, field(&AppSetting::fileAutoRename), L"1", L"0"},
         {Check, {IDC_ETC_OVERWRITE}, field(&AppSetting::fileOverWrite), L"0", L"1"},
         {Check, {IDC_ETC_KEEP_FILE_TIME}, field(&AppSetting::fileKeepFileTime), L"0", L"1"},
         {Check, {IDC_ETC_KEEP_DPI}, field(&AppSetting::fileKeepDPI), L"1", L"0"},
         {Check, {IDC_ETC_ENSURE_SETTING}, field(&AppSetting::fileEnsureSetting), L"0", L"1"},
         {Check, {IDC_ETC_ENSURE_LOG}, field(&AppSetting::fileEnsureLog), L"0", L"1"},
         {Check, {IDC_ETC_DELETE_SOURCE}, field(&AppSetting::fileDelSrc), L"0", L"1"},
         {Check, {IDC_ETC_OPEN_FOLDER}, field(&AppSetting::fileOpenFolder), L"0", L"1"},
         {Check, {IDC_ETC_OPEN_LAYOUT}, field(&AppSetting::fileOpenLayout), L"1", L"0"},
     }},
    {{Rename, 0}, // rename rule
     {
         {Typed, {IDC_RENAME_RULE}, field(&AppSetting::renameDefinition), L"photo$index.$ext", L"$fname.$ext"},
         {Check, {IDC_RENAME_ENABLE}, field(&AppSetting::renameEnable), L"1", L"0"},
     }},
    {{Rename, 1}, // sorting
     {
         {Number, {IDC_FILTER_LENGTH}, field(&AppSetting::filterNameLength), L"4", L"12"},
         {Radio,
          {IDC_FILTER_BY_FOLDER, IDC_FILTER_BY_YEAR, IDC_FILTER_BY_MONTH, IDC_FILTER_BY_DAY, IDC_FILTER_BY_NAME},
          field(&AppSetting::filterType),
          L"4",
          L"1"},
         {Check, {IDC_FILTER_ENABLE}, field(&AppSetting::filterEnable), L"1", L"0"},
         // HD Photo is the sixth entry of the list and Bitmap the fifth.
     }},
    {{Rename, 2}, // extensions
     {
         {Typed, {IDC_EXT_JPEG}, extensionOf(0), L"jpeg", L"jpg"},
         {Typed, {IDC_EXT_GIF}, extensionOf(1), L"gif", L"giff"},
         {Typed, {IDC_EXT_TIFF}, extensionOf(2), L"tiff", L"tif"},
         {Typed, {IDC_EXT_PNG}, extensionOf(3), L"png", L"apng"},
         {Typed, {IDC_EXT_HDPHOTO}, extensionOf(5), L"jxr", L"wdp"},
         {Typed, {IDC_EXT_BITMAP}, extensionOf(4), L"dib", L"bmp"},
         {Check, {IDC_EXT_ENABLE}, field(&AppSetting::outputExtEnable), L"1", L"0"},
     }},
    {{Conversion, 6}, {}}, // step order: nothing of its own to exchange
};

// Polls the condition for a moment: whether it came true.
bool comesTrue(const std::function<bool()>& condition)
{
    auto end = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        Sleep(10);
    }
    return true;
}

// The value the control shows, as its row writes it; a colour's swatch, or nothing without one.
std::wstring shownBy(WindowRobot& user, HWND page, const Row& row)
{
    int id = row.ids[0];
    switch (row.kind) {
    case Check:
        return isChecked(page, id) ? L"1" : L"0";
    case Radio:
        for (size_t i = 0; i < row.ids.size(); ++i)
            if (isChecked(page, row.ids[i]))
                return std::to_wstring(i);
        return L"none";
    case Number:
        return fieldText(page, id);
    case Choice:
        return std::to_wstring(selectionOf(page, id));
    case Typed:
        return user.text(page, id);
    case Colour:
        return row.ids.size() > 1 ? asText(swatchColor(page, row.ids[1])) : L"";
    case Slide:
        return std::to_wstring(SendDlgItemMessageW(page, id, TBM_GETPOS, 0, 0));
    }
    return {};
}

// Opens the colour dialog of the button and chooses the colour in it, or cancels it without one; returns the
// colour it opened at.
std::wstring chooseColour(WindowRobot& user, HWND page, int id, const std::wstring& colour)
{
    user.press(page, id);
    HWND dialog = user.waitForWindow(WindowQuery::ownedBy(GetParent(page)));
    // The fields of the colour open with the custom colours.
    user.press(dialog, COLOR_MIX);
    std::wstring opened;
    for (int edit : {COLOR_RED, COLOR_GREEN, COLOR_BLUE})
        opened += (opened.empty() ? L"" : L",") + std::to_wstring(GetDlgItemInt(dialog, edit, nullptr, FALSE));
    if (!colour.empty()) {
        COLORREF chosen = fromText<COLORREF>(colour);
        user.type(dialog, COLOR_RED, std::to_wstring(GetRValue(chosen)));
        user.type(dialog, COLOR_GREEN, std::to_wstring(GetGValue(chosen)));
        user.type(dialog, COLOR_BLUE, std::to_wstring(GetBValue(chosen)));
    }
    user.press(dialog, colour.empty() ? IDCANCEL : IDOK);
    user.waitUntilGone(dialog);
    return opened;
}

// The user gives the control the value as the control shows it.
void enter(WindowRobot& user, HWND page, const Row& row, const std::wstring& value)
{
    int id = row.ids[0];
    switch (row.kind) {
    case Check:
        click(page, id);
        break;
    case Radio:
        click(page, row.ids[std::stoi(value)]);
        break;
    case Number:
        typeNumber(user, page, id, value);
        break;
    case Choice:
        choose(page, id, std::stoi(value));
        break;
    case Typed:
        user.type(page, id, value);
        break;
    case Colour:
        chooseColour(user, page, id, value);
        break;
    case Slide:
        slideTo(page, id, std::stoi(value));
        break;
    }
}

class PageExchangeTest : public PageTest {
protected:
    PageExchangeTest()
    {
        for (const wchar_t* extension : {L"jpeg", L"gif", L"tiff", L"png", L"dib", L"jxr", L"hdp"})
            setting.outputExts.add(extension);
        // The save-folder page selects it in its tree.
        setting.fileFolder = folder.path().c_str();
        for (const PageRows& page : pages)
            for (const Row& row : page.rows)
                row.field.set(setting, row.stored);
    }

    // The sheet over the main window, while the script runs on the page of that tab.
    void runPage(const PageRows& page, const std::function<void(WindowRobot&, HWND sheet, HWND page)>& script)
    {
        WindowRobot robot([&](WindowRobot& user) {
            HWND sheet = user.waitForWindow(WindowQuery::dialog(sheetCaptions[page.place.sheet]));
            script(user, sheet, showPage(user, sheet, page.place.tab));
            user.waitUntilGone(sheet);
        });
        switch (page.place.sheet) {
        case Conversion:
            openConversionSheet(mainWindow.handle(), sample.c_str(), pictures);
            break;
        case Environment:
            openEnvironmentSheet(mainWindow.handle(), pictures);
            break;
        case Format:
            openFormatSheet(mainWindow.handle(), 0);
            break;
        case Rename:
            showRenameSheet(mainWindow.handle());
            break;
        }
        robot.finish();
    }

    CountingMainWindow mainWindow{WM_NULL};
    PictureFolder folder{L"korvilane-page-exchange"};
    std::wstring sample = folder.picture(L"sample.bmp", 40, 20);
};

// Presses Apply and waits for it to go out: the page is applied.
void apply(WindowRobot& user, HWND sheet)
{
    user.press(sheet, ApplyButtonId);
    user.waitUntil([&] { return !isEnabled(sheet, ApplyButtonId); }, L"the apply");
}

// A colour dialog opens at the colour shown, and one that is cancelled changes nothing.
void expectColourDialog(WindowRobot& user, HWND sheet, HWND page, const Row& row, const std::wstring& name)
{
    EXPECT_EQ(chooseColour(user, page, row.ids[0], L""), row.shownText()) << name;
    EXPECT_FALSE(isEnabled(sheet, ApplyButtonId)) << name << " lit by a cancelled dialog";
}

} // namespace

TEST_F(PageExchangeTest, EachControlShowsLightsApplyAndStoresItsSettingAndCancelStoresNothing)
{
    for (const PageRows& page : pages) {
        runPage(page, [&](WindowRobot& user, HWND sheet, HWND shown) {
            for (const Row& row : page.rows) {
                std::wstring fromControl = shownBy(user, shown, row);
                EXPECT_TRUE(fromControl.empty() || fromControl == row.shownText()) << page.name(row) << fromControl;
            }
            // Once the page has painted, all it posted to itself has been handled.
            user.screenshot(sheet, L"shown_" + std::to_wstring(page.place.sheet * 10 + page.place.tab));
            EXPECT_FALSE(isEnabled(sheet, ApplyButtonId)) << sheetCaptions[page.place.sheet] << page.place.tab;
            for (const Row& row : page.rows) {
                EXPECT_TRUE(isEnabled(shown, row.ids.back())) << page.name(row);
                if (row.kind == Colour)
                    expectColourDialog(user, sheet, shown, row, page.name(row));
                enter(user, shown, row, row.entered);
                bool lit = comesTrue([&] { return isEnabled(sheet, ApplyButtonId); });
                EXPECT_TRUE(lit) << page.name(row) << " lights Apply";
                if (!lit)
                    continue;
                apply(user, sheet);
                EXPECT_EQ(row.field.get(setting), row.appliedText()) << page.name(row);
                std::wstring fromControl = shownBy(user, shown, row);
                EXPECT_TRUE(row.kind != Colour || fromControl.empty() || fromControl == row.entered) << page.name(row);
            }
            for (auto row = page.rows.rbegin(); row != page.rows.rend(); ++row)
                enter(user, shown, *row, row->shownText());
            user.press(sheet, IDCANCEL);
        });
        for (const Row& row : page.rows)
            EXPECT_EQ(row.field.get(setting), row.appliedText()) << page.name(row) << " after Cancel";
    }
}
