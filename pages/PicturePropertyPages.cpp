#include "pages/PicturePropertyPages.h"
#include "foundation/Application.h"
#include "foundation/FileSystem.h"
#include "foundation/FindFiles.h"
#include "foundation/Path.h"
#include "imaging/DibImage.h"
#include "jobs/LogMessages.h"
#include "mainwindow/PictureProperties.h"
#include "pages/SettingSheet.h"
#include "pages/dialogIds.h"
#include "settings/Messages.h"
#include "toolkit/WaitCursor.h"

namespace {

constexpr int NameCapacity = 259;
constexpr int HistogramWidth = 258;
constexpr int HistogramHeight = 102;
constexpr int StripHeight = 6;
constexpr int StripGap = 3;
constexpr int PaletteCells = 12;
constexpr int PaletteSide = 16 * PaletteCells + 1;

wstring decimal(int value)
{
    wstring text;
    text.setInt(value);
    return text;
}

void setItemText(HWND page, int id, const wstring& text)
{
    if (!SetDlgItemTextW(page, id, text.buffer()))
        Exception::throwLastError();
}

[[noreturn]] void fail(const SimpleString& message)
{
    throw ApplicationException(message.toWstring().buffer());
}

bool samePath(const wstring& one, const wstring& other)
{
    return CompareStringOrdinal(one.buffer(), -1, other.buffer(), -1, TRUE) == CSTR_EQUAL;
}

// A name that differs only in letter case names the same file, which some file systems will not rename
// onto itself: it goes through a free name of the folder, and back when the second step fails.
void moveRenaming(const Path& source, const Path& target)
{
    if (!samePath(source.getPath(), target.getPath())) {
        moveFile(source.getPath(), target.getPath());
        return;
    }
    wstring aside = Path(source.getPath() + L".rename").makeUnique(L"_").getPath();
    moveFile(source.getPath(), aside);
    try {
        moveFile(aside, target.getPath());
    } catch (const Exception&) {
        moveFile(aside, source.getPath());
        throw;
    }
}

// Runs a page's filling; a page that cannot fill itself closes the sheet.
template <typename Fill>
void fillPage(PropPage& page, Fill fill)
{
    WaitCursor waiting;
    try {
        fill();
    } catch (const Exception&) {
        page.pressCancel();
    }
}

} // namespace

// ---- general ----

void PicturePropertyPage::initialize()
{
    HWND page = getHandle();
    thumbnail.attach(getDlgItem(IDC_PICTURE_THUMBNAIL));
    name.attach(getDlgItem(IDC_PICTURE_NAME));
    shotDateButton.attach(getDlgItem(IDC_PICTURE_USE_SHOT_DATE));
    ok.attach(GetDlgItem(GetParent(page), IDOK));
    thumbnail.setSize(record.thumbnail.width(), record.thumbnail.height());
    if (!record.thumbnail.isEmpty()) {
        auto* image = new DibImage(record.thumbnail);
        try {
            thumbnail.setImage(image);
        } catch (...) {
            delete image;
            throw;
        }
    }
    // The shot date is worth taking only where it differs from the file's times.
    shotDateButton.enable(record.hasShotDate &&
                          (record.shotDate.compare(record.created) != 0 || record.shotDate.compare(record.modified) != 0));
    name.limitText(NameCapacity);
    name.setText(record.fileName);
    setItemText(page, IDC_PICTURE_SIZE, record.sizeText);
    setItemText(page, IDC_PICTURE_CREATED, record.created.toLocaleString(0));
    setItemText(page, IDC_PICTURE_MODIFIED, record.modified.toLocaleString(0));
    setItemText(page, IDC_PICTURE_DIMENSIONS, record.dimensionText);
    setItemText(page, IDC_PICTURE_RESOLUTION, record.resolutionText);
    setItemText(page, IDC_PICTURE_DEPTH, record.depthText);
    setItemText(page, IDC_PICTURE_FRAMES, decimal(record.frameCount));
    setItemText(page, IDC_PICTURE_MODEL, record.cameraModel);
    setItemText(page, IDC_PICTURE_MAKER, record.cameraMaker);
    setItemText(page, IDC_PICTURE_SHOT_DATE, record.hasShotDate ? record.shotDate.toLocaleString(0) : wstring(L"-"));
}

bool PicturePropertyPage::onInitDialog(HWND)
{
    fillPage(*this, [this] { initialize(); });
    return true;
}

void PicturePropertyPage::useShotDate()
{
    if (!record.hasShotDate)
        return;
    shotDateChosen = true;
    HWND page = getHandle();
    wstring shot = record.shotDate.toLocaleString(0);
    setItemText(page, IDC_PICTURE_CREATED, shot);
    setItemText(page, IDC_PICTURE_MODIFIED, shot);
    if (GetFocus() == shotDateButton.getHandle()) {
        shotDateButton.sendMessage(BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
        ok.sendMessage(BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
        ok.setFocus();
        ok.invalidate();
    }
    shotDateButton.enable(false);
}

void PicturePropertyPage::onCommand(HWND, int id, int code)
{
    if (id != IDC_PICTURE_USE_SHOT_DATE || code != BN_CLICKED)
        return;
    try {
        useShotDate();
    } catch (const Exception&) {
        // The page shows what it could; the button stays as it was.
    }
}

bool PicturePropertyPage::onKillActive(HWND window)
{
    if (!name.getText().isEmpty())
        return false;
    if (Application* application = getApplication())
        application->warn(window, Messages::E0024.toWstring().buffer());
    return true;
}

bool PicturePropertyPage::rename()
{
    wstring newName = name.getText();
    if (newName == record.fileName)
        return true;
    if (newName.isEmpty())
        fail(Messages::E0010);
    Path source(record.fullPath);
    Path target(source.getDirectory() + newName);
    // A name with a path in it would move the file elsewhere.
    if (!samePath(target.getDirectory(), source.getDirectory()))
        fail(Messages::E0010);
    wstring oldExtension = source.getExtension();
    if (!oldExtension.isEmpty() && target.getExtension().notEquals(oldExtension.buffer())) {
        int answer = Application::messageBox(getHandle(), Messages::W0006.toWstring(),
                                             MB_YESNOCANCEL | MB_ICONWARNING | MB_DEFBUTTON2);
        if (answer == IDCANCEL)
            return false;
        if (answer == IDNO)
            return true;
    }
    // Another letter case of the same name is the file itself, not another one in the way.
    if (target.exists() && !samePath(target.getPath(), source.getPath()))
        throw ApplicationException(fillIn(Messages::E0009, target.getPath()).buffer());
    moveRenaming(source, target);
    record.fullPath = target.getPath();
    record.fileName = target.getFileName();
    record.changed = true;
    return true;
}

void PicturePropertyPage::applyShotDate()
{
    if (!shotDateChosen || !record.hasShotDate)
        return;
    FindFiles found;
    if (!found.findFirst(record.fullPath.buffer()) || !found.setFileTime(record.shotDate.toSystemTime()))
        fail(Messages::E0011);
    record.created = record.shotDate;
    record.modified = record.shotDate;
    record.changed = true;
}

bool PicturePropertyPage::onApply(HWND window)
{
    try {
        if (!rename())
            return false;
        applyShotDate();
    } catch (const Exception& exception) {
        if (Application* application = getApplication())
            application->showException(window, exception);
    }
    return true;
}

// ---- palette ----

void PalettePage::initialize()
{
    palette.attach(getDlgItem(IDC_PALETTE));
    setItemText(getHandle(), IDC_PALETTE_COUNT, decimal(record.colorCount));
    palette.setColors(record.palette, record.colorCount);
    palette.setCellSize(PaletteCells, PaletteCells);
    palette.setSize(PaletteSide, PaletteSide);
    palette.subclass();
    palette.setEvent(setEvent(this, &PalettePage::onSelected));
}

bool PalettePage::onInitDialog(HWND)
{
    fillPage(*this, [this] { initialize(); });
    return true;
}

void PalettePage::onSelected(Window*, ColorPalette::ColorPaletteEventArgs& args)
{
    try {
        COLORREF colour = palette.getColor(args.index);
        int red = GetRValue(colour);
        int green = GetGValue(colour);
        int blue = GetBValue(colour);
        HWND page = getHandle();
        setItemText(page, IDC_PALETTE_RED, decimal(red));
        setItemText(page, IDC_PALETTE_GREEN, decimal(green));
        setItemText(page, IDC_PALETTE_BLUE, decimal(blue));
        wchar_t value[8];
        swprintf(value, 8, L"%06x", (red << 16) | (green << 8) | blue);
        setItemText(page, IDC_PALETTE_VALUE, value);
    } catch (const Exception&) {
        // A cleared selection has no colour to show.
    }
}

// ---- histogram ----

void HistogramPage::initialize()
{
    chart.attach(getDlgItem(IDC_HISTOGRAM));
    strip.attach(getDlgItem(IDC_HISTOGRAM_STRIP));
    chart.setSize(HistogramWidth, HistogramHeight);
    RECT placed;
    GetWindowRect(chart.getHandle(), &placed);
    MapWindowPoints(nullptr, getHandle(), reinterpret_cast<POINT*>(&placed), 2);
    strip.setBounds(placed.left, placed.bottom + StripGap, HistogramWidth, StripHeight);
    chart.setFrame(RGB(0, 0, 0), ColorHistogram::AllEdges);
    CheckDlgButton(getHandle(), IDC_HISTOGRAM_LUMINANCE, BST_CHECKED);
    sendCommand(getHandle(), IDC_HISTOGRAM_LUMINANCE, BN_CLICKED);
}

bool HistogramPage::onInitDialog(HWND)
{
    fillPage(*this, [this] { initialize(); });
    return true;
}

void HistogramPage::showChannel(int id)
{
    // The shade of value i of the channel; luminance in grey.
    auto shade = [id](int i) -> COLORREF {
        switch (id) {
        case IDC_HISTOGRAM_RED:
            return RGB(i, 0, 0);
        case IDC_HISTOGRAM_GREEN:
            return RGB(0, i, 0);
        case IDC_HISTOGRAM_BLUE:
            return RGB(0, 0, i);
        default:
            return RGB(i, i, i);
        }
    };
    strip.releaseImage();
    Dib shades;
    if (!shades.create(HistogramWidth, StripHeight, 24, RGB(0, 0, 0)))
        Exception::throwLastError();
    HDC dc = shades.getDC();
    for (int i = 0; i < 256; ++i) {
        RECT line{i + 1, 1, i + 2, StripHeight - 1};
        HBRUSH brush = CreateSolidBrush(shade(i));
        if (!brush)
            continue;
        FillRect(dc, &line, brush);
        DeleteObject(brush);
    }
    shades.releaseDC();
    auto* image = new DibImage(shades);
    try {
        strip.setImage(image);
    } catch (...) {
        delete image;
        throw;
    }
    chart.setHistogram(id - IDC_HISTOGRAM_LUMINANCE, histogram);
}

void HistogramPage::onCommand(HWND, int id, int code)
{
    if (id < IDC_HISTOGRAM_LUMINANCE || id > IDC_HISTOGRAM_BLUE || code != BN_CLICKED)
        return;
    try {
        showChannel(id);
    } catch (const Exception&) {
        // The page keeps what it showed.
    }
}

// ---- sheet ----

void showPicturePropertiesSheet(HWND owner, PictureProperties& record)
{
    ColorHistogram::registerClass();
    ColorPalette::registerClass();
    PictureView::registerClass();
    PicturePropertyPage general(record);
    HistogramPage histogramPage(record.histogram.get());
    PalettePage palettePage(record);
    SettingSheet sheet(IDS_PICTURE_PROPERTIES_SHEET);
    sheet.hideApplyButton();
    sheet.add(general, IDD_PICTURE_GENERAL);
    sheet.add(histogramPage, IDD_PICTURE_HISTOGRAM);
    if (record.colorCount > 0)
        sheet.add(palettePage, IDD_PICTURE_PALETTE);
    sheet.show(owner);
}
