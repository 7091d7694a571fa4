#include <gtest/gtest.h>
#include <memory>
#include <string>
#include "foundation/SettingPProfile.h"
#include "foundation/XmlSetting.h"
#include "settings/AppSetting.h"
#include "support/ComTesting.h"
#include "support/ExpectCode.h"
#include "support/ScratchFolder.h"
#include "support/fileBytes.h"
#include "toolkit/Font.h"

namespace {

const wchar_t root[] = L"Korvilane";

enum Kind { Int, Bool, Text, Number, Colour, Face };

// One key of the settings file: its default as a save writes it (null: the key is not written), a value that
// differs from it, and the range of ranged numbers.
struct Key {
    const wchar_t* section;
    const wchar_t* key;
    Kind kind;
    const wchar_t* byDefault;
    const wchar_t* sample;
    const wchar_t* low = nullptr;
    const wchar_t* high = nullptr;
};

const Key keys[] = {
    {L"Window", L"Left", Int, L"-2147483648", L"-5"},
    {L"Window", L"Top", Int, L"-2147483648", L"7"},
    {L"Window", L"Width", Int, L"600", L"1024"},
    {L"Window", L"Height", Int, L"375", L"700"},
    {L"Window", L"LeftWidth", Int, L"320", L"400"},
    {L"Window", L"CWName", Int, L"230", L"231"},
    {L"Window", L"CWSize", Int, L"68", L"69"},
    {L"Window", L"CWType", Int, L"120", L"121"},
    {L"Window", L"CWDate", Int, L"120", L"122"},
    {L"Window", L"LogLeft", Int, L"-2147483648", L"10"},
    {L"Window", L"LogTop", Int, L"-2147483648", L"11"},
    {L"Window", L"LogWidth", Int, L"320", L"500"},
    {L"Window", L"LogHeight", Int, L"240", L"300"},
    {L"Window", L"LogLines", Int, L"4096", L"1000", L"256", L"32768"},
    {L"Window", L"LogSkipColor", Colour, L"0xff0000", L"0x123456"},
    {L"Window", L"LogFailureColor", Colour, L"0xff", L"0xabcdef"},
    {L"Window", L"UiFontFaces", Text, nullptr, L"ＭＳ ゴシック:10;Tahoma:8"},
    {L"Window", L"IndexSetting", Int, L"0", L"3", L"0", L"5"},
    {L"Window", L"IndexConvertSetting", Int, L"0", L"4", L"0", L"6"},
    {L"Window", L"IndexRenameSetting", Int, L"0", L"1", L"0", L"2"},
    {L"File", L"InitFolder", Bool, L"false", L"true"},
    {L"File", L"Folder", Text, L"", L"C:\\写真\\出力"},
    {L"File", L"SaveSrcFolder", Bool, L"false", L"true"},
    {L"File", L"OverWrite", Bool, L"false", L"true"},
    {L"File", L"DelSrc", Bool, L"false", L"true"},
    {L"File", L"AutoRename", Bool, L"false", L"true"},
    {L"File", L"KeepFileTime", Bool, L"false", L"true"},
    {L"File", L"KeepDPI", Bool, L"false", L"true"},
    {L"File", L"EnsureSetting", Bool, L"false", L"true"},
    {L"File", L"EnsureLog", Bool, L"false", L"true"},
    {L"File", L"OpenFolder", Bool, L"true", L"false"},
    {L"File", L"OpenLayout", Bool, L"false", L"true"},
    {L"File", L"Layout", Text, L"", L"C:\\配置.layout"},
    {L"File", L"ThumbnailLang", Text, L"ja", L"en"},
    {L"File", L"ThumbnailCharset", Text, L"utf-8", L"shift_jis"},
    {L"File", L"ThumbnailTitle", Text, L"Korvilane", L"作品集"},
    {L"File", L"ThumbnailType", Text, L"tile", L"album"},
    {L"File", L"ThumbnailCols", Int, L"4", L"6", L"1", L"99"},
    {L"File", L"ThumbnailImage", Bool, L"true", L"false"},
    {L"File", L"ThumbnailImageFolder", Text, L"image", L"画像"},
    {L"File", L"ThumbnailImageFile", Text, L"thumbnail", L"縮小"},
    {L"File", L"ThumbnailImageOverWrite", Bool, L"false", L"true"},
    {L"File", L"ThumbnailSize", Int, L"1", L"2", L"0", L"2"},
    {L"File", L"ThumbnailOpenFile", Bool, L"true", L"false"},
    {L"File", L"SplitWidth", Int, L"32", L"64", L"1", L"9999"},
    {L"File", L"SplitHeight", Int, L"32", L"48", L"1", L"9999"},
    {L"File", L"SplitBackColor", Colour, L"0x0", L"0x10"},
    {L"File", L"JoinVert", Bool, L"false", L"true"},
    {L"File", L"JoinBackColor", Colour, L"0x0", L"0x20"},
    {L"File", L"JoinMaxWidth", Int, L"4096", L"2048", L"1024", L"32768"},
    {L"File", L"AviFPS", Int, L"8", L"24", L"1", L"30"},
    {L"File", L"AnimeGifElapse", Int, L"50", L"100", L"1", L"65535"},
    {L"File", L"AnimeGifAssignTransparent", Bool, L"false", L"true"},
    {L"File", L"AnimeGifAssignTransparentColor", Bool, L"false", L"true"},
    {L"File", L"AnimeGifTransparentColor", Colour, L"0x0", L"0xff00ff"},
    {L"File", L"SSMaxImageSize", Int, L"800", L"1600", L"100", L"32768"},
    {L"File", L"Help", Text, L"korvilane.html", L"ヘルプ.html"},
    {L"Edit", L"Format", Int, L"0", L"3", L"0", L"5"},
    {L"View", L"Toolbar", Bool, L"true", L"false"},
    {L"View", L"Statusbar", Bool, L"true", L"false"},
    {L"View", L"Preview", Bool, L"true", L"false"},
    {L"View", L"LogWindow", Bool, L"false", L"true"},
    {L"View", L"FileListDisplayMode", Int, L"0", L"3", L"0", L"4"},
    {L"View", L"Group", Bool, L"false", L"true"},
    {L"View", L"PreviewMode", Int, L"2", L"1", L"0", L"2"},
    {L"View", L"PreviewPos", Int, L"2", L"3", L"0", L"3"},
    {L"View", L"TopMost", Bool, L"false", L"true"},
    {L"View", L"PreviewInitWidth", Int, L"768", L"640", L"100", L"9999"},
    {L"View", L"PreviewInitHeight", Int, L"480", L"400", L"100", L"9999"},
    {L"View", L"PreviewInitMode", Int, L"0", L"2", L"0", L"2"},
    {L"View", L"PreviewUseTransparent", Bool, L"false", L"true"},
    {L"View", L"PreviewTransparent", Int, L"0", L"50", L"0", L"90"},
    {L"View", L"PreviewBack", Int, L"6", L"2", L"0", L"6"},
    {L"View", L"PreviewShowHints", Bool, L"true", L"false"},
    {L"View", L"PreviewMakeIcon", Bool, L"true", L"false"},
    {L"View", L"ViewType", Int, L"0", L"1", L"0", L"1"},
    {L"View", L"PrintDefault", Bool, L"false", L"true"},
    {L"View", L"PrintOrientation", Bool, L"false", L"true"},
    {L"View", L"PrintPaperSize", Int, L"9", L"11", L"1", L"256"},
    {L"Command", L"LogEncoding", Text, L"utf-8", L"euc-jp"},
    {L"Trimming", L"Enable", Bool, L"false", L"true"},
    {L"Trimming", L"Left", Int, L"0", L"1", L"0", L"9999"},
    {L"Trimming", L"Top", Int, L"0", L"2", L"0", L"9999"},
    {L"Trimming", L"Right", Int, L"0", L"3", L"0", L"9999"},
    {L"Trimming", L"Bottom", Int, L"0", L"4", L"0", L"9999"},
    {L"Trimming", L"LeftPer", Number, L"0", L"12.5", L"0", L"100"},
    {L"Trimming", L"TopPer", Number, L"0", L"1.25", L"0", L"100"},
    {L"Trimming", L"RightPer", Number, L"0", L"33", L"0", L"100"},
    {L"Trimming", L"BottomPer", Number, L"0", L"0.01", L"0", L"100"},
    {L"Trimming", L"Unit", Int, L"0", L"1", L"0", L"1"},
    {L"Trimming", L"AutoScan", Bool, L"false", L"true"},
    {L"Trimming", L"ScanLeft", Bool, L"true", L"false"},
    {L"Trimming", L"ScanTop", Bool, L"true", L"false"},
    {L"Trimming", L"ScanRight", Bool, L"true", L"false"},
    {L"Trimming", L"ScanBottom", Bool, L"true", L"false"},
    {L"Trimming", L"AssignScanColor", Bool, L"false", L"true"},
    {L"Trimming", L"ScanColor", Colour, L"0x0", L"0xfefefe"},
    {L"Trimming", L"Offset", Int, L"0", L"10", L"0", L"254"},
    {L"Trimming", L"Space", Int, L"0", L"5", L"0", L"100"},
    {L"Resize", L"Enable", Bool, L"false", L"true"},
    {L"Resize", L"Width", Int, L"800", L"1920", L"1", L"9999"},
    {L"Resize", L"Height", Int, L"800", L"1080", L"1", L"9999"},
    {L"Resize", L"WidthPer", Number, L"100", L"150.5", L"25", L"400"},
    {L"Resize", L"HeightPer", Number, L"100", L"25", L"25", L"400"},
    {L"Resize", L"Unit", Int, L"0", L"1", L"0", L"1"},
    {L"Resize", L"Adjust", Int, L"1", L"5", L"0", L"5"},
    {L"Resize", L"Orientation", Int, L"0", L"2", L"0", L"3"},
    {L"Resize", L"Scale", Number, L"1", L"2.5", L"0", L"10"},
    {L"Resize", L"BackColor", Colour, L"0x0", L"0x808080"},
    {L"Resize", L"BackColorTransparent", Bool, L"false", L"true"},
    {L"Resize", L"RenderPosition", Int, L"4", L"9", L"0", L"9"},
    {L"Resize", L"Stretch", Bool, L"true", L"false"},
    {L"Resize", L"Interpolation", Int, L"1", L"2", L"0", L"2"},
    {L"Text", L"Enable", Bool, L"false", L"true"},
    {L"Text", L"FontSize", Int, L"18", L"36", L"0", L"255"},
    {L"Text", L"FontWeight", Int, L"400", L"700", L"0", L"999"},
    {L"Text", L"FontFace", Face, L"", L"ＭＳ 明朝"},
    {L"Text", L"FontItalic", Bool, L"true", L"false"},
    {L"Text", L"FontUnderline", Bool, L"false", L"true"},
    {L"Text", L"FontStrikeOut", Bool, L"false", L"true"},
    {L"Text", L"FontCharSet", Int, L"128", L"1", L"0", L"255"},
    {L"Text", L"Color", Colour, L"0x80ff", L"0x1"},
    {L"Text", L"ColorAlpha", Int, L"255", L"128", L"0", L"255"},
    {L"Text", L"Angle", Number, L"0", L"-45.5", L"-359.99", L"359.99"},
    {L"Text", L"BackColor", Colour, L"0xffffff", L"0x2"},
    {L"Text", L"NoBackColor", Bool, L"true", L"false"},
    {L"Text", L"Position", Int, L"8", L"0", L"0", L"8"},
    {L"Text", L"OffsetX", Int, L"0", L"-20", L"-999", L"999"},
    {L"Text", L"OffsetY", Int, L"0", L"30", L"-999", L"999"},
    {L"Text", L"Text", Text, L"", L"こんにちは 世界"},
    {L"Rotate", L"Enable", Bool, L"false", L"true"},
    {L"Rotate", L"Assign", Int, L"0", L"3", L"0", L"4"},
    {L"Rotate", L"AssignAngle", Number, L"0", L"90.25", L"-359.99", L"359.99"},
    {L"Rotate", L"AssignAngleColor", Colour, L"0x0", L"0x3"},
    {L"Rotate", L"AssignAngleColorTransparent", Bool, L"false", L"true"},
    {L"Rotate", L"AngleH", Number, L"0", L"-10.5", L"-89.99", L"89.99"},
    {L"Rotate", L"AngleV", Number, L"0", L"89.99", L"-89.99", L"89.99"},
    {L"Rotate", L"SlopeColor", Colour, L"0x0", L"0x4"},
    {L"Rotate", L"SlopeColorTransparent", Bool, L"false", L"true"},
    {L"Effect", L"Enable", Bool, L"false", L"true"},
    {L"Effect", L"Bright", Int, L"0", L"-100", L"-255", L"255"},
    {L"Effect", L"Posterization", Int, L"256", L"16", L"2", L"256"},
    {L"Effect", L"Filter", Text, L"", L"emboss"},
    {L"Effect", L"WarmLevel", Int, L"16", L"32", L"0", L"255"},
    {L"Effect", L"CoolLevel", Int, L"16", L"48", L"0", L"255"},
    {L"Effect", L"Saturation", Number, L"0.1618", L"0.5", L"0", L"1"},
    {L"Effect", L"ContrastTimes", Int, L"1", L"2", L"1", L"5"},
    {L"Effect", L"EqualizeLevelS", Number, L"0.4", L"0.75", L"0", L"1"},
    {L"Effect", L"SoftTimes", Int, L"1", L"3", L"1", L"5"},
    {L"Effect", L"SharpTimes", Int, L"1", L"4", L"1", L"5"},
    {L"Effect", L"PixelateSize", Int, L"8", L"16", L"2", L"100"},
    {L"Effect", L"BlurScale", Int, L"20", L"40", L"1", L"100"},
    {L"Effect", L"Alpha", Int, L"128", L"64", L"0", L"255"},
    {L"Effect", L"Preview", Bool, L"false", L"true"},
    {L"Effect", L"PreviewResize", Bool, L"true", L"false"},
    {L"Appearance", L"Enable", Bool, L"false", L"true"},
    {L"Appearance", L"BackColor", Colour, L"0x0", L"0x5"},
    {L"Appearance", L"RgnType", Int, L"0", L"2", L"0", L"2"},
    {L"Appearance", L"EllipseWidth", Int, L"0", L"20", L"0", L"9999"},
    {L"Appearance", L"EllipseHeight", Int, L"0", L"21", L"0", L"9999"},
    {L"Appearance", L"FrameWidth", Int, L"0", L"22", L"0", L"999"},
    {L"Appearance", L"FrameHeight", Int, L"0", L"23", L"0", L"999"},
    {L"Order", L"First", Text, L"", L"resize"},
    {L"Order", L"Second", Text, L"", L"trimming"},
    {L"Order", L"Third", Text, L"", L"text"},
    {L"Order", L"Forth", Text, L"", L"rotate"},
    {L"Order", L"Fifth", Text, L"", L"convert"},
    {L"Order", L"Sixth", Text, L"", L"appearance"},
    {L"Jpeg", L"Enable", Bool, L"false", L"true"},
    {L"Jpeg", L"Assign", Int, L"0", L"1", L"0", L"1"},
    {L"Jpeg", L"Quality", Int, L"75", L"90", L"1", L"100"},
    {L"Jpeg", L"AssignFileSize", Int, L"50", L"200", L"1", L"999"},
    {L"Jpeg", L"Exif", Bool, L"false", L"true"},
    {L"Gif", L"Enable", Bool, L"false", L"true"},
    {L"Gif", L"AssignTransparentColor", Bool, L"false", L"true"},
    {L"Gif", L"TransparentColor", Colour, L"0x0", L"0x6"},
    {L"Tiff", L"Enable", Bool, L"false", L"true"},
    {L"Tiff", L"Compression", Int, L"0", L"2", L"0", L"4"},
    {L"Tiff", L"ErrorDiffusion", Bool, L"false", L"true"},
    {L"Tiff", L"Transparent", Bool, L"false", L"true"},
    {L"Tiff", L"AssignTransparentColor", Bool, L"false", L"true"},
    {L"Tiff", L"TransparentColor", Colour, L"0x0", L"0x7"},
    {L"Tiff", L"Alpha", Int, L"0", L"100", L"0", L"255"},
    {L"Png", L"Enable", Bool, L"false", L"true"},
    {L"Png", L"AssignTransparentColor", Bool, L"false", L"true"},
    {L"Png", L"TransparentColor", Colour, L"0x0", L"0x8"},
    {L"Png", L"Alpha", Int, L"0", L"101", L"0", L"255"},
    {L"Hdp", L"Enable", Bool, L"false", L"true"},
    {L"Hdp", L"Assign", Int, L"0", L"1", L"0", L"1"},
    {L"Hdp", L"Quality", Int, L"90", L"80", L"1", L"100"},
    {L"Hdp", L"AssignFileSize", Int, L"50", L"300", L"1", L"999"},
    {L"Hdp", L"Lossless", Bool, L"false", L"true"},
    {L"Bitmap", L"Enable", Bool, L"false", L"true"},
    {L"Bitmap", L"Bpp", Int, L"0", L"3", L"0", L"3"},
    {L"Bitmap", L"Pal8", Int, L"0", L"1", L"0", L"1"},
    {L"Bitmap", L"Pal4", Int, L"0", L"1", L"0", L"1"},
    {L"Bitmap", L"ErrorDiffusion", Bool, L"false", L"true"},
    {L"Rename", L"Enable", Bool, L"false", L"true"},
    {L"Rename", L"Definition", Text, L"image$index.$ext", L"写真$index.$ext"},
    {L"Rename", L"IndexBase", Int, L"0", L"100", L"0", L"9999"},
    {L"Rename", L"IndexIncrement", Int, L"1", L"2", L"1", L"9999"},
    {L"Rename", L"IndexPadding", Int, L"1", L"3", L"1", L"4"},
    {L"Filter", L"Enable", Bool, L"false", L"true"},
    {L"Filter", L"Type", Int, L"0", L"4", L"0", L"4"},
    {L"Filter", L"NameLength", Int, L"4", L"8", L"1", L"260"},
    {L"OutputExt", L"Enable", Bool, L"false", L"true"},
    {L"OutputExt", L"Jpeg", Text, L"jpg", L"jpeg"},
    {L"OutputExt", L"Gif", Text, L"gif", L"gif2"},
    {L"OutputExt", L"Tiff", Text, L"tif", L"tiff"},
    {L"OutputExt", L"Png", Text, L"png", L"png2"},
    {L"OutputExt", L"Bitmap", Text, L"bmp", L"dib"},
    {L"OutputExt", L"Wdp", Text, L"wdp", L"wdp2"},
    {L"OutputExt", L"Hdp", Text, L"hdp", L"jxr"},
    {L"Spi", L"Count", Int, L"0", L"2"},
    {L"Spi", L"Path0", Text, nullptr, L"C:\\spi\\ifjpeg.spi"},
    {L"Spi", L"Path1", Text, nullptr, L"C:\\プラグイン\\ifpng.spi"},
    {L"Applications", L"Count", Int, L"0", L"2"},
    {L"Applications", L"Application0.Path", Text, nullptr, L"%ProgramFiles%\\viewer.exe"},
    {L"Applications", L"Application0.Exts", Text, nullptr, L"jpg;png"},
    {L"Applications", L"Application0.Name", Text, nullptr, L"ビューアー"},
    {L"Applications", L"Application1.Path", Text, nullptr, L"C:\\b.exe"},
    {L"Applications", L"Application1.Exts", Text, nullptr, L"gif"},
    {L"Applications", L"Application1.Name", Text, nullptr, L"B"},
};

const wchar_t absent[] = L"<absent>";

bool isConversionSection(const wchar_t* section)
{
    static const wchar_t* const conversion[] = {L"Trimming", L"Resize", L"Text", L"Rotate", L"Effect",
                                                L"Appearance", L"Order", L"Jpeg", L"Gif", L"Tiff", L"Png",
                                                L"Hdp", L"Bitmap"};
    for (const wchar_t* name : conversion) {
        if (lstrcmpW(name, section) == 0)
            return true;
    }
    return false;
}

// The store of a settings file with the file read in.
std::unique_ptr<ISetting> openStore(const std::wstring& path)
{
    std::unique_ptr<ISetting> store(createSettingStore(root, path.c_str()));
    if (auto* xml = dynamic_cast<XmlSetting*>(store.get()))
        xml->load(path.c_str());
    return store;
}

void saveStore(ISetting& store, const std::wstring& path)
{
    if (auto* xml = dynamic_cast<XmlSetting*>(&store))
        xml->save(path.c_str());
}

// The value as the key's own read gives it back, so that booleans compare alike in both stores.
std::wstring storedText(const ISetting& store, const Key& key)
{
    wstring text = store.readString(key.section, key.key, absent);
    if (key.kind != Bool || text.equals(absent))
        return text.buffer();
    return store.readBool(key.section, key.key, false) ? L"true" : L"false";
}

void writeText(ISetting& store, const Key& key, const wchar_t* value)
{
    if (key.kind == Bool && (lstrcmpW(value, L"true") == 0 || lstrcmpW(value, L"false") == 0))
        store.writeBool(key.section, key.key, lstrcmpW(value, L"true") == 0);
    else
        store.writeString(key.section, key.key, value);
}

// A settings file that holds every key with the value `pick` chooses.
template <typename Pick>
void writeSettingsFile(const std::wstring& path, Pick pick)
{
    std::unique_ptr<ISetting> store(createSettingStore(root, path.c_str()));
    for (const Key& key : keys) {
        if (const wchar_t* value = pick(key))
            writeText(*store, key, value);
    }
    saveStore(*store, path);
}

std::wstring expectedFace()
{
    for (const wchar_t* face : {L"メイリオ", L"ＭＳ Ｐゴシック"}) {
        if (fontExists(face))
            return face;
    }
    return L"";
}

// The text of a file, in UTF-16LE after its byte-order mark or else in the code page.
std::wstring readFileText(const std::wstring& path, UINT codePage)
{
    Bytes bytes = readBytes(path);
    if (bytes.size() >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE)
        return std::wstring(reinterpret_cast<const wchar_t*>(bytes.data() + 2), (bytes.size() - 2) / sizeof(wchar_t));
    std::wstring text(bytes.size(), L'\0');
    text.resize(MultiByteToWideChar(codePage, 0, reinterpret_cast<const char*>(bytes.data()),
                                    static_cast<int>(bytes.size()), text.data(), static_cast<int>(text.size())));
    return text;
}

class AppSettingTest : public testing::TestWithParam<const wchar_t*> {
protected:
    // A settings file of the store under test.
    std::wstring file(const wchar_t* name) { return folder.file((std::wstring(name) + GetParam()).c_str()); }

    void load(AppSetting& setting, const std::wstring& path)
    {
        setting.setSectionsAndPath(path.c_str());
        setting.load(root, nullptr, GetModuleHandleW(nullptr));
    }

    // Loads the file into a fresh record and saves that again into another file, opened for reading.
    std::unique_ptr<ISetting> loadAndSave(const std::wstring& path)
    {
        AppSetting setting;
        load(setting, path);
        std::wstring saved = file(L"saved");
        setting.save(root, saved.c_str());
        return openStore(saved);
    }

    ComApartment com;
    ScratchFolder folder{L"korvilane-record"};
};

} // namespace

TEST_P(AppSettingTest, MissingFileGivesEveryDefault)
{
    AppSetting setting;
    load(setting, file(L"missing"));
    EXPECT_EQ(setting.windowLeft, CW_USEDEFAULT);
    EXPECT_TRUE(setting.textFontItalic);
    EXPECT_STREQ(setting.windowUiFontFaces.buffer(), L"Meiryo UI:9");
    EXPECT_EQ(setting.fileThumbnailType, 1);
    EXPECT_EQ(setting.effectFilter, 0);
    EXPECT_STREQ(setting.textFontFace.buffer(), expectedFace().c_str());

    std::unique_ptr<ISetting> saved = loadAndSave(file(L"missing"));
    for (const Key& key : keys) {
        std::wstring expected = key.kind == Face ? expectedFace() : key.byDefault ? key.byDefault : absent;
        EXPECT_EQ(storedText(*saved, key), expected) << key.section << L"/" << key.key;
    }
}

TEST_P(AppSettingTest, EveryKeyRoundTrips)
{
    std::wstring source = file(L"samples");
    writeSettingsFile(source, [](const Key& key) { return key.sample; });
    std::unique_ptr<ISetting> saved = loadAndSave(source);
    for (const Key& key : keys)
        EXPECT_EQ(storedText(*saved, key), key.sample) << key.section << L"/" << key.key;
}

TEST_P(AppSettingTest, RangedNumbersAreClamped)
{
    std::wstring low = file(L"low");
    std::wstring high = file(L"high");
    writeSettingsFile(low, [](const Key& key) { return key.low ? L"-99999999" : nullptr; });
    writeSettingsFile(high, [](const Key& key) { return key.high ? L"99999999" : nullptr; });
    std::unique_ptr<ISetting> fromLow = loadAndSave(low);
    for (const Key& key : keys) {
        if (key.low) {
            EXPECT_EQ(storedText(*fromLow, key), key.low) << key.section << L"/" << key.key;
        }
    }
    std::unique_ptr<ISetting> fromHigh = loadAndSave(high);
    for (const Key& key : keys) {
        if (key.high) {
            EXPECT_EQ(storedText(*fromHigh, key), key.high) << key.section << L"/" << key.key;
        }
    }
}

TEST_P(AppSettingTest, SpecialKeys)
{
    std::wstring path = file(L"special");
    {
        std::unique_ptr<ISetting> store(createSettingStore(root, path.c_str()));
        store->writeString(L"Window", L"LogSkipColor", L"red");
        store->writeString(L"Window", L"LogFailureColor", L"0xFF");
        store->writeString(L"File", L"ThumbnailType", L"Album");
        store->writeString(L"Effect", L"Filter", L"Emboss");
        store->writeString(L"OutputExt", L"Bitmap", L"dib");
        store->writeString(L"OutputExt", L"Wdp", L"jxr");
        store->writeInt(L"Spi", L"Count", 3);
        store->writeString(L"Spi", L"Path0", L"a.spi");
        store->writeString(L"Spi", L"Path2", L"c.spi");
        store->writeInt(L"Applications", L"Count", 150);
        for (int n = 0; n < 150; ++n) {
            std::wstring prefix = L"Application" + std::to_wstring(n);
            store->writeString(L"Applications", (prefix + L".Path").c_str(), n == 1 ? L"" : L"v.exe");
            store->writeString(L"Applications", (prefix + L".Exts").c_str(), L";jpg;;png;");
        }
        store->writeString(L"Applications", L"Application0.Name", L"最初");
        saveStore(*store, path);
    }
    AppSetting setting;
    load(setting, path);
    EXPECT_EQ(setting.windowLogSkipColor, 0xFF0000u);
    EXPECT_EQ(setting.windowLogFailureColor, 0xFFu);
    EXPECT_EQ(setting.fileThumbnailType, 1);
    EXPECT_EQ(setting.effectFilter, 0);
    ASSERT_EQ(setting.outputExts.count(), 7);
    EXPECT_STREQ(setting.outputExts.at(4).buffer(), L"dib");
    EXPECT_STREQ(setting.outputExts.at(5).buffer(), L"jxr");
    EXPECT_STREQ(setting.outputExts.at(6).buffer(), L"hdp");
    ASSERT_EQ(setting.spiPaths.count(), 2);
    EXPECT_STREQ(setting.spiPaths.at(1).buffer(), L"c.spi");
    // Count is clamped to 100 and the entry without a path is dropped.
    ASSERT_EQ(setting.applications.count(), 99);
    EXPECT_STREQ(setting.applications.at(0).name.buffer(), L"最初");
    EXPECT_STREQ(setting.applications.at(1).name.buffer(), L"Untitled");
    EXPECT_EQ(setting.applications.at(1).exts.count(), 2);

    setting.fileThumbnailType = 6;
    setting.effectFilter = 34;
    std::wstring saved = file(L"special-saved");
    setting.save(root, saved.c_str());
    std::unique_ptr<ISetting> store = openStore(saved);
    EXPECT_STREQ(store->readString(L"File", L"ThumbnailType", L"").buffer(), L"joinv");
    EXPECT_STREQ(store->readString(L"Effect", L"Filter", L"").buffer(), L"rgbbgr");
    EXPECT_EQ(store->readInt(L"Applications", L"Count", 0), 99);
    EXPECT_EQ(store->readInt(L"Spi", L"Count", 0), 2);
    EXPECT_STREQ(store->readString(L"Spi", L"Path1", L"").buffer(), L"c.spi");
    EXPECT_STREQ(store->readString(L"Spi", L"Path2", absent).buffer(), absent);

    bool xml = std::wstring(GetParam()) == L".xml";
    std::wstring text = readFileText(saved, xml ? CP_UTF8 : CP_ACP);
    size_t last = text.find(L"OutputExt");
    ASSERT_NE(last, std::wstring::npos);
    for (const wchar_t* name : {L"Jpeg", L"Gif", L"Tiff", L"Png", L"Wdp", L"Hdp", L"Bitmap"}) {
        std::wstring entry = xml ? L"\"" + std::wstring(name) + L"\"" : L"\n" + std::wstring(name) + L"=";
        size_t at = text.find(entry, last);
        ASSERT_NE(at, std::wstring::npos) << name;
        last = at;
    }
}

TEST_P(AppSettingTest, ImportChangesOnlyTheConversionSections)
{
    std::wstring samples = file(L"samples");
    writeSettingsFile(samples, [](const Key& key) { return key.sample; });
    AppSetting setting;
    load(setting, file(L"missing"));
    setting.load(root, samples.c_str(), GetModuleHandleW(nullptr));
    std::wstring saved = file(L"saved");
    setting.save(root, saved.c_str());
    std::unique_ptr<ISetting> store = openStore(saved);
    for (const Key& key : keys) {
        const wchar_t* expected = isConversionSection(key.section) ? key.sample : key.byDefault;
        EXPECT_EQ(storedText(*store, key), expected ? expected : absent) << key.section << L"/" << key.key;
    }
}

TEST_P(AppSettingTest, UnreadableImportFailsAndChangesNothing)
{
    std::wstring broken = file(L"broken");
    std::string truncated = "<?xml version=\"1.0\"?><Korvilane><Trimming><element name=\"Left\" value=\"5\"/>";
    writeBytes(broken, Bytes(truncated.begin(), truncated.end()));
    AppSetting setting;
    load(setting, file(L"missing"));
    setting.trimmingLeft = 7;
    expectCode(ERROR_FILE_NOT_FOUND,
               [&] { setting.load(root, file(L"absent").c_str(), GetModuleHandleW(nullptr)); });
    EXPECT_EQ(setting.trimmingLeft, 7);
    std::wstring folderNamed = file(L"folder");
    CreateDirectoryW(folderNamed.c_str(), nullptr);
    expectCode(ERROR_ACCESS_DENIED, [&] { setting.load(root, folderNamed.c_str(), GetModuleHandleW(nullptr)); });
    EXPECT_EQ(setting.trimmingLeft, 7);
    if (std::wstring(GetParam()) == L".xml") {
        expectCode(ERROR_INVALID_DATA, [&] { setting.load(root, broken.c_str(), GetModuleHandleW(nullptr)); });
        EXPECT_EQ(setting.trimmingLeft, 7);
        // At start-up the same file only means the defaults.
        load(setting, broken);
        EXPECT_EQ(setting.trimmingLeft, 0);
    }
}

TEST_P(AppSettingTest, FileThatHoldsNoSettingsIsNoImport)
{
    bool xml = std::wstring(GetParam()) == L".xml";
    std::string foreign = xml ? "<?xml version=\"1.0\"?><layout><item name=\"Left\" value=\"5\"/></layout>"
                              : "[Other]\r\nLeft=5\r\n";
    std::wstring empty = file(L"empty");
    std::wstring other = file(L"other");
    writeBytes(empty, Bytes());
    writeBytes(other, Bytes(foreign.begin(), foreign.end()));
    AppSetting setting;
    load(setting, file(L"missing"));
    setting.trimmingLeft = 7;
    setting.windowWidth = 900;
    for (const std::wstring& path : {empty, other}) {
        expectCode(ERROR_INVALID_DATA, [&] { setting.load(root, path.c_str(), GetModuleHandleW(nullptr)); });
        expectCode(ERROR_INVALID_DATA, [&] { setting.loadWhole(root, path.c_str(), GetModuleHandleW(nullptr)); });
        EXPECT_EQ(setting.trimmingLeft, 7);
        EXPECT_EQ(setting.windowWidth, 900);
    }
}

TEST_P(AppSettingTest, FileWithSomeSectionsIsReadAndTheRestTakeTheirDefaults)
{
    // Only a rename rule, as a user may keep one apart.
    std::wstring renameOnly = file(L"rename");
    {
        std::unique_ptr<ISetting> store(createSettingStore(root, renameOnly.c_str()));
        store->writeBool(L"Rename", L"Enable", true);
        store->writeString(L"Rename", L"Definition", L"写真$index.$ext");
        saveStore(*store, renameOnly);
    }
    AppSetting settingsFile;
    load(settingsFile, renameOnly);
    EXPECT_TRUE(settingsFile.renameEnable);
    EXPECT_STREQ(settingsFile.renameDefinition.buffer(), L"写真$index.$ext");
    EXPECT_EQ(settingsFile.windowWidth, 600);
    EXPECT_TRUE(settingsFile.getKeptAsideFile().isEmpty());

    // An import takes only the conversion sections, which this file lacks, so they take their defaults.
    AppSetting imported;
    load(imported, file(L"missing"));
    imported.windowWidth = 900;
    imported.trimmingLeft = 7;
    imported.load(root, renameOnly.c_str(), GetModuleHandleW(nullptr));
    EXPECT_EQ(imported.trimmingLeft, 0);
    EXPECT_EQ(imported.windowWidth, 900);
    EXPECT_FALSE(imported.renameEnable);
}

TEST_P(AppSettingTest, UnreadableSettingsFileIsKeptAsideBeforeAnythingReplacesIt)
{
    std::string unreadable = std::wstring(GetParam()) == L".xml"
                                 ? "<?xml version=\"1.0\"?><Korvilane><Window><element name=\"Width\""
                                 : "[Other]\r\nWidth=700\r\n";
    std::wstring path = file(L"korvilane");
    std::wstring aside = path + L".unreadable";
    writeBytes(path, Bytes(unreadable.begin(), unreadable.end()));

    AppSetting setting;
    load(setting, path);
    EXPECT_EQ(setting.windowWidth, 600);
    EXPECT_EQ(readBytes(aside), Bytes(unreadable.begin(), unreadable.end()));
    setting.windowWidth = 800;
    setting.save(root, nullptr);
    EXPECT_EQ(openStore(path)->readInt(L"Window", L"Width", 0), 800);
    EXPECT_EQ(readBytes(aside), Bytes(unreadable.begin(), unreadable.end()));

    // A file that reads is used, and nothing more is kept aside.
    DeleteFileW(aside.c_str());
    AppSetting again;
    load(again, path);
    EXPECT_EQ(again.windowWidth, 800);
    EXPECT_EQ(GetFileAttributesW(aside.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_P(AppSettingTest, SaveReplacesTheFileWholeInsteadOfWritingIntoIt)
{
    std::wstring path = file(L"korvilane");
    AppSetting setting;
    load(setting, path);
    setting.save(root, nullptr);
    ULONGLONG first = fileIdentity(path);
    // A save that breaks off must find the old file as it was: the new one is written beside it and then
    // takes its place.
    setting.windowWidth = 900;
    setting.save(root, nullptr);
    EXPECT_NE(fileIdentity(path), first);
    EXPECT_EQ(openStore(path)->readInt(L"Window", L"Width", 0), 900);
    EXPECT_EQ(temporaryFilesIn(folder.file(L"")), 0);

    // A file that cannot be replaced (a reader that allows no deleting holds it) stays as it was.
    Bytes before = readBytes(path);
    HANDLE reader = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(reader, INVALID_HANDLE_VALUE);
    setting.windowWidth = 1000;
    EXPECT_THROW(setting.save(root, nullptr), Exception);
    CloseHandle(reader);
    EXPECT_EQ(readBytes(path), before);
    EXPECT_EQ(temporaryFilesIn(folder.file(L"")), 0);
}

TEST_P(AppSettingTest, WrongTypesLoadAsDefaultsOrZero)
{
    std::wstring path = file(L"wrong");
    {
        std::unique_ptr<ISetting> store(createSettingStore(root, path.c_str()));
        store->writeString(L"Window", L"LogLines", L"many");
        store->writeString(L"Resize", L"WidthPer", L"wide");
        store->writeString(L"Text", L"Color", L"");
        store->writeString(L"Jpeg", L"Quality", L"12abc");
        saveStore(*store, path);
    }
    AppSetting setting;
    load(setting, path);
    EXPECT_EQ(setting.windowLogLines, 256);
    EXPECT_STREQ(setting.resizeWidthPer.toString().buffer(), L"25");
    EXPECT_EQ(setting.textColor, 0x0080FFu);
    // The XML store rejects the whole text, the INI store reads its leading digits.
    EXPECT_EQ(setting.jpegQuality, std::wstring(GetParam()) == L".xml" ? 1 : 12);
}

TEST_P(AppSettingTest, ExportCreatesTheMissingFolder)
{
    std::wstring path = folder.file(L"new") + L"\\export" + GetParam();
    AppSetting setting;
    load(setting, file(L"missing"));
    setting.save(root, path.c_str());
    std::unique_ptr<ISetting> store = openStore(path);
    EXPECT_EQ(store->readInt(L"Window", L"Width", 0), 600);
    DeleteFileW(path.c_str());
    RemoveDirectoryW(folder.file(L"new").c_str());
}

INSTANTIATE_TEST_SUITE_P(Stores, AppSettingTest, testing::Values(L".xml", L".ini"),
                         [](const testing::TestParamInfo<const wchar_t*>& info) {
                             return std::string(info.param[1] == L'x' ? "Xml" : "Ini");
                         });

TEST(AppSetting, StoreChoiceByExtension)
{
    ComApartment com;
    std::unique_ptr<ISetting> ini(createSettingStore(root, L"C:\\a\\settings.ini"));
    std::unique_ptr<ISetting> upper(createSettingStore(root, L"C:\\a\\settings.INI"));
    std::unique_ptr<ISetting> xml(createSettingStore(root, L"C:\\a\\settings.xml"));
    EXPECT_NE(dynamic_cast<SettingPProfile*>(ini.get()), nullptr);
    EXPECT_NE(dynamic_cast<XmlSetting*>(upper.get()), nullptr);
    EXPECT_NE(dynamic_cast<XmlSetting*>(xml.get()), nullptr);
    expectCode(ERROR_INVALID_PARAMETER, [] { delete createSettingStore(L"", L"a.xml"); });
}

TEST(AppSetting, UiFontFacesAreKeptOnlyWhenTheFileHadThem)
{
    ComApartment com;
    ScratchFolder folder(L"korvilane-record-fonts");
    std::wstring with = folder.file(L"with.xml");
    std::wstring without = folder.file(L"without.xml");
    {
        std::unique_ptr<ISetting> store(createSettingStore(root, with.c_str()));
        store->writeString(L"Window", L"UiFontFaces", L"Tahoma:8");
        saveStore(*store, with);
    }
    AppSetting setting;
    setting.setSectionsAndPath(with.c_str());
    setting.load(root, nullptr, GetModuleHandleW(nullptr));
    EXPECT_STREQ(setting.windowUiFontFaces.buffer(), L"Tahoma:8");
    setting.save(root, nullptr);
    EXPECT_STREQ(openStore(with)->readString(L"Window", L"UiFontFaces", L"").buffer(), L"Tahoma:8");

    setting.setSectionsAndPath(without.c_str());
    setting.load(root, nullptr, GetModuleHandleW(nullptr));
    setting.save(root, nullptr);
    EXPECT_STREQ(openStore(without)->readString(L"Window", L"UiFontFaces", absent).buffer(), absent);
}

TEST(AppSetting, WithoutSectionsEveryAccessFails)
{
    ComApartment com;
    AppSetting setting;
    expectCode(ERROR_INVALID_PARAMETER, [&] { setting.load(root, nullptr, GetModuleHandleW(nullptr)); });
    expectCode(ERROR_INVALID_PARAMETER, [&] { setting.save(root, L"C:\\nowhere.xml"); });
}

TEST(AppSetting, DeleteSettingsFile)
{
    ComApartment com;
    ScratchFolder folder(L"korvilane-record-delete");
    std::wstring path = folder.file(L"delete.ini");
    AppSetting setting;
    setting.setSectionsAndPath(path.c_str());
    setting.load(root, nullptr, GetModuleHandleW(nullptr));
    setting.save(root, nullptr);
    setting.deleteSettingsFile();
    EXPECT_EQ(GetFileAttributesW(path.c_str()), INVALID_FILE_ATTRIBUTES);
    expectCode(ERROR_FILE_NOT_FOUND, [&] { setting.deleteSettingsFile(); });
}

TEST(AppSetting, TiffCompressionChoices)
{
    AppSetting setting;
    const int encoderValues[] = {2, 3, 4, 5, 6};
    for (int choice = 0; choice <= 4; ++choice) {
        setting.tiffCompression = choice;
        setting.tiffEnable = false;
        EXPECT_EQ(setting.tiffCompressionEncoderValue(), 2);
        EXPECT_FALSE(setting.isBilevelTiffCompression());
        setting.tiffEnable = true;
        EXPECT_EQ(setting.tiffCompressionEncoderValue(), encoderValues[choice]);
        EXPECT_EQ(setting.isBilevelTiffCompression(), choice >= 1 && choice <= 3);
        EXPECT_EQ(AppSetting::isBilevelCompressionChoice(choice), choice >= 1 && choice <= 3);
    }
    setting.tiffCompression = 5;
    EXPECT_EQ(setting.tiffCompressionEncoderValue(), 2);
}

// An INI export gives every text back to an import as it was, and lines of earlier versions (line) import as
// the profile functions have always read them.
TEST(AppSetting, IniExportsImportEveryTextAsItWasAndEarlierFilesAsTheyRead)
{
    const struct {
        const char* what;
        std::wstring text;
        std::string line;
    } cases[] = {
        {"two lines", L"一行目\r\n二行目"},
        {"bare line feeds and returns, a break at the end", L"a\nb\rc\r\n"},
        {"blanks at both ends", L"  両端に空白\t"},
        {"double quotes around", L"\"引用\""},
        {"single quotes around two lines", L"'a\r\nb'"},
        {"backslashes like escapes", L"C:\\new\\raw\\\\n \\r\\"},
        {"beyond the ANSI code page", L"C:\\写真\\출력 folder café 😀"},
        {"empty", L""},
        {"as long as a read takes", std::wstring(1023, L'x')},
        {"earlier: quotes", L"quoted", "Text='quoted'"},
        {"earlier: blanks", L"spaced out", "Text=  spaced out  "},
        {"earlier: backslashes", L"line\\nbreak\\r\\\\", "Text=line\\nbreak\\r\\\\"},
        {"earlier: ANSI code page", L"日本", "Text=\x93\xfa\x96\x7b"},
    };
    ScratchFolder folder{L"korvilane-ini-exchange"};
    std::wstring path = folder.file(L"export.ini");
    AppSetting exported, imported;
    for (AppSetting* record : {&exported, &imported}) {
        record->setSectionsAndPath(folder.file(L"missing.ini").c_str());
        record->load(root, nullptr, GetModuleHandleW(nullptr));
    }
    for (const auto& each : cases) {
        SCOPED_TRACE(each.what);
        if (each.line.empty()) {
            exported.textText = each.text.c_str();
            exported.save(root, path.c_str());
        } else {
            writeText(path, "[Text]\r\n" + each.line + "\r\n");
        }
        imported.load(root, path.c_str(), GetModuleHandleW(nullptr));
        EXPECT_EQ(imported.textText.buffer(), each.text);
    }
}
