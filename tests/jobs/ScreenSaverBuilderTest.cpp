#include <gtest/gtest.h>
#include <string>
#include <vector>
#include "support/CancelAfter.h"
#include "foundation/Exception.h"
#include "support/ExpectCode.h"
#include "support/fileBytes.h"
#include "support/ScreenSaverFiles.h"

namespace {

// The count block: string 0 empty, string 1 with its length and digits.
std::string countBlock(const char* digits)
{
    std::string block{'\0', '\0', static_cast<char>(strlen(digits)), '\0'};
    for (const char* c = digits; *c; ++c)
        block += {*c, '\0'};
    return block;
}

class ScreenSaverBuilderTest : public ScreenSaverFilesTest {
protected:
    std::vector<std::wstring> pictures(int count, int width = 8, int height = 6)
    {
        std::vector<std::wstring> files;
        for (int i = 0; i < count; ++i)
            files.push_back(picture(width, height));
        return files;
    }
    int build(const wchar_t* name, const std::vector<std::wstring>& files, ICanceller* canceller = nullptr)
    {
        return buildSaver(path(name), files, 800, &log, canceller);
    }

    CollectedLog log;
};

} // namespace

TEST_F(ScreenSaverBuilderTest, PicturesAreStoredAsJpegsFittedToTheLimitWithTheirCount)
{
    std::vector<std::wstring> files = pictures(1, 1600, 1200);
    for (SIZE size : {SIZE{600, 1600}, SIZE{640, 480}, SIZE{900, 900}})
        files.push_back(pictures(1, size.cx, size.cy)[0]);
    ASSERT_EQ(build(L"four.scr", files), ScreenSaverBuilder::Written);

    SaverFileContents saver(path(L"four.scr"));
    EXPECT_EQ(saver.resource(L"PICTURES0", 4).substr(0, 3), "\xFF\xD8\xFF");
    std::vector<std::pair<int, int>> sizes;
    for (int i = 0; i < 4; ++i)
        sizes.emplace_back(saver.pictureSize(i).cx, saver.pictureSize(i).cy);
    EXPECT_EQ(sizes, (std::vector<std::pair<int, int>>{{800, 600}, {300, 800}, {640, 480}, {800, 800}}));
    EXPECT_EQ(saver.countBlock(), countBlock("4"));
    EXPECT_FALSE(saver.resource(RT_MANIFEST, 1).empty()) << "the player's own resources stay";

    EXPECT_NE(log.text.find(L"---- スクリーンセーバーの作成開始("), std::wstring::npos);
    EXPECT_NE(log.text.find(L"入力ファイル数:4\r\n"), std::wstring::npos);
    EXPECT_NE(log.text.find(files[1] + L" -> \r\n"), std::wstring::npos);
    EXPECT_NE(log.text.find(L"出力ファイル名:" + path(L"four.scr") + L"\r\n\r\n"), std::wstring::npos);

    // The limit comes from the caller.
    ASSERT_EQ(buildSaver(path(L"small.scr"), pictures(1, 1000, 500), 100), ScreenSaverBuilder::Written);
    EXPECT_EQ(SaverFileContents(path(L"small.scr")).pictureSize(0).cy, 50);
}

TEST_F(ScreenSaverBuilderTest, OneFiftyOneAndNoPicturesGiveTheirGroupsAndCounts)
{
    ASSERT_EQ(build(L"one.scr", pictures(1)), ScreenSaverBuilder::Written);
    EXPECT_EQ(SaverFileContents(path(L"one.scr")).countBlock(), countBlock("1"));

    std::vector<std::wstring> files = pictures(50);
    files.push_back(pictures(1, 40, 30)[0]);
    ASSERT_EQ(build(L"many.scr", files), ScreenSaverBuilder::Written);
    SaverFileContents many(path(L"many.scr"));
    EXPECT_FALSE(many.resource(L"PICTURES0", 50).empty());
    EXPECT_TRUE(many.resource(L"PICTURES0", 51).empty());
    EXPECT_EQ(many.pictureSize(50).cx, 40) << "the 51st is PICTURES1, id 1";
    EXPECT_TRUE(many.resource(L"PICTURES1", 2).empty());
    EXPECT_EQ(many.countBlock(), countBlock("51"));

    ASSERT_EQ(build(L"none.scr", {}), ScreenSaverBuilder::Written);
    SaverFileContents none(path(L"none.scr"));
    EXPECT_TRUE(none.resource(L"PICTURES0", 1).empty());
    EXPECT_EQ(none.countBlock(), countBlock("0"));
}

TEST_F(ScreenSaverBuilderTest, AStoppedBuildLeavesTheTargetAsItWas)
{
    ASSERT_EQ(build(L"stopped.scr", pictures(1)), ScreenSaverBuilder::Written);
    Bytes before = readBytes(path(L"stopped.scr"));
    // Stopped before the 54th picture, after the first 51 went to the saver's file with the count 0.
    CancelAfter canceller(53);
    ASSERT_EQ(build(L"stopped.scr", pictures(55), &canceller), ScreenSaverBuilder::Cancelled);
    EXPECT_EQ(canceller.asked, 54);
    EXPECT_TRUE(readBytes(path(L"stopped.scr")) == before);
    EXPECT_NE(log.text.find(L"処理を中断しました。\r\n"), std::wstring::npos);
    EXPECT_NE(log.text.find(L"出力ファイル名:-\r\n"), std::wstring::npos);

    // Stopped at once, where there was no saver: none is left.
    CancelAfter atOnce(0);
    ASSERT_EQ(build(L"nothing.scr", pictures(2), &atOnce), ScreenSaverBuilder::Cancelled);
    WIN32_FIND_DATAW found;
    EXPECT_EQ(FindFirstFileW(path(L"nothing.scr").c_str(), &found), INVALID_HANDLE_VALUE);
    EXPECT_EQ(FindFirstFileW(path(L"*.tmp").c_str(), &found), INVALID_HANDLE_VALUE) << "a file of the build is left";
}

TEST_F(ScreenSaverBuilderTest, AFailedBuildLeavesTheTargetAsItWasAndNoFileOfItsOwn)
{
    std::wstring broken = path(L"broken.png");
    std::wstring target = path(L"kept.scr");
    for (const std::wstring& file : {broken, target}) {
        HANDLE handle = CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD written = 0;
        WriteFile(handle, "older", 5, &written, nullptr);
        CloseHandle(handle);
    }
    try {
        build(L"kept.scr", {pictures(1)[0], broken});
        ADD_FAILURE() << "the build went through";
    } catch (const ApplicationException& e) {
        EXPECT_STREQ(e.getText(), L"スクリーンセーバーの作成に失敗しました。");
    }
    WIN32_FIND_DATAW found;
    FindClose(FindFirstFileW(target.c_str(), &found));
    EXPECT_EQ(found.nFileSizeLow, 5u);
    EXPECT_EQ(FindFirstFileW(path(L"*.tmp").c_str(), &found), INVALID_HANDLE_VALUE) << "a file of the build is left";
    EXPECT_NE(log.text.find(L"---- 異常終了("), std::wstring::npos);

    // A folder that is not there is reported with the system's error.
    try {
        build(L"missing\\saver.scr", {});
        ADD_FAILURE() << "the build went through";
    } catch (const ApplicationException&) {
        ADD_FAILURE() << "the system's error was replaced";
    } catch (const Exception& e) {
        EXPECT_EQ(e.getCode(), ERROR_PATH_NOT_FOUND);
    }
}

TEST_F(ScreenSaverBuilderTest, ATargetThatCannotBeReplacedEndsTheBuildBeforeTheFirstPicture)
{
    std::vector<std::wstring> files = pictures(2);
    // Another program has the old saver open and lets nobody replace it.
    HANDLE holder = CreateFileW(path(L"held.scr").c_str(), GENERIC_READ, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    CancelAfter never(100);
    EXPECT_EQ(thrownCode([&] { build(L"held.scr", files, &never); }), ERROR_SHARING_VIOLATION);
    CloseHandle(holder);

    EXPECT_EQ(never.asked, 0) << "the build came to its pictures";
    EXPECT_EQ(log.text.find(L" -> "), std::wstring::npos);
    EXPECT_NE(log.text.find(L"---- 異常終了("), std::wstring::npos);
    WIN32_FIND_DATAW found;
    EXPECT_EQ(FindFirstFileW(path(L"*.tmp").c_str(), &found), INVALID_HANDLE_VALUE);
}
