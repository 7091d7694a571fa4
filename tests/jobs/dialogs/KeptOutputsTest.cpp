// A thumbnail sheet or a screen saver that the user stops, or that fails, under its progress dialog: the files
// that were there before stay byte for byte, and where there were none, none are left.
#include <map>
#include "JobTesting.h"
#include "jobs/SSThreadImpl.h"
#include "jobs/ThumbnailThreadImpl.h"

namespace {

struct Case {
    const char* name;
    bool saver;      // else a sheet
    bool thumbnails; // the sheet's JPEG thumbnails beside it
    bool before;     // a complete run of the job with other pictures made the outputs first
    // Cancel is pressed as the log shows this for the n-th time; without it the second picture cannot be read.
    const wchar_t* cancelAt = nullptr;
    int occurrence = 1;
    const wchar_t* screenshot = L"";
    const wchar_t* folder = L""; // where the thumbnails go, below the sheet's folder
};

const wchar_t* const Picture = L" -> ";
const wchar_t* const PageStarted = L"サムネイルファイルを作成中...";

class KeptOutputsTest : public JobTest {
protected:
    void SetUp() override
    {
        JobTest::SetUp();
        log.getPane().setMaxLines(10000);
        setting.fileThumbnailType = 1;
        setting.fileThumbnailImageOverWrite = true;
    }

    wstring out(const std::wstring& name = L"") { return pathOf((L"out\\" + name).c_str()); }
    std::map<std::wstring, Bytes> outputs()
    {
        std::map<std::wstring, Bytes> files;
        collectFiles(out().buffer(), L"", files);
        return files;
    }
    Files pictures(const wchar_t* stem, int count, UINT32 argb)
    {
        Files files;
        for (int i = 0; i < count; ++i)
            files.add(png((stem + std::to_wstring(i) + L".png").c_str(), 40, 30, argb));
        return files;
    }

    // The case's job over the pictures, run by `run`.
    template <typename Run>
    Ending withJob(const Case& test, const Files& list, Run run)
    {
        if (test.saver) {
            SSThreadImpl job(out(L"pictures.scr"), list);
            return run(job);
        }
        ThumbnailThreadImpl job(test.thumbnails ? out(test.folder) : wstring(), out(L"sheet.html"), list);
        return run(job);
    }
    template <typename Job>
    Ending stop(Job& job, const Case& test)
    {
        if (!test.cancelAt)
            return runAnswering(job, test.saver ? L"スクリーンセーバー作成中" : L"サムネイル作成中");
        CancelAtLogText cancel(log, test.cancelAt, test.occurrence, test.screenshot);
        return {runJob(job), L""};
    }
};

} // namespace

TEST_F(KeptOutputsTest, AStoppedOrFailedSheetOrSaverLeavesTheFilesThatWereThere)
{
    const Case cases[] = {
        {"saver stopped after its second picture", true, false, true, Picture, 2, L"saver-cancelled"},
        {"new saver stopped", true, false, false, Picture, 2},
        {"saver with an unreadable picture", true, false, true},
        {"sheet stopped while its page is written", false, false, true, PageStarted, 1, L"sheet-cancelled"},
        {"sheet with thumbnails stopped while its page is written", false, true, true, PageStarted},
        {"new sheet in new folders stopped while its page is written", false, true, false, PageStarted, 1, L"",
         L"img\\small\\"},
        {"new sheet stopped while its page is written", false, false, false, PageStarted},
        {"sheet with thumbnails and an unreadable picture", false, true, true},
    };
    Files old = pictures(L"old", 3, 0xFF2040C0);
    Files stopped = pictures(L"new", 4, 0xFFC04020);
    Files broken{stopped.at(0), file(L"broken.png"), stopped.at(2)};
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        ScratchFolder::removeTree(out().buffer());
        CreateDirectoryW(out().buffer(), nullptr);
        if (test.before) {
            ASSERT_EQ(withJob(test, old, [&](auto& job) { return Ending(runJob(job), L""); }).first, IDOK);
        }
        std::map<std::wstring, Bytes> before = outputs();
        std::wstring logBefore = logText();

        Ending ending = withJob(test, test.cancelAt ? stopped : broken, [&](auto& job) { return stop(job, test); });
        expectSameFiles(outputs(), before);
        EXPECT_FALSE(exists(out(L"img")));
        std::wstring added = logText().substr(logBefore.size());
        if (test.cancelAt) {
            EXPECT_EQ(ending, Ending(IDCANCEL, L""));
            // What the log tells of a sheet is there.
            EXPECT_TRUE(test.saver || added.find(Picture) == std::wstring::npos) << added;
            EXPECT_NE(added.find(Stopped + L"\r\n---- "), std::wstring::npos) << added;
            EXPECT_TRUE(added.ends_with(L"出力ファイル名:-\r\n\r\n")) << added;
        } else {
            EXPECT_EQ(ending, Ending(IDCANCEL, test.saver ? L"スクリーンセーバーの作成に失敗しました。"
                                                          : L"サムネイル画像の作成に失敗しました。"));
            EXPECT_TRUE(added.ends_with(ErrorEnd)) << added;
        }
    }
}
