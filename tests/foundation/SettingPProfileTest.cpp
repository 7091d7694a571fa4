#include <gtest/gtest.h>
#include <string>
#include "foundation/SettingPProfile.h"
#include "ValueTestSupport.h"
#include "support/ScratchFolder.h"
#include "support/fileBytes.h"

namespace {

Decimal number(const wchar_t* text)
{
    Decimal value(0);
    value.parse(text);
    return value;
}

// Counts the plain reads, so that a test can see whether the shared ranged reads reached the store.
class CountingSetting : public ISetting {
public:
    void writeString(const wstring&, const wstring&, const wstring&) override {}
    wstring readString(const wstring&, const wstring&, const wstring& defaultValue) const override
    {
        ++reads;
        return defaultValue;
    }
    void writeInt(const wstring&, const wstring&, int) override {}
    int readInt(const wstring&, const wstring&, int defaultValue) const override
    {
        ++reads;
        return defaultValue;
    }
    bool readBool(const wstring&, const wstring&, bool defaultValue) const override { return defaultValue; }
    void deleteSection(const wstring&) override {}
    void deleteKey(const wstring&, const wstring&) override {}

    mutable int reads = 0;
};

class SettingPProfileTest : public testing::Test {
protected:
    ScratchFolder folder{L"korvilane-ini"};
    wstring path{folder.file(L"settings.ini").c_str()};
    SettingPProfile store{path.buffer()};

    wstring raw(const wchar_t* section, const wchar_t* key)
    {
        wchar_t text[64];
        GetPrivateProfileStringW(section, key, L"<none>", text, 64, path.buffer());
        return wstring(text);
    }
};

} // namespace

TEST(ISetting, RangedReadsRejectAnEmptyRangeBeforeReading)
{
    CountingSetting store;
    EXPECT_EQ(thrownCode([&] { store.readIntInRange(L"s", L"k", 5, 10, 9); }), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(thrownCode([&] { store.readDecimalInRange(L"s", L"k", Decimal(5), Decimal(1), Decimal(0.5)); }),
              ERROR_INVALID_PARAMETER);
    EXPECT_EQ(store.reads, 0);
    EXPECT_EQ(store.readIntInRange(L"s", L"k", 7, 7, 7), 7);
    EXPECT_EQ(store.reads, 1);
}

TEST_F(SettingPProfileTest, IntegersAreClampedIntoTheRangeWhetherStoredOrDefault)
{
    store.writeString(L"Window", L"Size", L"100");
    EXPECT_EQ(store.readIntInRange(L"Window", L"Size", 1000, 256, 32768), 256);
    store.writeInt(L"Window", L"Size", 40000);
    EXPECT_EQ(store.readIntInRange(L"Window", L"Size", 1000, 256, 32768), 32768);
    store.writeInt(L"Window", L"Size", -300);
    EXPECT_EQ(store.readIntInRange(L"Window", L"Size", 1000, -1000, 1000), -300);
    EXPECT_EQ(store.readIntInRange(L"Window", L"Missing", 100, 256, 32768), 256);
    EXPECT_EQ(store.readIntInRange(L"Window", L"Missing", 50000, 256, 32768), 32768);
    EXPECT_EQ(store.readInt(L"Window", L"Missing", -5), -5);
}

TEST_F(SettingPProfileTest, DecimalsAreWrittenWithAPointAndReadStrictly)
{
    ThreadLocaleScope german(GermanLocale);
    store.writeDecimal(L"Effect", L"Scale", number(L"1.25"));
    EXPECT_STREQ(raw(L"Effect", L"Scale").buffer(), L"1.25");
    EXPECT_STREQ(store.readDecimal(L"Effect", L"Scale", Decimal(7)).toString().buffer(), L"1.25");
    EXPECT_STREQ(store.readDecimalInRange(L"Effect", L"Scale", Decimal(7), Decimal(2), Decimal(3)).toString().buffer(),
                 L"2");
    EXPECT_STREQ(store.readDecimal(L"Effect", L"Missing", number(L"0.5")).toString().buffer(), L"0.5");

    // Stored text that is no number gives zero, not the default; so does a number beyond the Decimal range.
    store.writeString(L"Effect", L"Scale", L"abc");
    EXPECT_STREQ(store.readDecimal(L"Effect", L"Scale", Decimal(7)).toString().buffer(), L"0");
    store.writeString(L"Effect", L"Scale", L"1e40");
    EXPECT_STREQ(store.readDecimal(L"Effect", L"Scale", Decimal(7)).toString().buffer(), L"0");
}

TEST_F(SettingPProfileTest, BooleansAreStoredAsOneAndZero)
{
    store.writeBool(L"Flags", L"On", true);
    store.writeBool(L"Flags", L"Off", false);
    EXPECT_STREQ(raw(L"Flags", L"On").buffer(), L"1");
    EXPECT_STREQ(raw(L"Flags", L"Off").buffer(), L"0");
    EXPECT_TRUE(store.readBool(L"Flags", L"On", false));
    EXPECT_FALSE(store.readBool(L"Flags", L"Off", true));
    EXPECT_TRUE(store.readBool(L"Flags", L"Missing", true));
    // Only leading digits count in an INI file.
    store.writeString(L"Flags", L"Word", L"true");
    EXPECT_FALSE(store.readBool(L"Flags", L"Word", true));
}

TEST_F(SettingPProfileTest, StringsAreKeptWholeInAUnicodeFileAndOnesLongerThanAReadTakesAreRefused)
{
    // A file of an earlier version, in the ANSI code page: what it held reads the same once it is Unicode.
    writeText(path.buffer(), "[Other]\r\nName=\x93\xfa\x96\x7b\r\n");
    const wchar_t* hard = L" 변환\r\n후 café 😀";
    store.writeString(L"出力", L"名前", hard);
    EXPECT_STREQ(store.readString(L"出力", L"名前", L"").buffer(), hard);
    EXPECT_STREQ(store.readString(L"出力", L"Missing", L"既定").buffer(), L"既定");
    EXPECT_STREQ(store.readString(L"Other", L"Name", L"").buffer(), L"日本");
    EXPECT_EQ(readBytes(path.buffer()).at(0), 0xFF) << "the file begins with the UTF-16LE byte-order mark";

    std::wstring longest(1023, L'x');
    store.writeString(L"Text", L"Long", longest.c_str());
    EXPECT_EQ(store.readString(L"Text", L"Long", L"").length(), 1023);
    EXPECT_THROW(store.writeString(L"Text", L"Long", (longest + L"x").c_str()), UnstorableSettingValue);
}

TEST_F(SettingPProfileTest, DeletingRemovesKeysAndSections)
{
    store.writeString(L"A", L"one", L"1");
    store.writeString(L"A", L"two", L"2");
    store.writeString(L"B", L"three", L"3");
    store.deleteKey(L"A", L"one");
    EXPECT_STREQ(store.readString(L"A", L"one", L"gone").buffer(), L"gone");
    EXPECT_STREQ(store.readString(L"A", L"two", L"").buffer(), L"2");
    store.deleteSection(L"A");
    EXPECT_STREQ(store.readString(L"A", L"two", L"gone").buffer(), L"gone");
    EXPECT_STREQ(store.readString(L"B", L"three", L"").buffer(), L"3");
}

TEST(SettingPProfile, AFailingWriteThrowsTheSystemError)
{
    ScratchFolder folder(L"korvilane-ini-missing");
    SettingPProfile store(folder.file(L"no such folder\\settings.ini").c_str());
    EXPECT_THROW(store.writeString(L"A", L"k", L"v"), Exception);
    EXPECT_THROW(store.writeInt(L"A", L"k", 1), Exception);
    EXPECT_THROW(store.writeBool(L"A", L"k", true), Exception);
    EXPECT_STREQ(store.readString(L"A", L"k", L"default").buffer(), L"default");
    EXPECT_EQ(thrownCode([] { SettingPProfile none(nullptr); }), ERROR_INVALID_PARAMETER);
}

namespace {

// Lines of every kind that an INI file may hold, some names more than once; "\n" stands for the line end.
const wchar_t trickyText[] =
    L"before=any section\n[Window]\nWidth=640\n  width = 800\nHeight =  480  \nTitle=\"quoted value\"\n"
    L"Single='one'\nOdd=\"unbalanced\nLone=\"\nEmpty=\nNoEquals\n;Comment=1\nHex=0x1F\nOctal=0o17\nBinary=0b101\n"
    L"Lead=12abc\nNegative= -5\nHuge=99999999999\nSpaced Key = spaced value \nEquals=a=b\nJapanese=日本語の値\n"
    L"Wide=　全角の空白　\n[window]\nWidth=1024\n[ Padded ]\nInner=1\n[Empty]\n[Comments]\n;only=comment\n"
    L"[Bare]\nLonely\n[Broken\nAfter=2\n[Last] trailing\nX=3\n=nameless\n";

const wchar_t* const sectionsLookedAt[] = {L"",      L"Window",   L"WINDOW", L"Padded", L" Padded ",
                                           L"Empty", L"Comments", L"Bare",   L"Last",   L"Missing"};

const wchar_t* const keysLookedAt[] = {L"before", L"Width",    L"width", L"Height",   L"Title",    L"Single",
                                       L"Odd",    L"Lone",     L"Empty", L"NoEquals", L";Comment", L"Hex",
                                       L"Octal",  L"Binary",   L"Lead",  L"Negative", L"Huge",     L"Spaced Key",
                                       L"Equals", L"Japanese", L"Wide",  L"Inner",    L"Lonely",   L"[Broken",
                                       L"After",  L"X",        L"",      L"Long",     L"Missing"};

// The text with its line ends, a line too long to be read whole, and the mark before it.
Bytes trickyFile(const wchar_t* lineEnd, UINT codePage, const Bytes& mark)
{
    std::wstring text;
    for (const wchar_t* unit = trickyText; *unit; ++unit)
        text += *unit == L'\n' ? std::wstring(lineEnd) : std::wstring(1, *unit);
    text += L"Long=" + std::wstring(1100, L'x') + lineEnd;
    Bytes bytes = mark;
    if (codePage == 1200) {
        auto units = reinterpret_cast<const BYTE*>(text.c_str());
        bytes.insert(bytes.end(), units, units + text.size() * sizeof(wchar_t));
        return bytes;
    }
    std::string encoded(text.size() * 3, '\0');
    encoded.resize(WideCharToMultiByte(codePage, 0, text.c_str(), static_cast<int>(text.size()), encoded.data(),
                                       static_cast<int>(encoded.size()), nullptr, nullptr));
    bytes.insert(bytes.end(), encoded.begin(), encoded.end());
    return bytes;
}

} // namespace

TEST_F(SettingPProfileTest, ATextReadAtOnceGivesWhatTheSystemReadsFromTheFile)
{
    for (const Bytes& file :
         {trickyFile(L"\r\n", CP_ACP, {}), trickyFile(L"\r", CP_ACP, {}), trickyFile(L"\n", 1200, {0xFF, 0xFE}),
          trickyFile(L"\r\n", CP_UTF8, {0xEF, 0xBB, 0xBF})}) {
        writeBytes(path.buffer(), file);
        SettingPProfile text(path.buffer());
        text.read(file.data(), static_cast<int>(file.size()));
        for (const wchar_t* section : sectionsLookedAt) {
            EXPECT_EQ(text.hasKeys(section), store.hasKeys(section)) << L"[" << section << L"]";
            for (const wchar_t* key : keysLookedAt) {
                SCOPED_TRACE(testing::Message() << file.size() << L" bytes, [" << section << L"] " << key);
                EXPECT_STREQ(text.readString(section, key, L"<none>").buffer(),
                             store.readString(section, key, L"<none>").buffer());
                EXPECT_EQ(text.readInt(section, key, -7), store.readInt(section, key, -7));
                EXPECT_EQ(text.readBool(section, key, true), store.readBool(section, key, true));
            }
        }
    }
}

TEST_F(SettingPProfileTest, AStoreThatReadATextWritesNothing)
{
    store.writeString(L"A", L"k", L"file");
    std::string textBytes = "[A]\r\nk=text\r\n";
    store.read(reinterpret_cast<const BYTE*>(textBytes.data()), static_cast<int>(textBytes.size()));
    EXPECT_EQ(thrownCode([&] { store.writeString(L"A", L"k", L"new"); }), ERROR_INVALID_FUNCTION);
    EXPECT_EQ(thrownCode([&] { store.deleteSection(L"A"); }), ERROR_INVALID_FUNCTION);
    EXPECT_STREQ(store.readString(L"A", L"k", L"").buffer(), L"text");
    EXPECT_STREQ(raw(L"A", L"k").buffer(), L"file");
}
