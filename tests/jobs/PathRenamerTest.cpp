#include <gtest/gtest.h>
#include <string>
#include "DatedFiles.h"
#include "foundation/DateTime.h"
#include "jobs/PathRenamer.h"
#include "support/ExpectCode.h"

namespace {

const wchar_t output[] = L"C:\\out\\photo.jpg";
const wchar_t noSource[] = L"C:\\korvilane-no-such-folder\\gone.jpg";

wstring expand(PathRenamer& renamer, const wchar_t* templateText, const wchar_t* outputName = output,
               const wchar_t* source = noSource)
{
    renamer.setTemplate(templateText);
    return renamer.expand(outputName, source);
}

} // namespace

TEST(PathRenamer, IndexCountsWithPaddingThatNeverCuts)
{
    PathRenamer renamer;
    renamer.setIndexDigits(1);
    EXPECT_STREQ(expand(renamer, L"image$index.$ext").buffer(), L"image0.jpg");
    EXPECT_STREQ(expand(renamer, L"image$index.$ext").buffer(), L"image1.jpg");

    renamer.setCounter(0);
    renamer.setIndexDigits(3);
    EXPECT_STREQ(expand(renamer, L"image$index.$ext").buffer(), L"image000.jpg");
    renamer.setCounter(1234);
    EXPECT_STREQ(expand(renamer, L"$index-$index").buffer(), L"1234-1234");

    renamer.setCounter(10);
    renamer.setIncrement(5);
    renamer.setIndexDigits(0);
    EXPECT_STREQ(expand(renamer, L"$index").buffer(), L"10");
    EXPECT_STREQ(expand(renamer, L"$index").buffer(), L"15");
}

// The counter numbers outputs, not the names that show it.
TEST(PathRenamer, EveryExpansionAdvancesTheCounter)
{
    PathRenamer renamer;
    expand(renamer, L"$fname");
    expand(renamer, L"$fname");
    renamer.setEnabled(PathRenamer::MacroIndex, false);
    EXPECT_STREQ(expand(renamer, L"image$index.$ext").buffer(), L"image$index.jpg");
    renamer.setEnabled(PathRenamer::MacroIndex, true);
    EXPECT_STREQ(expand(renamer, L"$index").buffer(), L"3");
}

TEST(PathRenamer, NamePartsOfTheOutput)
{
    PathRenamer renamer;
    const wchar_t* japanese = L"C:\\出力\\夏の海.写真.JPG";
    EXPECT_STREQ(expand(renamer, L"$name=$fname=$ext", japanese).buffer(), L"夏の海.写真.JPG=夏の海.写真=JPG");
    EXPECT_STREQ(expand(renamer, L"[$fname][$ext]", L"C:\\out\\README").buffer(), L"[README][]");
    EXPECT_STREQ(expand(renamer, L"$ext$ext.$fname", L"C:\\out\\a b.png").buffer(), L"pngpng.a b");
}

TEST(PathRenamer, UnknownAndDisabledMacrosStayAsWritten)
{
    PathRenamer renamer;
    EXPECT_STREQ(expand(renamer, L"$foo_$_$$index_$INDEX_$Name").buffer(), L"$foo_$_$0_$INDEX_$Name");
    EXPECT_STREQ(expand(renamer, L"").buffer(), L"");

    renamer.setCounter(0);
    renamer.enableAll(false);
    // Disabled, even date macros of a missing source do not need it.
    EXPECT_STREQ(expand(renamer, L"$name$year$nowyear$index").buffer(), L"$name$year$nowyear$index");
    expectCode(ERROR_INVALID_PARAMETER, [&] { renamer.setEnabled(PathRenamer::MacroCount, true); });
    expectCode(ERROR_INVALID_PARAMETER, [&] { renamer.setEnabled(-1, true); });
}

// Each step works on the whole result, so a macro brought in by the output's name is expanded too.
TEST(PathRenamer, TextInsertedByOneStepIsExpandedByTheNext)
{
    PathRenamer renamer;
    renamer.setCounter(7);
    EXPECT_STREQ(expand(renamer, L"x_$name", L"C:\\out\\$index.png").buffer(), L"x_7.png");
}

TEST(PathRenamer, DatePartsOfTheSourcesUpdateTime)
{
    ScratchFolder folder(L"korvilane-renamer");
    wstring source = datedFile(folder, L"元画像.jpg", localTime(2019, 7, 4, 13, 5, 9));
    PathRenamer renamer;
    renamer.setTemplate(L"$year$month$day_$hour$minute$second_$index");
    EXPECT_STREQ(renamer.expand(output, source).buffer(), L"20190704_130509_0");

    wstring midnight = datedFile(folder, L"b.jpg", localTime(2021, 12, 31, 0, 0, 0));
    renamer.setTemplate(L"$day.$month.$year $hour-$minute-$second");
    EXPECT_STREQ(renamer.expand(output, midnight).buffer(), L"31.12.2021 00-00-00");
}

TEST(PathRenamer, AMissingSourceFailsOnlyForItsDates)
{
    PathRenamer renamer;
    expectCode(ERROR_PATH_NOT_FOUND, [&] { expand(renamer, L"$year_$index"); });
    EXPECT_STREQ(expand(renamer, L"image$index.$ext").buffer(), L"image0.jpg");
}

TEST(PathRenamer, CurrentDateParts)
{
    const wchar_t* pattern = L"yyyy/MM/dd HH:mm:ss";
    PathRenamer renamer;
    wstring before = DateTime().format(pattern);
    wstring result = expand(renamer, L"$nowyear/$nowmonth/$nowday $nowhour:$nowminute:$nowsecond");
    wstring after = DateTime().format(pattern);
    EXPECT_TRUE(result == before || result == after) << std::wstring(result.buffer());
    EXPECT_EQ(result.length(), 19);
}
