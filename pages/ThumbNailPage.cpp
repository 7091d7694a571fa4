#include "pages/ThumbNailPage.h"
#include "pages/environmentPageIds.h"
#include "pages/environmentSheetStrings.h"
#include "settings/AppSetting.h"
#include "settings/TextEncoding.h"

namespace {

constexpr int TextLimit = 259;

// The items of the encoding list.
enum Charset { Utf8Item = 0, ShiftJisItem = 1, EucItem = 2 };

int charsetItemOf(const wstring& name)
{
    switch (getEncodingCode(name)) {
    case TextEncoding::EucJp:
        return EucItem;
    case TextEncoding::ShiftJis:
        return ShiftJisItem;
    default:
        return Utf8Item;
    }
}

const wchar_t* charsetNameOf(int item)
{
    switch (item) {
    case EucItem:
        return L"euc-jp";
    case ShiftJisItem:
        return L"Shift_JIS";
    default:
        return L"utf-8";
    }
}

// Tiles, albums and joined sheets are laid out in columns; reports and single rows or columns are not.
bool hasColumns(int kindItem)
{
    return kindItem == 0 || kindItem == 2 || kindItem == 3;
}

} // namespace

ThumbNailPage::ThumbNailPage() : SettingPage(IDC_THUMB_IMAGE)
{
}

void ThumbNailPage::exchange(PageExchange& x, AppSetting& s)
{
    // The record keeps the kind number 1 to 6; the list shows them in that order.
    int kind = s.fileThumbnailType - 1;
    x.choice(IDC_THUMB_TYPE, kind, IDS_THUMBNAIL_KINDS);
    x.text(IDC_THUMB_TITLE, s.fileThumbnailTitle, TextLimit);
    int charset = charsetItemOf(s.fileThumbnailCharset);
    x.choice(IDC_THUMB_CHARSET, charset, IDS_THUMBNAIL_CHARSETS);
    x.number(IDC_THUMB_COLS, s.fileThumbnailCols, 1, 99);
    x.choice(IDC_THUMB_SIZE, s.fileThumbnailSize, IDS_THUMBNAIL_SIZES);
    x.text(IDC_THUMB_FOLDER, s.fileThumbnailImageFolder, TextLimit);
    x.text(IDC_THUMB_FILE, s.fileThumbnailImageFile, TextLimit);
    x.check(IDC_THUMB_OVERWRITE, s.fileThumbnailImageOverWrite);
    x.check(IDC_THUMB_IMAGE, s.fileThumbnailImage);
    x.check(IDC_THUMB_OPEN_FILE, s.fileThumbnailOpenFile);
    if (!x.isApplying())
        return;
    s.fileThumbnailType = kind + 1;
    s.fileThumbnailCharset = charsetNameOf(charset);
}

void ThumbNailPage::settle()
{
    SettingPage::settle();
    sendCommand(IDC_THUMB_TYPE, CBN_SELCHANGE);
}

void ThumbNailPage::command(int id, int code)
{
    if (id == IDC_THUMB_TYPE && code == CBN_SELCHANGE)
        enableItems({IDC_THUMB_COLS_LABEL, IDC_THUMB_COLS}, hasColumns(selectionOf(IDC_THUMB_TYPE)));
    if (id == IDC_THUMB_IMAGE && code == BN_CLICKED)
        enableItems({IDC_THUMB_FOLDER_LABEL, IDC_THUMB_FOLDER, IDC_THUMB_FILE_LABEL, IDC_THUMB_FILE,
                     IDC_THUMB_SERIAL_LABEL, IDC_THUMB_OVERWRITE},
                    isChecked(IDC_THUMB_IMAGE));
}
