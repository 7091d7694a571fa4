#include <gtest/gtest.h>
#include "DatedFiles.h"
#include "foundation/DateTime.h"
#include "foundation/FileSystem.h"
#include "imaging/IShotDateReader.h"
#include "jobs/RenameUtil.h"
#include "settings/AppSetting.h"
#include "support/ExpectCode.h"

namespace {

// Stands in for the picture's metadata: a fixed shooting date, none, or a file that cannot be decoded.
class FakeShotDates : public IShotDateReader {
public:
    enum Answer { Date, NoDate, Undecodable };
    explicit FakeShotDates(Answer answer) : answer(answer) {}
    bool readDateTaken(const wstring&, DateTime& taken) override
    {
        ++calls;
        if (answer == Undecodable)
            throw Exception(static_cast<int>(0x88982F50));  // WINCODEC_ERR_COMPONENTNOTFOUND
        if (answer == NoDate)
            return false;
        taken.setSystemTime(localTime(2019, 7, 4, 8, 30, 15));
        return true;
    }
    Answer answer;
    int calls = 0;
};

class RenameUtilTest : public testing::Test {
protected:
    RenameUtilTest() : folder(L"korvilane-rename")
    {
        setting.renameEnable = true;
        setting.renameDefinition = L"image$index.$ext";
        setting.renameIndexBase = 0;
        setting.renameIndexIncrement = 1;
        setting.renameIndexPadding = 1;
        setting.filterNameLength = 4;
        // Last written 31 December 2020, 23:59:58 local time.
        source = datedFile(folder, L"写真\\夏.jpg", localTime(2020, 12, 31, 23, 59, 58));
        out = pathIn(folder, L"out\\");
    }

    wstring sorted(const wchar_t* outputName, const wstring& from)
    {
        RenameUtil util(setting, nullptr);
        return util.sortIntoFolder(from, Path(out + outputName));
    }

    ScratchFolder folder;
    AppSetting setting;
    wstring source;
    wstring out;
};

} // namespace

TEST_F(RenameUtilTest, CounterSettingsOutOfRangeAreRefused)
{
    auto construct = [&] { RenameUtil util(setting, nullptr); };
    setting.renameIndexBase = -1;
    expectCode(ERROR_INVALID_PARAMETER, construct);
    setting.renameIndexBase = 0;
    setting.renameIndexIncrement = 0;
    expectCode(ERROR_INVALID_PARAMETER, construct);
    setting.renameIndexIncrement = 1;
    setting.renameIndexPadding = -1;
    expectCode(ERROR_INVALID_PARAMETER, construct);
    setting.renameIndexPadding = 0;
    RenameUtil accepted(setting, nullptr);
}

TEST_F(RenameUtilTest, TheRuleNumbersTheOutputsOfTheRun)
{
    RenameUtil util(setting, nullptr);
    EXPECT_STREQ(util.rename(out + L"a.png", source).buffer(), (out + L"image0.png").buffer());
    EXPECT_STREQ(util.rename(out + L"b.png", source).buffer(), (out + L"image1.png").buffer());

    setting.renameDefinition = L"$fname_$index($year$month$day)";
    setting.renameIndexBase = 7;
    setting.renameIndexIncrement = 3;
    setting.renameIndexPadding = 2;
    RenameUtil japanese(setting, nullptr);
    EXPECT_STREQ(japanese.rename(out + L"夏の海.jpg", source).buffer(), (out + L"夏の海_07(20201231)").buffer());
    EXPECT_STREQ(japanese.rename(out + L"冬.jpg", source).buffer(), (out + L"冬_10(20201231)").buffer());
}

// Only the name, date and counter macros are in use; the others are written into the name as they are.
TEST_F(RenameUtilTest, MacrosOutOfUseStayLiteral)
{
    setting.renameDefinition = L"$path";
    RenameUtil util(setting, nullptr);
    EXPECT_STREQ(util.rename(out + L"a.png", source).buffer(), (out + L"$path").buffer());
    setting.renameDefinition = L"$drive$dir$shortpath$size$kbsize$date$time$nowdate$nowtime.$ext";
    EXPECT_STREQ(util.rename(out + L"a.png", source).buffer(),
                 (out + L"$drive$dir$shortpath$size$kbsize$date$time$nowdate$nowtime.png").buffer());
}

TEST_F(RenameUtilTest, ARuleOutOfUseLeavesTheNameAndReadsNoMetadata)
{
    FakeShotDates undecodable(FakeShotDates::Undecodable);
    setting.renameDefinition = L"pic_$orgyear_$index.$ext";
    setting.renameEnable = false;
    RenameUtil util(setting, &undecodable);
    wstring name = out + L"a.png";
    EXPECT_STREQ(util.rename(name, source).buffer(), name.buffer());
    setting.renameEnable = true;
    setting.renameDefinition = L"";
    EXPECT_STREQ(util.rename(name, source).buffer(), name.buffer());
    EXPECT_EQ(undecodable.calls, 0);
}

TEST_F(RenameUtilTest, ShootingDateOrTheUpdateTimeInItsPlace)
{
    setting.renameDefinition = L"pic_$orgyear$orgmonth$orgday_$index.$ext";
    FakeShotDates dated(FakeShotDates::Date);
    RenameUtil withDate(setting, &dated);
    EXPECT_STREQ(withDate.rename(out + L"a.jpg", source).buffer(), (out + L"pic_20190704_0.jpg").buffer());
    setting.renameDefinition = L"$orghour$orgminute$orgsecond-$orgyear";
    EXPECT_STREQ(withDate.rename(out + L"a.jpg", source).buffer(), (out + L"083015-2019").buffer());

    setting.renameDefinition = L"pic_$orgyear$orgmonth$orgday_$orghour$orgminute$orgsecond.$ext";
    FakeShotDates undated(FakeShotDates::NoDate);
    RenameUtil withoutDate(setting, &undated);
    EXPECT_STREQ(withoutDate.rename(out + L"a.jpg", source).buffer(), (out + L"pic_20201231_235958.jpg").buffer());
    RenameUtil noReader(setting, nullptr);
    EXPECT_STREQ(noReader.rename(out + L"a.jpg", source).buffer(), (out + L"pic_20201231_235958.jpg").buffer());

    setting.renameDefinition = L"image$index.$ext";
    withoutDate.rename(out + L"a.jpg", source);
    EXPECT_EQ(undated.calls, 1);
}

TEST_F(RenameUtilTest, SourceFailuresReachTheRun)
{
    setting.renameDefinition = L"$orgyear_$fname";
    FakeShotDates undecodable(FakeShotDates::Undecodable);
    RenameUtil util(setting, &undecodable);
    expectCode(static_cast<int>(0x88982F50), [&] { util.rename(out + L"a.jpg", source); });

    setting.renameDefinition = L"$year_$fname";
    expectCode(ERROR_FILE_NOT_FOUND, [&] { util.rename(out + L"a.jpg", pathIn(folder, L"gone.jpg")); });
}

// A rule that yields a name the file system refuses, or no name at all, gives that picture no name before
// anything is written.
TEST_F(RenameUtilTest, NamesThatCannotBeFilesAreRefused)
{
    RenameUtil util(setting, nullptr);
    for (const wchar_t* rule : {L"$year:$month", L"a?$index", L"<$fname>", L"a|b", L"a\"b", L"a*", L"tab\t$ext",
                                L"sub\\", L"sub/", L"...", L"$fname\\ ..", L"con.$ext", L"Aux", L"nul .txt",
                                L"lpt1\\$fname.$ext", L"sub/COM9.tar.gz", L"conout$.$ext"}) {
        setting.renameDefinition = rule;
        EXPECT_TRUE(util.rename(out + L"a.jpg", source).isEmpty()) << std::wstring(rule);
    }
    EXPECT_FALSE(isDirectory(out));

    // A separator leads into a sub-folder of the output's folder, which the sort step then creates.
    setting.renameDefinition = L"$year\\$fname_$index.$ext";
    RenameUtil fresh(setting, nullptr);
    wstring renamed = fresh.rename(out + L"a.jpg", source);
    EXPECT_STREQ(fresh.sortIntoFolder(source, Path(renamed)).buffer(), (out + L"2020\\a_0.jpg").buffer());
    EXPECT_TRUE(isDirectory(out + L"2020"));
}

TEST_F(RenameUtilTest, WithoutSortingTheFolderIsStillCreated)
{
    EXPECT_STREQ(sorted(L"deep\\er\\a.png", source).buffer(), (out + L"deep\\er\\a.png").buffer());
    EXPECT_TRUE(isDirectory(out + L"deep\\er"));
}

TEST_F(RenameUtilTest, SortBySourceFolder)
{
    setting.filterEnable = true;
    setting.filterType = static_cast<int>(FolderSortMode::SourceFolder);
    EXPECT_STREQ(sorted(L"a.png", source).buffer(), (out + L"写真\\a.png").buffer());
    EXPECT_TRUE(isDirectory(out + L"写真"));
    // A source in a drive's root folder has no folder name to sort by.
    EXPECT_STREQ(sorted(L"b.png", L"C:\\b.jpg").buffer(), (out + L"b.png").buffer());
}

TEST_F(RenameUtilTest, SortByUpdateTime)
{
    setting.filterEnable = true;
    setting.filterType = static_cast<int>(FolderSortMode::Year);
    EXPECT_STREQ(sorted(L"a.png", source).buffer(), (out + L"2020\\a.png").buffer());
    setting.filterType = static_cast<int>(FolderSortMode::YearMonth);
    EXPECT_STREQ(sorted(L"a.png", source).buffer(), (out + L"202012\\a.png").buffer());
    setting.filterType = static_cast<int>(FolderSortMode::YearMonthDay);
    EXPECT_STREQ(sorted(L"a.png", source).buffer(), (out + L"20201231\\a.png").buffer());
    EXPECT_TRUE(isDirectory(out + L"20201231"));
    expectCode(ERROR_FILE_NOT_FOUND, [&] { sorted(L"a.png", pathIn(folder, L"gone.jpg")); });
}

TEST_F(RenameUtilTest, SortByTheStartOfTheOutputName)
{
    setting.filterEnable = true;
    setting.filterType = static_cast<int>(FolderSortMode::OutputName);
    setting.filterNameLength = 3;
    EXPECT_STREQ(sorted(L"ab c.jpg", source).buffer(), (out + L"ab\\ab c.jpg").buffer());
    setting.filterNameLength = 2;
    EXPECT_STREQ(sorted(L"夏の海の写真.png", source).buffer(), (out + L"夏の\\夏の海の写真.png").buffer());
    setting.filterNameLength = 260;
    EXPECT_STREQ(sorted(L"x.y.png", source).buffer(), (out + L"x.y\\x.y.png").buffer());
    // A start that names a device is no folder: that picture has no output name, while a longer start is one.
    setting.filterNameLength = 3;
    RenameUtil util(setting, nullptr);
    EXPECT_TRUE(util.sortedName(source, Path(out + L"console.png")).isEmpty());
    setting.filterNameLength = 4;
    EXPECT_STREQ(sorted(L"console.png", source).buffer(), (out + L"cons\\console.png").buffer());
}

TEST_F(RenameUtilTest, AnExistingSubFolderIsUsedButAFileInItsPlaceFails)
{
    setting.filterEnable = true;
    setting.filterType = static_cast<int>(FolderSortMode::Year);
    createDirectoryTree(out + L"2020");
    EXPECT_STREQ(sorted(L"a.png", source).buffer(), (out + L"2020\\a.png").buffer());

    datedFile(folder, L"out\\blocked\\2020", localTime(2020, 1, 1, 0, 0, 0));
    expectCode(ERROR_ALREADY_EXISTS, [&] { sorted(L"blocked\\a.png", source); });
}
