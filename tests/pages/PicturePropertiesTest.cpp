#include <gtest/gtest.h>
#include <string>
#include "PageTesting.h"
#include "foundation/FindFiles.h"
#include "mainwindow/PictureProperties.h"
#include "pages/PicturePropertyPages.h"
#include "pages/dialogIds.h"
#include "settings/Messages.h"
#include "imaging/gdipImageIO.h"
#include "support/HostilePictureFiles.h"
#include "support/ImagingTestSupport.h"
#include "support/InjectedNewFailure.h"
#include "support/ScratchFolder.h"

namespace {

constexpr wchar_t SheetCaption[] = L"画像のプロパティ";
enum Tab { GeneralTab, HistogramTab, PaletteTab };

// A 40 x 30 BMP: 8 bits with a palette whose entry 3 is orange and fills the picture, or 24 bits of grey.
void writePicture(const std::wstring& path, int bitCount)
{
    Dib picture;
    ASSERT_TRUE(picture.create(40, 30, bitCount, RGB(128, 128, 128)));
    if (bitCount == 8) {
        PALETTEENTRY colours[256] = {};
        colours[3] = {255, 128, 0, 0};
        ASSERT_TRUE(picture.setColorTable(colours));
        for (int y = 0; y < 30; ++y)
            for (int x = 0; x < 40; ++x)
                setDibIndex(picture, x, y, 3);
    }
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_TRUE(picture.saveBmpFile(file));
}

// Red, green and blue of the palette that the deep pictures below carry; the last one orange.
constexpr BYTE CarriedColours[][3] = {{0, 0, 0}, {255, 255, 255}, {0, 0, 255}, {255, 128, 0}};

template <typename Record>
void append(Bytes& bytes, const Record& record)
{
    auto first = reinterpret_cast<const BYTE*>(&record);
    bytes.insert(bytes.end(), first, first + sizeof(record));
}

// A grey 4 x 4 BMP of 24 bits whose header carries the colour table.
Bytes bmpWithColourTable()
{
    BITMAPINFOHEADER header{sizeof(header), 4, 4, 1, 24};
    header.biClrUsed = std::size(CarriedColours);
    BITMAPFILEHEADER file{0x4D42};
    file.bfOffBits = sizeof(file) + sizeof(header) + sizeof(RGBQUAD) * header.biClrUsed;
    file.bfSize = file.bfOffBits + 4 * 12;
    Bytes bytes;
    append(bytes, file);
    append(bytes, header);
    for (const BYTE* colour : CarriedColours)
        append(bytes, RGBQUAD{colour[2], colour[1], colour[0], 0});
    bytes.resize(file.bfSize, 128);
    return bytes;
}

// A grey PNG of 24 bits with the colours as its suggested palette (a PLTE chunk after the header).
Bytes pngWithSuggestedPalette(const std::wstring& path)
{
    Gdiplus::Bitmap picture(4, 4, PixelFormat24bppRGB);
    Gdiplus::Graphics(&picture).Clear(Gdiplus::Color(128, 128, 128));
    EXPECT_TRUE(gdipSaveToFile(path.c_str(), L"image/png", &picture, nullptr));
    Bytes png = readBytes(path);
    Bytes chunk;
    putBigEndian(chunk, sizeof(CarriedColours), 4);
    chunk.insert(chunk.end(), {'P', 'L', 'T', 'E'});
    for (const BYTE* colour : CarriedColours)
        chunk.insert(chunk.end(), colour, colour + 3);
    putBigEndian(chunk, crc32Of(&chunk[4], chunk.size() - 4), 4);
    const size_t headerEnd = 8 + 25;
    png.insert(png.begin() + headerEnd, chunk.begin(), chunk.end());
    return png;
}

bool fileExists(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The name the directory lists for the file, in its own letter case.
std::wstring listedName(const std::wstring& path)
{
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(path.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return {};
    FindClose(search);
    return found.cFileName;
}

int tabCount(HWND sheet)
{
    HWND tabs = reinterpret_cast<HWND>(SendMessageW(sheet, PSM_GETTABCONTROL, 0, 0));
    return static_cast<int>(SendMessageW(tabs, TCM_GETITEMCOUNT, 0, 0));
}

class PicturePropertiesTest : public PageTest {
protected:
    PicturePropertiesTest() { loadMessages(GetModuleHandleW(nullptr)); }

    void runSheet(const std::wstring& path, const WindowRobot::Script& script)
    {
        record.changed = false;
        record.read(path.c_str());
        WindowRobot robot([&](WindowRobot& user) {
            HWND shown = user.waitForWindow(WindowQuery::dialog(SheetCaption));
            script(user);
            user.waitUntilGone(shown);
        });
        showPicturePropertiesSheet(nullptr, record);
        robot.finish();
    }

    static HWND sheetOf(WindowRobot& user) { return user.waitForWindow(WindowQuery::dialog(SheetCaption)); }

    // Types the new name on the general page and presses OK.
    static void renameTo(WindowRobot& user, const wchar_t* name)
    {
        HWND sheet = sheetOf(user);
        user.type(currentPage(sheet), IDC_PICTURE_NAME, name);
        PostMessageW(sheet, PSM_PRESSBUTTON, PSBTN_OK, 0);
    }

    ScratchFolder folder{L"korvilane-properties"};
    PictureProperties record;
};

} // namespace

TEST_F(PicturePropertiesTest, APalettePictureShowsItsDataPaletteAndHistogram)
{
    std::wstring path = folder.file(L"orange.bmp");
    writePicture(path, 8);
    runSheet(path, [&](WindowRobot& user) {
        HWND sheet = sheetOf(user);
        HWND page = currentPage(sheet);
        EXPECT_EQ(tabCount(sheet), 3);
        EXPECT_EQ(user.text(page, IDC_PICTURE_NAME), L"orange.bmp");
        EXPECT_EQ(user.text(page, IDC_PICTURE_DIMENSIONS), L"40 x 30");
        EXPECT_EQ(user.text(page, IDC_PICTURE_DEPTH), L"8bit");
        EXPECT_EQ(user.text(page, IDC_PICTURE_SHOT_DATE), L"-");
        EXPECT_FALSE(isEnabled(page, IDC_PICTURE_USE_SHOT_DATE)) << "no shot date";
        user.screenshot(sheet, L"picture_properties_general");

        page = showPage(user, sheet, PaletteTab);
        SendDlgItemMessageW(page, IDC_PALETTE, ColorPalette::SelectMessage, 3, 0);
        EXPECT_EQ(user.text(page, IDC_PALETTE_RED), L"255");
        EXPECT_EQ(user.text(page, IDC_PALETTE_GREEN), L"128");
        EXPECT_EQ(user.text(page, IDC_PALETTE_BLUE), L"0");
        EXPECT_EQ(user.text(page, IDC_PALETTE_VALUE), L"ff8000");
        user.screenshot(sheet, L"picture_properties_palette");

        page = showPage(user, sheet, HistogramTab);
        click(page, IDC_HISTOGRAM_RED);
        HWND strip = GetDlgItem(page, IDC_HISTOGRAM_STRIP);
        RECT size;
        GetClientRect(strip, &size);
        EXPECT_EQ(size.right, 258);
        EXPECT_EQ(size.bottom, 6);
        RedrawWindow(strip, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        HDC dc = GetDC(strip);
        EXPECT_EQ(GetPixel(dc, 200 + 1, 3), RGB(200, 0, 0)) << "the strip's shade of red 200";
        ReleaseDC(strip, dc);
        HWND chart = GetDlgItem(page, IDC_HISTOGRAM);
        RedrawWindow(chart, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        dc = GetDC(chart);
        EXPECT_EQ(GetPixel(dc, 256, 50), RGB(255, 0, 0)) << "every pixel has red 255";
        ReleaseDC(chart, dc);
        user.screenshot(sheet, L"picture_properties_histogram");
        user.press(sheet, IDCANCEL);
    });
    EXPECT_FALSE(record.changed);
}

TEST_F(PicturePropertiesTest, APictureWithoutPaletteHasNoPalettePage)
{
    std::wstring path = folder.file(L"grey.bmp");
    writePicture(path, 24);
    runSheet(path, [&](WindowRobot& user) {
        HWND sheet = sheetOf(user);
        EXPECT_EQ(tabCount(sheet), 2);
        EXPECT_EQ(user.text(currentPage(sheet), IDC_PICTURE_DEPTH), L"24bit");
        user.press(sheet, IDCANCEL);
    });
}

TEST_F(PicturePropertiesTest, ADeepPictureThatCarriesAPaletteShowsItOnThePalettePage)
{
    const std::pair<std::wstring, Bytes> carriers[] = {
        {L"table.bmp", bmpWithColourTable()},
        {L"suggested.png", pngWithSuggestedPalette(folder.file(L"suggested.png"))},
    };
    for (const auto& [name, bytes] : carriers) {
        std::wstring path = folder.file(name);
        writeBytes(path, bytes);
        runSheet(path, [&](WindowRobot& user) {
            HWND sheet = sheetOf(user);
            EXPECT_EQ(user.text(currentPage(sheet), IDC_PICTURE_DEPTH), L"24bit");
            ASSERT_EQ(tabCount(sheet), 3) << "a palette page";
            HWND page = showPage(user, sheet, PaletteTab);
            EXPECT_EQ(user.text(page, IDC_PALETTE_COUNT), L"4");
            SendDlgItemMessageW(page, IDC_PALETTE, ColorPalette::SelectMessage, 3, 0);
            EXPECT_EQ(user.text(page, IDC_PALETTE_VALUE), L"ff8000");
            user.screenshot(sheet, L"picture_properties_carried_palette_" + name.substr(name.size() - 3));
            user.press(sheet, IDCANCEL);
        });
    }
}

// Wherever memory runs out while the properties are read, the histogram's drawings included, the user is told
// E0008; a record that was read has its histogram.
TEST_F(PicturePropertiesTest, MemoryRunningOutWhileReadingIsE0008AndARecordReadHasItsHistogram)
{
    std::wstring path = folder.file(L"memory.bmp");
    writePicture(path, 8);
    for (int successes = 0;; ++successes) {
        PictureProperties attempt;
        bool struck = false;
        try {
            InjectedNewFailure failure(successes);
            attempt.read(path.c_str());
            struck = failure.struck();
        } catch (const ApplicationException& refused) {
            ASSERT_EQ(std::wstring(refused.getText()), Messages::E0008.get()) << "failing allocation " << successes;
            continue;
        }
        ASSERT_NE(attempt.histogram, nullptr) << "failing allocation " << successes;
        if (!struck)
            break;
    }
}

TEST_F(PicturePropertiesTest, RenamingKeepsTheFolderAsksAboutANewExtensionAndAllowsAnotherCase)
{
    std::wstring path = folder.file(L"img.bmp");
    writePicture(path, 24);
    runSheet(path, [&](WindowRobot& user) { renameTo(user, L"IMG.bmp"); });
    EXPECT_EQ(listedName(folder.file(L"img.bmp")), L"IMG.bmp") << "a case-only rename is no clash";
    EXPECT_TRUE(record.changed);

    writePicture(folder.file(L"taken.bmp"), 24);
    runSheet(folder.file(L"IMG.bmp"), [&](WindowRobot& user) {
        renameTo(user, L"taken.bmp");
        std::wstring text = user.answerMessageBox(IDOK);
        EXPECT_NE(text.find(folder.file(L"taken.bmp")), std::wstring::npos) << "names the file in the way";
    });
    EXPECT_FALSE(record.changed);

    runSheet(folder.file(L"IMG.bmp"), [&](WindowRobot& user) {
        renameTo(user, L"..\\up.bmp");
        EXPECT_EQ(user.answerMessageBox(IDOK), Messages::E0010.toWstring().buffer());
    });
    EXPECT_TRUE(fileExists(folder.file(L"IMG.bmp")));

    runSheet(folder.file(L"IMG.bmp"), [&](WindowRobot& user) {
        renameTo(user, L"IMG.png");
        EXPECT_EQ(user.answerMessageBox(IDNO), Messages::W0006.toWstring().buffer());
    });
    EXPECT_TRUE(fileExists(folder.file(L"IMG.bmp"))) << "No keeps the name";

    runSheet(folder.file(L"IMG.bmp"), [&](WindowRobot& user) {
        renameTo(user, L"renamed.bmp");
    });
    EXPECT_TRUE(fileExists(folder.file(L"renamed.bmp")));
    EXPECT_EQ(record.fullPath, wstring(folder.file(L"renamed.bmp").c_str()));
}

TEST_F(PicturePropertiesTest, TheShotDateBecomesTheFilesTimes)
{
    std::wstring path = folder.file(L"shot.bmp");
    writePicture(path, 24);
    record.read(path.c_str());
    // Wine reads no shot dates from metadata: the record gets one as the reader would give it.
    SYSTEMTIME shot{2019, 7, 0, 14, 10, 30, 15, 0};
    record.hasShotDate = true;
    record.shotDate = DateTime(shot);
    WindowRobot robot([&](WindowRobot& user) {
        HWND sheet = sheetOf(user);
        HWND page = currentPage(sheet);
        ASSERT_TRUE(isEnabled(page, IDC_PICTURE_USE_SHOT_DATE));
        user.press(page, IDC_PICTURE_USE_SHOT_DATE);
        user.waitUntil([&] { return !isEnabled(page, IDC_PICTURE_USE_SHOT_DATE); }, L"the button done");
        EXPECT_EQ(user.text(page, IDC_PICTURE_CREATED), std::wstring(record.shotDate.toLocaleString(0).buffer()));
        user.screenshot(sheet, L"picture_properties_shot_date");
        user.press(sheet, IDOK);
    });
    showPicturePropertiesSheet(nullptr, record);
    robot.finish();
    EXPECT_TRUE(record.changed);
    FindFiles found;
    ASSERT_TRUE(found.findFirst(path.c_str()));
    SYSTEMTIME written{};
    ASSERT_TRUE(found.getLocalTime(FindFiles::LastWrite, written));
    EXPECT_EQ(written.wYear, 2019);
    EXPECT_EQ(written.wMonth, 7);
    EXPECT_EQ(written.wDay, 14);
    EXPECT_EQ(written.wHour, 10);
    EXPECT_EQ(written.wMinute, 30);
}
