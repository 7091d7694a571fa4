// The command-line mode end to end: the real korvilane.exe, started without a display, converts pictures that
// the tests make with GDI+; the tests read back the exit code, the outputs and the log bytes.
#include <windows.h>
#include <gdiplus.h>
#include <gtest/gtest.h>
#include <atomic>
#include <functional>
#include <regex>
#include <memory>
#include <string>
#include <thread>
#include <tuple>
#include <vector>
#include "DatedFiles.h"
#include "imaging/BitDepth.h"
#include "imaging/clipboardImage.h"
#include "imaging/gdipImageIO.h"
#include "imaging/gifBlocks.h"
#include "jobs/RenameUtil.h"
#include "settings/AppSetting.h"
#include "support/ComTesting.h"
#include "support/FlatJpeg.h"
#include "support/GreyPng.h"
#include "support/HostilePictureFiles.h"
#include "support/ImagingTestSupport.h"
#include "support/ProgramCopy.h"
#include "support/SmallDisk.h"
#include "support/pollUntil.h"

namespace {

bool exists(const wstring& path)
{
    return GetFileAttributesW(path.buffer()) != INVALID_FILE_ATTRIBUTES;
}

std::wstring text(const wstring& value)
{
    return value.buffer();
}

std::wstring quoted(const wstring& path)
{
    return L"\"" + text(path) + L"\"";
}

// Left half dark red, right half blue: plain enough for every format, two colours for the GIF palette.
void makePicture(const wstring& path, const wchar_t* mimeType, int width, int height)
{
    Gdiplus::Bitmap bitmap(width, height, PixelFormat24bppRGB);
    {
        Gdiplus::Graphics graphics(&bitmap);
        graphics.Clear(Gdiplus::Color(255, 160, 20, 20));
        Gdiplus::SolidBrush blue(Gdiplus::Color(255, 20, 40, 200));
        graphics.FillRectangle(&blue, width / 2, 0, width - width / 2, height);
    }
    // Wine's GIF encoder writes an empty picture from 24 bits: it gets the 8 bits that a GIF holds.
    std::unique_ptr<Gdiplus::Bitmap> indexed;
    if (wcscmp(mimeType, L"image/gif") == 0)
        indexed.reset(gdipConvertBitDepth(&bitmap, 8, ReduceMedianCutExact, false, nullptr));
    ASSERT_TRUE(gdipSaveToFile(path.buffer(), mimeType, indexed ? indexed.get() : &bitmap, nullptr)) << text(path);
}

ULONGLONG writeTimeOf(const wstring& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data{};
    GetFileAttributesExW(path.buffer(), GetFileExInfoStandard, &data);
    return static_cast<ULONGLONG>(data.ftLastWriteTime.dwHighDateTime) << 32 | data.ftLastWriteTime.dwLowDateTime;
}

std::string signatureOf(const Bytes& bytes)
{
    auto startsWith = [&](std::initializer_list<BYTE> head) {
        return bytes.size() >= head.size() && std::equal(head.begin(), head.end(), bytes.begin());
    };
    if (startsWith({0xFF, 0xD8, 0xFF}))
        return "JPEG";
    if (startsWith({0x89, 'P', 'N', 'G'}))
        return "PNG";
    if (startsWith({'B', 'M'}))
        return "BMP";
    if (startsWith({'G', 'I', 'F', '8'}))
        return "GIF";
    if (startsWith({'I', 'I', 0x2A, 0}))
        return "TIFF";
    return "unknown";
}

// "PNG 40x30 24": the file's format by its signature, then size and bits per pixel as GDI+ decodes it.
std::string describe(const wstring& path)
{
    Bytes bytes = readBytes(path.buffer());
    if (bytes.empty())
        return "missing";
    std::unique_ptr<Gdiplus::Bitmap> bitmap(Gdiplus::Bitmap::FromFile(path.buffer()));
    if (!bitmap || bitmap->GetLastStatus() != Gdiplus::Ok)
        return signatureOf(bytes) + " undecodable";
    return signatureOf(bytes) + " " + std::to_string(bitmap->GetWidth()) + "x" + std::to_string(bitmap->GetHeight()) +
           " " + std::to_string(Gdiplus::GetPixelFormatSize(bitmap->GetPixelFormat()));
}

// The date and time of start and end lines, which the tests cannot know, as "T".
std::wstring masked(const std::wstring& log)
{
    static const std::wregex stamp(L"\\d{4}:\\d{2}:\\d{2} \\d{2}:\\d{2}:\\d{2}");
    return std::regex_replace(log, stamp, L"T");
}

std::wstring decoded(const Bytes& bytes, size_t from, UINT codePage)
{
    if (bytes.size() <= from)
        return L"";
    const char* start = reinterpret_cast<const char*>(bytes.data()) + from;
    int length = static_cast<int>(bytes.size() - from);
    std::wstring result(MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, start, length, nullptr, 0), L'\0');
    MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, start, length, result.data(), static_cast<int>(result.size()));
    return result;
}

// A UTF-8 log after its byte-order mark, with the stamps masked; "no mark" when the mark is missing.
std::wstring utf8Log(const wstring& path)
{
    Bytes bytes = readBytes(path.buffer());
    if (bytes.size() < 3 || bytes[0] != 0xEF || bytes[1] != 0xBB || bytes[2] != 0xBF)
        return L"no mark";
    return masked(decoded(bytes, 3, CP_UTF8));
}

std::wstring utf16Log(const wstring& path)
{
    Bytes bytes = readBytes(path.buffer());
    if (bytes.size() < 2 || bytes[0] != 0xFF || bytes[1] != 0xFE)
        return L"no mark";
    return masked(std::wstring(reinterpret_cast<const wchar_t*>(bytes.data() + 2), (bytes.size() - 2) / 2));
}

// Shift_JIS has no mark: the text starts at once.
std::wstring shiftJisLog(const wstring& path)
{
    return masked(decoded(readBytes(path.buffer()), 0, 932));
}

// The log lines of the mode, with "T" for the date and time.
const std::wstring startLine = L"---- 変換開始(T) ----\r\n\r\n";
const std::wstring stopLine = L"処理を中断しました。\r\n";

std::wstring endLines(int count)
{
    return L"\r\n---- 変換終了(T) ----\r\n\r\n出力ファイル数:" + std::to_wstring(count) + L"\r\n";
}

std::wstring errorLines(int count)
{
    return L"\r\n---- 異常終了(T) ----\r\n\r\n出力ファイル数:" + std::to_wstring(count) + L"\r\n";
}

std::wstring convertedLine(const wstring& source, const wstring& target)
{
    return text(source) + L" -> " + text(target) + L"\r\n";
}

std::wstring failureLine(const wstring& source)
{
    return L"(failure)" + text(source) + L"\r\n";
}

std::wstring deletedLine(const wstring& source)
{
    return text(source) + L" を削除しました。\r\n";
}

class CommandLineModeTest : public GdiplusTest {
protected:
    // One copy of the program for every test.
    static void SetUpTestSuite() { copy = std::make_unique<ProgramCopy>(L"korvilane-cli-program"); }
    static void TearDownTestSuite() { copy.reset(); }

    int run(const std::wstring& arguments) { return copy->run(arguments); }

    wstring path(const wchar_t* name) const { return pathIn(scratch, name); }
    wstring folder(const wchar_t* name) const
    {
        CreateDirectoryW(path(name).buffer(), nullptr);
        return path(name);
    }
    wstring picture(const wchar_t* name, const wchar_t* mimeType, int width = 40, int height = 30)
    {
        makePicture(path(name), mimeType, width, height);
        return path(name);
    }

    // A settings file as the program's own save writes it: the defaults with the changes made.
    wstring settingsFile(const wchar_t* name, const std::function<void(AppSetting&)>& change)
    {
        wstring file = path(name);
        AppSetting setting;
        setting.setSectionsAndPath(file);
        setting.load(L"korvilane", nullptr, GetModuleHandleW(nullptr));
        change(setting);
        setting.save(L"korvilane", nullptr);
        return file;
    }

    ComApartment apartment;
    ScratchFolder scratch{L"korvilane-cli"};
    static inline std::unique_ptr<ProgramCopy> copy;
};

} // namespace

TEST_F(CommandLineModeTest, FileConvertsOnePictureWithItsResolutionAndLogsItInUtf8)
{
    wstring source = picture(L"a.png", L"image/png");
    wstring target = path(L"out.bmp");
    wstring log = path(L"log.txt");

    // With "/u" the outcome box fails at once without a display; the exit code stays the batch's.
    EXPECT_EQ(run(L"/file " + quoted(source) + L" " + quoted(target) + L" -FORMAT bmp /dpi 300 150 /u /log " +
                  quoted(log)),
              0);

    EXPECT_EQ(describe(target), "BMP 40x30 24");
    std::unique_ptr<Gdiplus::Bitmap> written(Gdiplus::Bitmap::FromFile(target.buffer()));
    EXPECT_NEAR(written->GetHorizontalResolution(), 300, 0.5);
    EXPECT_NEAR(written->GetVerticalResolution(), 150, 0.5);
    EXPECT_EQ(utf8Log(log), startLine + convertedLine(source, target) + endLines(1));
}

TEST_F(CommandLineModeTest, FileIndirectWritesBesideTheSourceWithTheDefaultExtension)
{
    wstring png = picture(L"b.png", L"image/png");
    wstring gif = picture(L"c.gif", L"image/gif");
    wstring log16 = path(L"log16.txt");
    wstring logSjis = path(L"logsjis.txt");

    EXPECT_EQ(run(L"/fileindirect " + quoted(png) + L" /format JPEG /log " + quoted(log16) + L" /le UTF-16"), 0);
    EXPECT_EQ(run(L"/fileindirect " + quoted(gif) + L" /format tiff /log " + quoted(logSjis) + L" /le sjis"), 0);

    EXPECT_EQ(describe(path(L"b.jpg")), "JPEG 40x30 24");
    // The GIF's own depth comes back.
    EXPECT_EQ(describe(path(L"c.tif")), "TIFF 40x30 8");
    EXPECT_EQ(utf16Log(log16), startLine + convertedLine(png, path(L"b.jpg")) + endLines(1));
    EXPECT_EQ(shiftJisLog(logSjis), startLine + convertedLine(gif, path(L"c.tif")) + endLines(1));
}

TEST_F(CommandLineModeTest, AGreyPngComesBackAsRgbWithoutAlpha)
{
    wstring source = path(L"grey.png");
    writeBytes(source.buffer(), greyPng(40, 30, 8, [](int x, int y) { return x * 5 + y; }));
    wstring target = path(L"out.png");

    ASSERT_EQ(run(L"/file " + quoted(source) + L" " + quoted(target) + L" /format PNG"), 0);

    Bytes written = readBytes(target.buffer());
    ASSERT_GT(written.size(), 26u);
    EXPECT_EQ(written[24], 8) << "bits per channel";
    EXPECT_EQ(written[25], 2) << "RGB";
}

TEST_F(CommandLineModeTest, DirConvertsEachPictureOnceThroughThePatternOfItsOwnExtension)
{
    wstring source = folder(L"src");
    wstring target = folder(L"out");
    wstring log = path(L"log.txt");
    picture(L"src\\a.bmp", L"image/bmp");
    picture(L"src\\x.jpeg", L"image/jpeg");
    picture(L"src\\c.gif", L"image/gif");
    picture(L"src\\b.png", L"image/png");
    writeText(path(L"src\\notes.txt").buffer(), "not a picture");
    CreateDirectoryW(path(L"src\\folder.png").buffer(), nullptr);

    EXPECT_EQ(run(L"/dir " + quoted(source) + L" " + quoted(target) + L" /format PNG /log " + quoted(log)), 0);

    EXPECT_EQ(describe(path(L"out\\a.png")), "PNG 40x30 24");
    EXPECT_EQ(describe(path(L"out\\x.png")), "PNG 40x30 24");
    EXPECT_EQ(describe(path(L"out\\c.png")), "PNG 40x30 8");
    EXPECT_EQ(describe(path(L"out\\b.png")), "PNG 40x30 24");
    EXPECT_FALSE(exists(path(L"out\\notes.png")));
    // In the order of the readable types: bmp, jpg, jpeg, jpe, gif, tif, tiff, png.
    EXPECT_EQ(utf8Log(log), startLine + convertedLine(path(L"src\\a.bmp"), path(L"out\\a.png")) +
                                convertedLine(path(L"src\\x.jpeg"), path(L"out\\x.png")) +
                                convertedLine(path(L"src\\c.gif"), path(L"out\\c.png")) +
                                convertedLine(path(L"src\\b.png"), path(L"out\\b.png")) + endLines(4));
}

TEST_F(CommandLineModeTest, DirNeedsTwoExistingFoldersAndAtLeastOnePicture)
{
    wstring empty = folder(L"empty");
    wstring target = folder(L"out");
    wstring picturePath = picture(L"a.png", L"image/png");
    wstring log = path(L"log.txt");

    EXPECT_EQ(run(L"/dir " + quoted(path(L"missing")) + L" " + quoted(target) + L" /log " + quoted(log)), 1);
    EXPECT_EQ(run(L"/dir " + quoted(picturePath) + L" " + quoted(target) + L" /log " + quoted(log)), 1);
    EXPECT_EQ(run(L"/dir " + quoted(empty) + L" " + quoted(path(L"missing")) + L" /log " + quoted(log)), 1);
    EXPECT_FALSE(exists(log));

    EXPECT_EQ(run(L"/dir " + quoted(empty) + L" " + quoted(target) + L" /log " + quoted(log)), 1);
    EXPECT_EQ(utf8Log(log), startLine + endLines(0));
}

TEST_F(CommandLineModeTest, ParLoadsTheWholeSettingsRecordFromXmlOrIni)
{
    wstring png = picture(L"a.png", L"image/png");
    wstring bmp = picture(L"b.bmp", L"image/bmp");
    wstring xml = settingsFile(L"small.xml", [](AppSetting& setting) {
        setting.resizeEnable = true;
        setting.resizeAdjust = 0;
        setting.resizeWidth = 20;
        setting.resizeHeight = 15;
        setting.editFormat = 3;
    });
    wstring ini = settingsFile(L"eight.ini", [](AppSetting& setting) {
        setting.bitmapEnable = true;
        setting.bitmapBpp = 1;
    });

    // Without "/format" the output format is the file's Edit/Format.
    EXPECT_EQ(run(L"/par " + quoted(xml) + L" /fileindirect " + quoted(bmp)), 0);
    EXPECT_EQ(run(L"/par " + quoted(ini) + L" /file " + quoted(png) + L" " + quoted(path(L"out.bmp")) +
                  L" /format BMP"),
              0);

    EXPECT_EQ(describe(path(L"b.png")), "PNG 20x15 24");
    EXPECT_EQ(describe(path(L"out.bmp")), "BMP 40x30 8");
}

TEST_F(CommandLineModeTest, WithoutAnEncodingOptionTheLogIsWrittenInTheStoredEncoding)
{
    wstring source = picture(L"a.png", L"image/png");
    wstring log = path(L"log.txt");
    wstring settings = settingsFile(L"sjis.xml",
                                    [](AppSetting& setting) { setting.commandLogEncoding = L"Shift_JIS"; });

    EXPECT_EQ(run(L"/par " + quoted(settings) + L" /file " + quoted(source) + L" " + quoted(path(L"out.png")) +
                  L" /log " + quoted(log)),
              0);

    EXPECT_EQ(shiftJisLog(log), startLine + convertedLine(source, path(L"out.png")) + endLines(1));
}

TEST_F(CommandLineModeTest, SettingsOrLogThatCannotBeOpenedEndTheRunBeforeAnythingIsWritten)
{
    wstring source = picture(L"a.png", L"image/png");
    wstring broken = path(L"broken.xml");
    writeText(broken.buffer(), "<korvilane><Resize><element name=\"Enable\" value=\"true\"/>");
    wstring target = path(L"out.png");
    wstring log = path(L"log.txt");

    EXPECT_EQ(run(L"/par " + quoted(path(L"missing.xml")) + L" /file " + quoted(source) + L" " + quoted(target) +
                  L" /log " + quoted(log)),
              1);
    EXPECT_EQ(run(L"/par " + quoted(broken) + L" /file " + quoted(source) + L" " + quoted(target) + L" /log " +
                  quoted(log)),
              1);
    // Files that parse but hold no settings: an empty INI file, any other XML document.
    wstring empty = path(L"empty.ini");
    writeText(empty.buffer(), "");
    wstring layout = path(L"layout.xml");
    writeText(layout.buffer(), "<?xml version=\"1.0\"?><layout><item name=\"Enable\" value=\"true\"/></layout>");
    for (const wstring& notSettings : {empty, layout})
        EXPECT_EQ(run(L"/par " + quoted(notSettings) + L" /file " + quoted(source) + L" " + quoted(target) + L" /log " +
                      quoted(log)),
                  1);
    EXPECT_EQ(run(L"/file " + quoted(source) + L" " + quoted(target) + L" /log " + quoted(path(L"none\\log.txt"))),
              1);

    EXPECT_FALSE(exists(target));
    EXPECT_FALSE(exists(log));
    EXPECT_FALSE(exists(path(L"none")));
}

TEST_F(CommandLineModeTest, ExistingTargetStopsTheBatchAndNoSourceIsDeleted)
{
    wstring source = folder(L"src");
    wstring target = folder(L"out");
    wstring log = path(L"log.txt");
    picture(L"src\\a.bmp", L"image/bmp");
    picture(L"src\\c.gif", L"image/gif");
    picture(L"src\\b.png", L"image/png");
    writeText(path(L"out\\c.png").buffer(), "earlier file");

    EXPECT_EQ(run(L"/dir " + quoted(source) + L" " + quoted(target) + L" /format PNG /delsrc /log " + quoted(log)),
              1);

    EXPECT_EQ(describe(path(L"out\\a.png")), "PNG 40x30 24");
    EXPECT_EQ(readBytes(path(L"out\\c.png").buffer()), Bytes({'e', 'a', 'r', 'l', 'i', 'e', 'r', ' ', 'f', 'i', 'l', 'e'}));
    EXPECT_FALSE(exists(path(L"out\\b.png")));
    EXPECT_TRUE(exists(path(L"src\\a.bmp")));
    EXPECT_TRUE(exists(path(L"src\\c.gif")));
    EXPECT_TRUE(exists(path(L"src\\b.png")));
    EXPECT_EQ(utf8Log(log), startLine + convertedLine(path(L"src\\a.bmp"), path(L"out\\a.png")) +
                                failureLine(path(L"src\\c.gif")) + stopLine + endLines(1));
}

TEST_F(CommandLineModeTest, OverwriteReplacesTheTargetAndDeleteSourcesFollowsSuccess)
{
    wstring source = folder(L"src");
    wstring target = folder(L"out");
    wstring log = path(L"log.txt");
    picture(L"src\\a.bmp", L"image/bmp");
    picture(L"src\\c.gif", L"image/gif");
    writeText(path(L"out\\c.png").buffer(), "earlier file");

    EXPECT_EQ(run(L"/dir " + quoted(source) + L" " + quoted(target) + L" /format PNG /overwrite /delsrc /log " +
                  quoted(log)),
              0);

    EXPECT_EQ(describe(path(L"out\\a.png")), "PNG 40x30 24");
    EXPECT_EQ(describe(path(L"out\\c.png")), "PNG 40x30 8");
    EXPECT_FALSE(exists(path(L"src\\a.bmp")));
    EXPECT_FALSE(exists(path(L"src\\c.gif")));
    EXPECT_EQ(utf8Log(log), startLine + convertedLine(path(L"src\\a.bmp"), path(L"out\\a.png")) +
                                convertedLine(path(L"src\\c.gif"), path(L"out\\c.png")) + endLines(2) + L"\r\n" +
                                deletedLine(path(L"src\\a.bmp")) + deletedLine(path(L"src\\c.gif")));
}

TEST_F(CommandLineModeTest, OverwriteNeverReplacesAnOutputOfTheSameBatch)
{
    wstring source = folder(L"src");
    wstring target = folder(L"out");
    wstring log = path(L"log.txt");
    picture(L"src\\a.bmp", L"image/bmp");
    picture(L"src\\b.png", L"image/png", 20, 10);
    wstring settings = settingsFile(L"same.ini", [](AppSetting& setting) {
        setting.renameEnable = true;
        setting.renameDefinition = L"same.$ext";
    });

    EXPECT_EQ(run(L"/par " + quoted(settings) + L" /dir " + quoted(source) + L" " + quoted(target) +
                  L" /format PNG /overwrite /delsrc /log " + quoted(log)),
              1);

    EXPECT_EQ(describe(path(L"out\\same.png")), "PNG 40x30 24");
    EXPECT_TRUE(exists(path(L"src\\a.bmp")));
    EXPECT_TRUE(exists(path(L"src\\b.png")));
    EXPECT_EQ(utf8Log(log), startLine + convertedLine(path(L"src\\a.bmp"), path(L"out\\same.png")) +
                                failureLine(path(L"src\\b.png")) + stopLine + endLines(1));
}

TEST_F(CommandLineModeTest, AutoRenameNumbersAnExistingTargetAndFileTimesAreKept)
{
    wstring source = picture(L"a.png", L"image/png");
    setLocalWriteTime(source, localTime(2018, 3, 9, 12, 0, 0));
    wstring target = path(L"out.png");
    writeText(target.buffer(), "earlier file");
    wstring settings = settingsFile(L"auto.ini", [](AppSetting& setting) {
        setting.fileAutoRename = true;
        setting.fileKeepFileTime = true;
    });
    wstring log = path(L"log.txt");

    EXPECT_EQ(run(L"/par " + quoted(settings) + L" /file " + quoted(source) + L" " + quoted(target) +
                  L" /format PNG /log " + quoted(log)),
              0);

    EXPECT_EQ(readBytes(target.buffer()).size(), 12u);
    EXPECT_EQ(describe(path(L"out_1.png")), "PNG 40x30 24");
    EXPECT_EQ(writeTimeOf(path(L"out_1.png")), writeTimeOf(source));
    EXPECT_EQ(utf8Log(log), startLine + convertedLine(source, path(L"out_1.png")) + endLines(1));
}

TEST_F(CommandLineModeTest, PictureThatCannotBeReadFailsAndItsSourceStays)
{
    wstring source = path(L"bad.png");
    writeText(source.buffer(), "not a picture at all");
    wstring target = path(L"out.jpg");
    wstring log = path(L"log.txt");

    EXPECT_EQ(run(L"/file " + quoted(source) + L" " + quoted(target) + L" /delsrc /log " + quoted(log)), 1);

    EXPECT_FALSE(exists(target));
    EXPECT_TRUE(exists(source));
    EXPECT_EQ(utf8Log(log), startLine + failureLine(source) + stopLine + endLines(0));
}

// A disk that fills up while a picture is written, whatever the format and however much room it had, fails the
// picture by its name and leaves nothing on it; a picture that fits is written.
TEST_F(CommandLineModeTest, OnAFullDiskThePictureFailsByItsNameAndLeavesNoFile)
{
    std::wstring disk = smallDiskFolder();
    if (disk.empty())
        GTEST_SKIP() << "needs the small disk that the full_disk entry mounts as root";
    // More than the largest room in every format.
    wstring large = path(L"large.png"), small = picture(L"small.png", L"image/png"), log = path(L"log.txt");
    BitmapPtr noise(noisyBitmap(1600, 1200));
    ASSERT_TRUE(gdipSaveToFile(large.buffer(), L"image/png", noise.get(), nullptr));
    const ULONGLONG rooms[] = {0, 4096, 100 * 1024, 1024 * 1024};
    for (const wchar_t* format : {L"JPEG", L"GIF", L"PNG", L"TIFF", L"BMP", L"WDP"}) {
        wstring target = (disk + L"\\out." + format).c_str();
        auto convert = [&](const wstring& source) {
            return run(L"/file " + quoted(source) + L" " + quoted(target) + L" /format " + format + L" /log " +
                       quoted(log));
        };
        for (ULONGLONG room : rooms) {
            DiskFiller filler(disk, room);
            EXPECT_EQ(convert(large), 1) << format << " " << room;
            EXPECT_EQ(utf8Log(log), startLine + failureLine(large) + stopLine + endLines(0)) << format << " " << room;
            EXPECT_EQ(filesBesideFiller(disk), std::vector<std::wstring>()) << format << " " << room;
        }
        // Wine has no HD Photo encoder.
        bool writes = wcscmp(format, L"WDP") != 0 || !runningUnderWine();
        DiskFiller filler(disk, rooms[3]);
        EXPECT_EQ(convert(small), writes ? 0 : 1) << format;
        EXPECT_EQ(filesBesideFiller(disk),
                  writes ? std::vector<std::wstring>{L"out." + std::wstring(format)} : std::vector<std::wstring>())
            << format;
        DeleteFileW(target.buffer());
    }
}

// Files of forms that no real picture has, which crash or stall the platform's decoders, reach none of them: each
// fails by its name.
TEST_F(CommandLineModeTest, HostilePicturesFailByTheirNamesBeforeAnyDecoder)
{
    Bytes png = readBytes(picture(L"sound.png", L"image/png").buffer());
    Bytes jpeg = readBytes(picture(L"sound.jpg", L"image/jpeg").buffer());
    const std::pair<const wchar_t*, Bytes> files[] = {
        {L"no-colours.gif", gifWithoutColourTables()},
        {L"rationals.tif", bigEndianTiff(282)},
        {L"shorts.tif", bigEndianTiff(296)},
        {L"texts.png", withChunks(png, 20000)},
        {L"backgrounds.png", withChunks(png, 40000, "bKGD")},
        {L"junk.jpg", declaringSize(jpeg, 8192, 16384, {0})},
        {L"app1.jpg", declaringSize(jpeg, 8192, 16384, {0xFF, 0xE1, 0, 2, 'E', 'x', 'i', 'f', 0xFF, 0xE1, 0, 0})},
        {L"arithmetic.jpg", declaringSize(jpeg, 8192, 16384, {}, true)},
        {L"frames.png", withChunks(png, 40000, "fcTL")},
        {L"frame-data.png", withChunks(png, 40000, "fdAT")},
        {L"text-bombs.png", withTextBombs(png, 16, "zTXt")},
        {L"international-bombs.png", withTextBombs(png, 16, "iTXt")},
        {L"scans.jpg", endlessScans(299)},
        {L"comment.jpg", paddedScan(true)},
        {L"trailer.jpg", paddedScan(false)},
    };
    for (const auto& [name, bytes] : files) {
        wstring source = path(name);
        writeBytes(source.buffer(), bytes);
        wstring log = path((std::wstring(name) + L".log").c_str());
        ULONGLONG start = GetTickCount64();
        EXPECT_EQ(run(L"/file " + quoted(source) + L" " + quoted(source + L".png") + L" /log " + quoted(log)), 1)
            << text(source);
        EXPECT_LT(GetTickCount64() - start, 2000u) << text(source);
        EXPECT_EQ(utf8Log(log), startLine + failureLine(source) + stopLine + endLines(0));
    }
}

// Real pictures near the bounds that keep the hostile ones from the decoders: animations of many frames or of
// frames in many pieces, text, and JPEGs of forms that the platform's encoders do not write.
TEST_F(CommandLineModeTest, RarePicturesNearTheBoundsOfHostileOnesConvert)
{
    std::string words;
    while (words.size() < 200000)
        words += "An ordinary line of a description, as a program keeps it beside the picture.\n";
    Bytes description(words.begin(), words.end());
    Bytes grey = greyPng(40, 30, 8, [](int x, int y) { return x * 5 + y; });
    // Many small segments of other programs, an EXIF block and a colour profile in three, before the frame.
    Bytes segments;
    for (BYTE marker = 0xE3; marker <= 0xEF; ++marker)
        for (int i = 0; i < 3; ++i)
            appendJpegSegment(segments, marker, Bytes(100, marker));
    Bytes exif = {'E', 'x', 'i', 'f', 0, 0, 'I', 'I', 42, 0, 8, 0, 0, 0};
    exif.resize(60000);
    appendJpegSegment(segments, 0xE1, exif);
    for (BYTE part = 1; part <= 3; ++part) {
        Bytes profile = {'I', 'C', 'C', '_', 'P', 'R', 'O', 'F', 'I', 'L', 'E', 0, part, 3};
        profile.resize(60000);
        appendJpegSegment(segments, 0xE2, profile);
    }
    const std::tuple<const wchar_t*, Bytes, const char*> files[] = {
        {L"pixels.png", animatedPng(1100, 1, 1), "PNG 1x1 32"},
        {L"frames.png", animatedPng(1500, 8, 8), "PNG 8x8 32"},
        {L"pieces.png", animatedPng(100, 16, 16, 25), "PNG 16x16 32"},
        {L"texts.png",
         withCompressedText(withCompressedText(grey, "zTXt", storedZlib(description)), "iTXt", storedZlib(description)),
         "PNG 40x30 24"},
        {L"progressive.jpg", progressiveJpeg(segments), "PNG 512x512 24"},
        {L"restarts.jpg", restartedJpeg(), "PNG 512x512 24"},
    };
    for (const auto& [name, bytes, converted] : files) {
        wstring source = path(name);
        writeBytes(source.buffer(), bytes);
        EXPECT_EQ(run(L"/file " + quoted(source) + L" " + quoted(source + L".png") + L" /format PNG"), 0)
            << text(source);
        EXPECT_EQ(describe(source + L".png"), converted) << text(source);
    }
}

// WIC, and Wine's GDI+, decode a GIF's first frame at its own size: the picture is the logical screen all the
// same, the frame at its place and nothing of it around.
TEST_F(CommandLineModeTest, GifFrameKeepsItsPlaceOnTheLogicalScreen)
{
    wstring source = picture(L"frame.gif", L"image/gif", 20, 20);
    Bytes gif = readBytes(source.buffer());
    GifPicture frame;
    ASSERT_TRUE(findGifPicture(gif, frame));
    for (auto [offset, value] :
         {std::pair{size_t(6), 40}, {8, 30}, {frame.imageStart + 1, 10}, {frame.imageStart + 3, 5}})
        gif[offset] = static_cast<BYTE>(value);
    writeBytes(source.buffer(), gif);
    wstring target = path(L"placed.png");

    ASSERT_EQ(run(L"/file " + quoted(source) + L" " + quoted(target) + L" /format PNG"), 0);

    std::unique_ptr<Gdiplus::Bitmap> placed(Gdiplus::Bitmap::FromFile(target.buffer()));
    ASSERT_EQ(describe(target), "PNG 40x30 32");
    auto colour = [&](int x, int y) {
        Gdiplus::Color pixel;
        placed->GetPixel(x, y, &pixel);
        return pixel.GetValue();
    };
    const Gdiplus::ARGB red = 0xFFA01414;
    const Gdiplus::ARGB blue = 0xFF1428C8;
    EXPECT_EQ(colour(10, 5), red);
    EXPECT_EQ(colour(29, 24), blue);
    for (auto [x, y] : {std::pair{9, 5}, {10, 4}, {30, 24}, {29, 25}, {0, 0}, {39, 29}})
        EXPECT_EQ(colour(x, y), 0u) << x << "," << y;
}

TEST_F(CommandLineModeTest, InvalidOrIncompleteOptionsDoNothing)
{
    wstring source = picture(L"a.png", L"image/png");
    Bytes before = readBytes(source.buffer());
    std::wstring files = L" /file " + quoted(source) + L" " + quoted(path(L"out.png"));
    std::wstring log = L" /log " + quoted(path(L"log.txt"));
    std::wstring dir = L"/dir " + quoted(path(L".")) + L" " + quoted(folder(L"out")) + L" /format PNG /log ";
    wchar_t shortName[MAX_PATH] = {};
    GetShortPathNameW(source.buffer(), shortName, MAX_PATH);
    wstring settings = settingsFile(L"par.xml", [](AppSetting&) {});
    Bytes settingsBefore = readBytes(settings.buffer());
    std::wstring ownSettings = text(Path(copy->path().c_str()).getDirectory()) + L"korvilane.xml";
    const std::wstring lines[] = {
        // A log in the place of a picture of the run, however it is spelled.
        files + L" /log " + quoted(source),
        files + L" /log " + quoted(shortName),
        files + L" /log " + quoted(path(L"OUT.PNG")),
        dir + quoted(path(L"A.png")),
        dir + quoted(path(L"out\\a.png")),
        // Or in the place of the settings file of "/par", or of the program's own.
        L"/par " + quoted(settings) + L" /file " + quoted(source) + L" " + quoted(path(L"par.png")) + L" /log " +
            quoted(settings),
        L"/file " + quoted(source) + L" " + quoted(path(L"own.png")) + L" /log " + quoted(ownSettings.c_str()),
        L"/file " + quoted(source) + log,
        files + log + L" /format XYZ",
        files + log + L" /bogus",
        files + log + L" /le latin1",
        files + log + L" /dpi 0 72",
        files + log + L" /dpi 1,5 300",
    };
    for (const std::wstring& line : lines)
        EXPECT_EQ(run(line), 1) << line;

    for (const wchar_t* output : {L"out.png", L"out\\a.png", L"par.png", L"own.png", L"log.txt"})
        EXPECT_FALSE(exists(path(output))) << output;
    EXPECT_TRUE(readBytes(source.buffer()) == before);
    EXPECT_TRUE(readBytes(settings.buffer()) == settingsBefore);
    EXPECT_FALSE(exists(ownSettings.c_str()));
}

TEST_F(CommandLineModeTest, RenameRuleAndDateFoldersShapeDirOutputs)
{
    wstring source = folder(L"src");
    wstring target = folder(L"out");
    wstring log = path(L"log.txt");
    // A BMP holds no metadata at all, a PNG none of the shooting date.
    picture(L"src\\a.bmp", L"image/bmp");
    picture(L"src\\b.png", L"image/png");
    setLocalWriteTime(path(L"src\\a.bmp"), localTime(2019, 7, 4, 10, 20, 30));
    setLocalWriteTime(path(L"src\\b.png"), localTime(2020, 12, 31, 23, 59, 58));
    wstring settings = settingsFile(L"rename.xml", [](AppSetting& setting) {
        setting.renameEnable = true;
        setting.renameDefinition = L"pic_$fname_$index_$orgyear$orgmonth$orgday-$hour$minute$second.$ext";
        setting.renameIndexBase = 5;
        setting.renameIndexIncrement = 2;
        setting.renameIndexPadding = 3;
        setting.filterEnable = true;
        setting.filterType = 2;
    });

    EXPECT_EQ(run(L"/par " + quoted(settings) + L" /dir " + quoted(source) + L" " + quoted(target) +
                  L" /format PNG /log " + quoted(log)),
              0);

    // The shooting date is not in these pictures: the update time stands in for it.
    wstring first = path(L"out\\201907\\pic_a_005_20190704-102030.png");
    wstring second = path(L"out\\202012\\pic_b_007_20201231-235958.png");
    EXPECT_EQ(describe(first), "PNG 40x30 24");
    EXPECT_EQ(describe(second), "PNG 40x30 24");
    EXPECT_EQ(utf8Log(log), startLine + convertedLine(path(L"src\\a.bmp"), first) +
                                convertedLine(path(L"src\\b.png"), second) + endLines(2));
}

// The rule's name is that picture's failure; a sub-folder that cannot be made is an error of the batch.
TEST_F(CommandLineModeTest, RuleThatNamesNoUsableFileFailsThePictureByItsName)
{
    wstring source = folder(L"src");
    wstring target = folder(L"out");
    wstring log = path(L"log.txt");
    picture(L"src\\a.bmp", L"image/bmp");
    wstring badName = settingsFile(L"bad.ini", [](AppSetting& setting) {
        setting.renameEnable = true;
        setting.renameDefinition = L"a:b.$ext";
    });
    wstring badFolder = settingsFile(L"folder.ini", [](AppSetting& setting) {
        setting.filterEnable = true;
        setting.filterType = static_cast<int>(FolderSortMode::SourceFolder);
    });
    writeText(path(L"out\\src").buffer(), "a file where the sub-folder goes");

    EXPECT_EQ(run(L"/par " + quoted(badName) + L" /dir " + quoted(source) + L" " + quoted(target) + L" /log " +
                  quoted(log)),
              1);
    EXPECT_EQ(utf8Log(log), startLine + failureLine(path(L"src\\a.bmp")) + stopLine + endLines(0));

    EXPECT_EQ(run(L"/par " + quoted(badFolder) + L" /dir " + quoted(source) + L" " + quoted(target) + L" /log " +
                  quoted(log)),
              1);
    EXPECT_EQ(utf8Log(log), startLine + errorLines(0));
}

TEST_F(CommandLineModeTest, ClipboardPictureComesBackConverted)
{
    std::unique_ptr<Gdiplus::Bitmap> original(Gdiplus::Bitmap::FromFile(picture(L"a.png", L"image/png").buffer()));
    saveImageToClipboard(original.get(), nullptr);
    wstring settings = settingsFile(L"half.ini", [](AppSetting& setting) {
        setting.resizeEnable = true;
        setting.resizeAdjust = 0;
        setting.resizeWidth = 20;
        setting.resizeHeight = 15;
    });
    wstring log = path(L"log.txt");

    EXPECT_EQ(run(L"/par " + quoted(settings) + L" /fileindirect :CLIPBOARD /format BMP /log " + quoted(log)), 0);

    std::unique_ptr<Gdiplus::Bitmap> pasted(pasteImageFromClipboard());
    ASSERT_TRUE(pasted);
    EXPECT_EQ(pasted->GetWidth(), 20u);
    EXPECT_EQ(pasted->GetHeight(), 15u);
    EXPECT_EQ(utf8Log(log), startLine + L"[clipboard data] -> [clipboard data]\r\n" + endLines(1));
}

TEST_F(CommandLineModeTest, ParFileWithOnlySomeSectionsIsReadWithTheDefaultsForTheRest)
{
    wstring source = folder(L"src");
    wstring target = folder(L"out");
    wstring log = path(L"log.txt");
    picture(L"src\\a.png", L"image/png");
    // A rename rule kept on its own.
    wstring settings = path(L"rename.xml");
    writeText(settings.buffer(), "<?xml version=\"1.0\"?>\r\n<korvilane>\r\n  <Rename>\r\n"
                                 "    <element name=\"Enable\" value=\"true\"/>\r\n"
                                 "    <element name=\"Definition\" value=\"x$fname.$ext\"/>\r\n"
                                 "  </Rename>\r\n</korvilane>\r\n");

    EXPECT_EQ(run(L"/par " + quoted(settings) + L" /dir " + quoted(source) + L" " + quoted(target) + L" /log " +
                  quoted(log)),
              0);

    // Without "/format" the output format is the file's, here the default JPEG.
    EXPECT_EQ(describe(path(L"out\\xa.jpg")), "JPEG 40x30 24");
    EXPECT_EQ(utf8Log(log), startLine + convertedLine(path(L"src\\a.png"), path(L"out\\xa.jpg")) + endLines(1));
}

TEST_F(CommandLineModeTest, AStartDoesNotWaitWhileAnotherParsesAHugeSettingsFile)
{
    wstring source = picture(L"a.png", L"image/png");
    // 100,000 sections that the program does not know (6.6 MB, within what it reads), and the output format among
    // the ones it does.
    std::string huge = "<?xml version=\"1.0\"?>\r\n<korvilane>\r\n";
    for (int i = 0; i < 100000; ++i) {
        std::string name = "Section" + std::to_string(i);
        huge += "  <" + name + "><element name=\"Width\" value=\"1\"/></" + name + ">\r\n";
    }
    huge += "  <Edit><element name=\"Format\" value=\"3\"/></Edit>\r\n</korvilane>\r\n";
    wstring settings = path(L"huge.xml");
    writeText(settings.buffer(), huge);

    // A copy of its own, whose runs alone meet in its mutex: while that exists, the first run is there.
    ProgramCopy both(L"korvilane-overlap-program", L"overlap.exe");
    std::atomic<int> firstCode{-1};
    std::thread first([&] {
        firstCode = both.run(L"/par " + quoted(settings) + L" /file " + quoted(source) + L" " +
                             quoted(path(L"first.png")));
    });
    // The mutex is made as the run starts, just before it loads its settings; the huge file then keeps it parsing
    // far longer than a second run takes.
    EXPECT_TRUE(pollUntil(
        [&] {
            HANDLE mutex = OpenMutexW(SYNCHRONIZE, FALSE, L"overlapMutex");
            if (mutex)
                CloseHandle(mutex);
            return mutex || firstCode != -1;
        },
        std::chrono::seconds(60)));
    EXPECT_EQ(firstCode, -1) << "the first run had ended before the second began";
    ULONGLONG start = GetTickCount64();
    EXPECT_EQ(both.run(L"/file " + quoted(source) + L" " + quoted(path(L"second.png")) + L" /format PNG"), 0);
    // A plain conversion takes well under a second, and the program's start about as much again.
    EXPECT_LT(GetTickCount64() - start, 6000u);
    // The first writes its picture as soon as it has parsed the file, which a second run held up by the parse
    // would wait for.
    EXPECT_FALSE(exists(path(L"first.png"))) << "the second run waited until the first had parsed its file";
    first.join();
    EXPECT_EQ(firstCode, 0);
    EXPECT_EQ(describe(path(L"first.png")), "PNG 40x30 24");
    EXPECT_EQ(describe(path(L"second.png")), "PNG 40x30 24");
}
