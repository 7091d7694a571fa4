#include <gtest/gtest.h>
#include <memory>
#include <typeinfo>
#include <vector>
#include "foundation/TextConverter.h"
#include "settings/AppSetting.h"
#include "settings/CmdParams.h"
#include "settings/OpenParams.h"
#include "support/ExpectCode.h"

namespace {

using Words = std::vector<const wchar_t*>;

void fill(wstringArray& list, const Words& words)
{
    list.removeAll();
    for (const wchar_t* word : words)
        list.add(word);
}

std::wstring joined(const wstringArray& list)
{
    return list.join(L"|").buffer();
}

// The stored log encoding differs from the one a parse starts with, so that a reset is visible.
struct StoredSetting : AppSetting {
    StoredSetting() { commandLogEncoding = L"sjis"; }
};

class CmdParamsTest : public testing::Test {
protected:
    bool parse(const Words& words)
    {
        fill(arguments, words);
        return params.parse(arguments, setting);
    }

    void expectCleared() { expectCleared(params); }

    void expectCleared(const CmdParams& cleared)
    {
        EXPECT_STREQ(cleared.settingsName().buffer(), L"");
        EXPECT_STREQ(cleared.format.buffer(), L"");
        EXPECT_STREQ(cleared.logPath().buffer(), L"");
        EXPECT_STREQ(cleared.logEncoding.buffer(), L"sjis");
        EXPECT_EQ(cleared.sources.count(), 0);
        EXPECT_EQ(cleared.targets.count(), 0);
        EXPECT_EQ(cleared.inputMode, CmdParams::NoInput);
        EXPECT_FALSE(cleared.formatGiven);
        EXPECT_FALSE(cleared.overwrite);
        EXPECT_FALSE(cleared.deleteSources);
        EXPECT_FALSE(cleared.unicode);
        EXPECT_FALSE(cleared.logGiven);
    }

    StoredSetting setting;
    CmdParams params{setting};
    wstringArray arguments;
};

} // namespace

TEST_F(CmdParamsTest, StartsWithJpegAndTheStoredLogEncoding)
{
    EXPECT_STREQ(params.format.buffer(), L"JPEG");
    EXPECT_EQ(params.formatIndex(), 0);
    EXPECT_STREQ(params.logEncoding.buffer(), L"sjis");
    EXPECT_EQ(params.dpiX().compare(Decimal(0)), VARCMP_EQ);
    EXPECT_EQ(params.inputMode, CmdParams::NoInput);
}

TEST_F(CmdParamsTest, FormatAndFilePair)
{
    ASSERT_TRUE(parse({L"/format", L"png", L"/file", L"a.jpg", L"out"}));
    EXPECT_STREQ(params.format.buffer(), L"PNG");
    EXPECT_TRUE(params.formatGiven);
    EXPECT_EQ(params.formatIndex(), 3);
    EXPECT_EQ(joined(params.sources), L"a.jpg");
    EXPECT_EQ(joined(params.targets), L"out");
    EXPECT_EQ(params.inputMode, CmdParams::FileInput);
    // Without "/le" the stored encoding.
    EXPECT_STREQ(params.logEncoding.buffer(), L"sjis");
    EXPECT_FALSE(params.overwrite);
    EXPECT_FALSE(params.logGiven);
}

TEST_F(CmdParamsTest, OptionsInAnyCaseValuesKeepTheirs)
{
    ASSERT_TRUE(parse({L"/FILE", L"C:\\Pics\\A.JPG", L"D:\\Out", L"-Overwrite", L"/DelSrc", L"/U", L"-LOG",
                       L"C:\\Log.TXT", L"/Par", L"My.XML", L"/DPI", L"300", L"72.5", L"-Format", L"hdp"}));
    EXPECT_EQ(joined(params.sources), L"C:\\Pics\\A.JPG");
    EXPECT_EQ(joined(params.targets), L"D:\\Out");
    EXPECT_TRUE(params.overwrite);
    EXPECT_TRUE(params.deleteSources);
    EXPECT_TRUE(params.unicode);
    EXPECT_TRUE(params.logGiven);
    EXPECT_STREQ(params.logPath().buffer(), L"C:\\Log.TXT");
    EXPECT_STREQ(params.settingsName().buffer(), L"My.XML");
    EXPECT_STREQ(params.dpiX().toString().buffer(), L"300");
    EXPECT_STREQ(params.dpiY().toString().buffer(), L"72.5");
    EXPECT_EQ(params.formatIndex(), 6);
}

TEST_F(CmdParamsTest, InvalidLinesClearEverything)
{
    const Words lines[] = {
        {L"/file", L"a.jpg"},
        {L"/file", L"a.jpg", L"out", L"/par"},
        {L"/format", L"png"},
        {L"/format", L"xyz", L"/file", L"a.jpg", L"out"},
        {L"/file", L"", L"out"},
        {L"/file", L"a.jpg", L"out", L"/bogus"},
        {L"/file", L"a.jpg", L"out", L"a.jpg"},
        {L"/file", L"a.jpg", L"out", L"/le", L"jis"},
        {L"/file", L"a.jpg", L"out", L"/le", L"euc-jp"},
        {L"/file", L"a.jpg", L"out", L"/le", L"ascii"},
        {L"/par", L"p.xml", L"/format", L"gif", L"/overwrite", L"/delsrc", L"/u", L"/log", L"log.txt",
         L"/le", L"utf-16", L"/file", L"a.jpg", L"out", L"/fileindirect", L""},
    };
    // Each on a new record: a failed line leaves the format empty, which would fail every later line.
    for (const Words& line : lines) {
        CmdParams fresh(setting);
        fill(arguments, line);
        EXPECT_FALSE(fresh.parse(arguments, setting)) << joined(arguments);
        expectCleared(fresh);
        EXPECT_EQ(fresh.formatIndex(), 7);
    }
}

TEST_F(CmdParamsTest, LogEncodingIsLowerCasedAndMustBeListed)
{
    ASSERT_TRUE(parse({L"/le", L"UTF8", L"/file", L"a.jpg", L"out"}));
    EXPECT_STREQ(params.logEncoding.buffer(), L"utf8");
    std::unique_ptr<TextConverter> converter(params.logConverter());
    EXPECT_TRUE(typeid(*converter) == typeid(Utf8Converter));

    ASSERT_TRUE(parse({L"/le", L"Shift_JIS", L"/file", L"a.jpg", L"out"}));
    converter.reset(params.logConverter());
    EXPECT_TRUE(typeid(*converter) == typeid(CPConverter));
}

TEST_F(CmdParamsTest, WithoutAnEncodingOptionTheLogFollowsTheStoredEncodingTheWriterKnows)
{
    struct Case {
        const wchar_t* stored;
        const wchar_t* used;
        const std::type_info& converter;
    };
    // "/le" refuses jis and euc-jp, the setting may name them; a name no converter has means UTF-8.
    const Case cases[] = {{L"EUC-JP", L"euc-jp", typeid(EucConverter)},
                          {L"jis", L"jis", typeid(JisConverter)},
                          {L"UTF-16", L"utf-16", typeid(Utf16Converter)},
                          {L"ascii", L"utf-8", typeid(Utf8Converter)},
                          {L"", L"utf-8", typeid(Utf8Converter)}};
    for (const Case& test : cases) {
        setting.commandLogEncoding = test.stored;
        CmdParams fresh(setting);
        fill(arguments, {L"/file", L"a.jpg", L"out"});
        ASSERT_TRUE(fresh.parse(arguments, setting)) << test.stored;
        EXPECT_STREQ(fresh.logEncoding.buffer(), test.used);
        std::unique_ptr<TextConverter> converter(fresh.logConverter());
        EXPECT_TRUE(typeid(*converter) == test.converter) << test.stored;

        // "/le" still decides when it is given.
        fill(arguments, {L"/file", L"a.jpg", L"out", L"/le", L"utf-16"});
        ASSERT_TRUE(fresh.parse(arguments, setting));
        EXPECT_STREQ(fresh.logEncoding.buffer(), L"utf-16");
    }
}

TEST_F(CmdParamsTest, LastFileOptionWins)
{
    ASSERT_TRUE(parse({L"/file", L"a.jpg", L"out", L"/dir", L"C:\\in", L"C:\\out"}));
    EXPECT_EQ(joined(params.sources), L"C:\\in");
    EXPECT_EQ(joined(params.targets), L"C:\\out");
    EXPECT_EQ(params.inputMode, CmdParams::DirInput);

    ASSERT_TRUE(parse({L"-dir", L"C:\\in", L"C:\\out", L"-fileindirect", L":clipboard"}));
    EXPECT_EQ(joined(params.sources), L":clipboard");
    EXPECT_EQ(joined(params.targets), L":clipboard");
    EXPECT_EQ(params.inputMode, CmdParams::FileIndirectInput);
}

TEST_F(CmdParamsTest, ResolutionsMustBePlainPositiveNumbers)
{
    ASSERT_TRUE(parse({L"/dpi", L".5", L"72.", L"/file", L"a.jpg", L"out"}));
    EXPECT_STREQ(params.dpiX().toString().buffer(), L"0.5");
    EXPECT_STREQ(params.dpiY().toString().buffer(), L"72");
    // "1,5" would be read with "," grouping digits, as 15.
    for (const wchar_t* value : {L"0", L"-1", L"wide", L"1,5", L"1e2", L"1.5.0", L"."}) {
        SCOPED_TRACE(testing::Message() << value);
        expectCode(ERROR_INVALID_PARAMETER, [&] { parse({L"/file", L"a.jpg", L"out", L"/dpi", value, L"72"}); });
        expectCleared();
        expectCode(ERROR_INVALID_PARAMETER, [&] { parse({L"/dpi", L"72", value, L"/file", L"a.jpg", L"out"}); });
        expectCleared();
    }
}

TEST(OpenParams, StopsAtTheFirstOptionAndSkipsEmptyArguments)
{
    wstringArray arguments;
    OpenParams open;
    fill(arguments, {L"a.jpg", L"", L"C:\\b.png", L"-x", L"c.jpg"});
    EXPECT_FALSE(open.parse(arguments));
    EXPECT_EQ(joined(open.files), L"a.jpg|C:\\b.png");

    OpenParams second;
    fill(arguments, {L"a.jpg", L""});
    EXPECT_TRUE(second.parse(arguments));
    EXPECT_EQ(joined(second.files), L"a.jpg");

    OpenParams third;
    fill(arguments, {L"/par"});
    EXPECT_FALSE(third.parse(arguments));
    EXPECT_EQ(third.files.count(), 0);
}
