#include "pages/ThumbNailPage.h"
#include "pages/environmentPageIds.h"
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

void ThumbNailPage::bindControls()
{
    bind(kindLabel, IDC_THUMB_TYPE_LABEL);
    bind(kind, IDC_THUMB_TYPE);
    bind(titleLabel, IDC_THUMB_TITLE_LABEL);
    bind(title, IDC_THUMB_TITLE);
    bind(charsetLabel, IDC_THUMB_CHARSET_LABEL);
    bind(charset, IDC_THUMB_CHARSET);
    bind(columnsLabel, IDC_THUMB_COLS_LABEL);
    bind(columns, IDC_THUMB_COLS);
    bind(size, IDC_THUMB_SIZE);
    bind(makeImages, IDC_THUMB_IMAGE);
    bind(folderLabel, IDC_THUMB_FOLDER_LABEL);
    bind(folder, IDC_THUMB_FOLDER);
    bind(fileLabel, IDC_THUMB_FILE_LABEL);
    bind(file, IDC_THUMB_FILE);
    bind(serialLabel, IDC_THUMB_SERIAL_LABEL);
    bind(overwrite, IDC_THUMB_OVERWRITE);
    bind(openFile, IDC_THUMB_OPEN_FILE);
}

void ThumbNailPage::fill(const AppSetting& setting)
{
    title.limitText(TextLimit);
    folder.limitText(TextLimit);
    file.limitText(TextLimit);
    // The record keeps the kind number 1 to 6; the list shows them in that order.
    fillList(kind, IDS_THUMBNAIL_KINDS, setting.fileThumbnailType - 1);
    title.setText(setting.fileThumbnailTitle);
    fillList(charset, IDS_THUMBNAIL_CHARSETS, charsetItemOf(setting.fileThumbnailCharset));
    setNumber(columns, 1, 99, setting.fileThumbnailCols);
    fillList(size, IDS_THUMBNAIL_SIZES, setting.fileThumbnailSize);
    folder.setText(setting.fileThumbnailImageFolder);
    file.setText(setting.fileThumbnailImageFile);
    overwrite.setCheck(setting.fileThumbnailImageOverWrite);
    makeImages.setCheck(setting.fileThumbnailImage);
    openFile.setCheck(setting.fileThumbnailOpenFile);
}

void ThumbNailPage::settle()
{
    SettingPage::settle();
    sendCommand(IDC_THUMB_TYPE, CBN_SELCHANGE);
}

void ThumbNailPage::apply(AppSetting& setting)
{
    setting.fileThumbnailType = kind.getCurSel() + 1;
    setting.fileThumbnailTitle = title.getText();
    setting.fileThumbnailCharset = charsetNameOf(charset.getCurSel());
    setting.fileThumbnailCols = wholeNumber(columns);
    setting.fileThumbnailSize = size.getCurSel();
    setting.fileThumbnailImage = makeImages.getCheck();
    setting.fileThumbnailImageFolder = folder.getText();
    setting.fileThumbnailImageFile = file.getText();
    setting.fileThumbnailImageOverWrite = overwrite.getCheck();
    setting.fileThumbnailOpenFile = openFile.getCheck();
}

void ThumbNailPage::command(int id, int code)
{
    switch (id) {
    case IDC_THUMB_TYPE:
        if (code != CBN_SELCHANGE)
            return;
        enableItems({IDC_THUMB_COLS_LABEL, IDC_THUMB_COLS}, hasColumns(kind.getCurSel()));
        break;
    case IDC_THUMB_IMAGE:
        if (code != BN_CLICKED)
            return;
        enableItems({IDC_THUMB_FOLDER_LABEL, IDC_THUMB_FOLDER, IDC_THUMB_FILE_LABEL, IDC_THUMB_FILE,
                     IDC_THUMB_SERIAL_LABEL, IDC_THUMB_OVERWRITE},
                    makeImages.getCheck());
        break;
    case IDC_THUMB_COLS:
    case IDC_THUMB_TITLE:
    case IDC_THUMB_FOLDER:
    case IDC_THUMB_FILE:
        if (code != EN_CHANGE)
            return;
        break;
    case IDC_THUMB_OPEN_FILE:
    case IDC_THUMB_OVERWRITE:
        if (code != BN_CLICKED)
            return;
        break;
    case IDC_THUMB_SIZE:
    case IDC_THUMB_CHARSET:
        if (code != CBN_SELCHANGE)
            return;
        break;
    default:
        return;
    }
    setChanged();
}
