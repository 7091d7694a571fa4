#include <gtest/gtest.h>
#include "foundation/SettingPProfile.h"
#include "ValueTestSupport.h"
#include "support/ScratchFolder.h"

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

TEST_F(SettingPProfileTest, StringsKeepJapaneseTextAndAreCutAt1023Characters)
{
    const wchar_t* japanese = L"変換後のファイル名（テスト）";
    store.writeString(L"出力", L"名前", japanese);
    EXPECT_STREQ(store.readString(L"出力", L"名前", L"").buffer(), japanese);
    EXPECT_STREQ(store.readString(L"出力", L"Missing", L"既定").buffer(), L"既定");

    wstring longText;
    for (int i = 0; i < 130; ++i)
        longText += L"abcdefgh";
    store.writeString(L"Text", L"Long", longText);
    wstring read = store.readString(L"Text", L"Long", L"");
    EXPECT_EQ(read.length(), 1023);
    EXPECT_STREQ(read.buffer(), longText.left(1023).buffer());
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
