// Convert and save under its progress dialog, with the robot answering its questions; the tests read back the
// dialog's result, the files and the log window's text.
#include <richedit.h>
#include <initializer_list>
#include <memory>
#include "JobTesting.h"
#include "imaging/ImagingTestSupport.h"
#include "imaging/gdipImageIO.h"
#include "jobs/CancelThreadOperationImpl.h"
#include "settings/OutputFormat.h"

namespace {

const std::wstring Start = L"---- 変換開始(T) ----\r\n\r\n";
const std::wstring Stopped = L"処理を中断しました。\r\n";

std::wstring text(const wstring& value)
{
    return value.buffer();
}

std::wstring end(int processed, int succeeded, int failed, int skipped)
{
    return L"\r\n---- 変換終了(T) ----\r\n\r\n処理ファイル数:" + std::to_wstring(processed) + L" 成功:" +
           std::to_wstring(succeeded) + L" 失敗:" + std::to_wstring(failed) + L" スキップ:" +
           std::to_wstring(skipped) + L"\r\n\r\n";
}

std::wstring converted(const wstring& source, const wstring& target)
{
    return text(source) + L" -> " + text(target) + L"\r\n";
}

bool exists(const wstring& path)
{
    return GetFileAttributesW(path.buffer()) != INVALID_FILE_ATTRIBUTES;
}

std::string contentsOf(const wstring& path)
{
    std::vector<BYTE> bytes = readBytes(path.buffer());
    return std::string(bytes.begin(), bytes.end());
}

bool isPng(const wstring& path)
{
    return contentsOf(path).compare(0, 4, "\x89PNG") == 0;
}

// The job's list of files.
struct Files : wstringArray {
    Files(std::initializer_list<wstring> paths)
    {
        for (const wstring& path : paths)
            add(path);
    }
};

class ConvertJobTest : public JobTest {
protected:
    // A small picture in the format of its extension (bmp, jpg or png), in the sources' folder.
    wstring picture(const wchar_t* name)
    {
        wstring path = folder.path((std::wstring(L"src\\") + name).c_str());
        CreateDirectoryW(folder.path(L"src").buffer(), nullptr);
        std::wstring extension = std::wstring(name).substr(std::wstring(name).rfind(L'.') + 1);
        const wchar_t* mimeType = extension == L"bmp" ? L"image/bmp" : extension == L"jpg" ? L"image/jpeg" : L"image/png";
        BitmapPtr bitmap(makeBitmap32(12, 8, [](int x, int) { return x < 6 ? 0xFFA01414u : 0xFF1428C8u; }));
        EXPECT_TRUE(gdipSaveToFile(path.buffer(), mimeType, bitmap.get(), nullptr)) << text(path);
        return path;
    }
    // A file that no loader reads.
    wstring broken(const wchar_t* name)
    {
        CreateDirectoryW(folder.path(L"src").buffer(), nullptr);
        return file((std::wstring(L"src\\") + name).c_str(), "not a picture");
    }
    wstring file(const wchar_t* name, const std::string& contents)
    {
        wstring path = folder.path(name);
        writeBytes(path.buffer(), std::vector<BYTE>(contents.begin(), contents.end()));
        return path;
    }
    wstring outputFolder()
    {
        CreateDirectoryW(folder.path(L"out").buffer(), nullptr);
        return folder.path(L"out\\");
    }
    wstring output(const wchar_t* name) { return folder.path((std::wstring(L"out\\") + name).c_str()); }

    // The colour of the log text at a position; -1 for the system's text colour.
    int logColorAt(size_t position)
    {
        HWND control = log.getPane().getTextControl();
        // The control counts each line break as one character.
        std::wstring before = logText().substr(0, position);
        LONG at = static_cast<LONG>(position);
        for (size_t found = before.find(L"\r\n"); found != std::wstring::npos; found = before.find(L"\r\n", found + 2))
            --at;
        SendMessageW(control, EM_SETSEL, at, at + 1);
        CHARFORMATW format{};
        format.cbSize = sizeof(format);
        SendMessageW(control, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
        return format.dwEffects & CFE_AUTOCOLOR ? -1 : static_cast<int>(format.crTextColor);
    }
};

} // namespace

TEST_F(ConvertJobTest, AnEmptyListLogsTheStartTheEndAndFourZeros)
{
    CancelThreadOperationImpl job(OutputFormat::Png, L"png", outputFolder(), wstringArray());
    EXPECT_EQ(runJob(job), IDOK);
    EXPECT_EQ(masked(logText()), Start + end(0, 0, 0, 0));
    EXPECT_EQ(job.getOutputFolders().count(), 0);
}

TEST_F(ConvertJobTest, EachPictureIsLoggedAndAFailureInItsColourAsksWhetherToGoOn)
{
    wstring first = picture(L"a.bmp");
    wstring bad = broken(L"broken.png");
    wstring last = picture(L"c.jpg");
    wstring out = outputFolder();
    CancelThreadOperationImpl job(OutputFormat::Png, L"png", out, Files{first, bad, last});
    std::wstring question;
    INT_PTR result = runJob(job, [&](WindowRobot& user) {
        HWND dialog = waitForProgress(user, L"保存中");
        waitForQuestion(user, dialog);
        EXPECT_EQ(user.text(dialog, DlgCancel::CountId), L"( 1 / 3 )") << "the failing picture is not done yet";
        question = user.answerMessageBox(IDYES, dialog);
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(question, L"変換に失敗しました。\n続行しますか？");
    std::wstring failureLine = L"(failure)" + text(bad) + L"\r\n";
    std::wstring expected =
        Start + converted(first, output(L"a.png")) + failureLine + converted(last, output(L"c.png")) + end(3, 2, 1, 0);
    EXPECT_EQ(masked(logText()), expected);
    EXPECT_TRUE(isPng(output(L"a.png")));
    EXPECT_TRUE(isPng(output(L"c.png")));
    ASSERT_EQ(job.getOutputFolders().count(), 1);
    EXPECT_EQ(text(job.getOutputFolders().at(0)), text(out));

    size_t mark = logText().find(L"(failure)");
    ASSERT_NE(mark, std::wstring::npos);
    EXPECT_EQ(logColorAt(mark), static_cast<int>(setting.windowLogFailureColor));
    EXPECT_EQ(logColorAt(mark + 8), static_cast<int>(setting.windowLogFailureColor));
    EXPECT_EQ(logColorAt(mark + 9), -1) << "the path after the mark";
    EXPECT_EQ(setting.windowLogFailureColor, RGB(255, 0, 0));
}

TEST_F(ConvertJobTest, AnExistingOutputIsReplacedSkippedOrEndsTheRunAsTheUserAnswers)
{
    setting.fileOverWrite = false;
    setting.fileAutoRename = false;
    wstring sources[] = {picture(L"x.bmp"), picture(L"y.bmp"), picture(L"z.bmp")};
    wstring out = outputFolder();
    for (const wchar_t* name : {L"out\\x.png", L"out\\y.png", L"out\\z.png"})
        file(name, "old");
    CancelThreadOperationImpl job(OutputFormat::Png, L"png", out, Files{sources[0], sources[1], sources[2]});
    std::wstring firstQuestion;
    INT_PTR result = runJob(job, [&](WindowRobot& user) {
        HWND dialog = waitForProgress(user, L"保存中");
        firstQuestion = user.answerMessageBox(IDYES, dialog);
        user.answerMessageBox(IDNO, dialog);
        user.answerMessageBox(IDCANCEL, dialog);
    });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(firstQuestion, L"ファイル " + text(output(L"x.png")) + L" は既に存在します。\n上書きしますか？");
    std::wstring skipLine = L"(skip)" + text(sources[1]) + L"\r\n";
    EXPECT_EQ(masked(logText()), Start + converted(sources[0], output(L"x.png")) + skipLine + Stopped + end(2, 1, 0, 1));
    EXPECT_TRUE(isPng(output(L"x.png")));
    EXPECT_EQ(contentsOf(output(L"y.png")), "old");
    EXPECT_EQ(contentsOf(output(L"z.png")), "old");
    size_t mark = logText().find(L"(skip)");
    EXPECT_EQ(logColorAt(mark), static_cast<int>(setting.windowLogSkipColor));
    EXPECT_EQ(setting.windowLogSkipColor, RGB(0, 0, 255));
}

TEST_F(ConvertJobTest, AutomaticRenamingNumbersOutputsPastEveryExistingName)
{
    setting.fileOverWrite = false;
    setting.fileAutoRename = true;
    wstring first = picture(L"a.bmp");
    wstring second = picture(L"a.jpg");
    wstring out = outputFolder();
    file(L"out\\a.png", "old");
    CancelThreadOperationImpl job(OutputFormat::Png, L"png", out, Files{first, second});
    EXPECT_EQ(runJob(job), IDOK);
    EXPECT_EQ(masked(logText()),
              Start + converted(first, output(L"a_1.png")) + converted(second, output(L"a_2.png")) + end(2, 2, 0, 0));
    EXPECT_EQ(contentsOf(output(L"a.png")), "old");
}

TEST_F(ConvertJobTest, AnOutputOfThisRunIsNeverReplacedByALaterPictureOfTheSameName)
{
    setting.fileOverWrite = true;
    setting.fileDelSrc = true;
    wstring first = picture(L"a.bmp");
    wstring second = picture(L"a.jpg");
    wstring out = outputFolder();
    file(L"out\\a.png", "old");
    CancelThreadOperationImpl job(OutputFormat::Png, L"png", out, Files{first, second});
    std::wstring deletion;
    INT_PTR result = runJob(job, [&](WindowRobot& user) {
        HWND dialog = waitForProgress(user, L"保存中");
        user.answerMessageBox(IDNO, dialog);
        deletion = user.answerMessageBox(IDYES, dialog);
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(deletion, L"変換元ファイル（ 1 個）を削除しますか？") << "only the source whose output stays";
    EXPECT_FALSE(exists(first));
    EXPECT_TRUE(exists(second));
}

TEST_F(ConvertJobTest, CancelStopsBeforeTheNextPictureAndOffersNoDeletion)
{
    setting.fileDelSrc = true;
    wstring first = picture(L"a.bmp");
    wstring bad = broken(L"broken.png");
    wstring last = picture(L"c.bmp");
    CancelThreadOperationImpl job(OutputFormat::Png, L"png", outputFolder(), Files{first, bad, last});
    INT_PTR result = runJob(job, [&](WindowRobot& user) {
        HWND dialog = waitForProgress(user, L"保存中");
        waitForQuestion(user, dialog);
        // Twice, as an impatient user would; the dialog waits for the job either way.
        pressCancel(dialog);
        pressCancel(dialog);
        EXPECT_TRUE(IsWindow(dialog));
        user.answerMessageBox(IDYES, dialog);
        user.waitUntilGone(dialog);
    });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(masked(logText()), Start + converted(first, output(L"a.png")) + L"(failure)" + text(bad) + L"\r\n" +
                                     Stopped + end(2, 1, 1, 0));
    EXPECT_TRUE(exists(first));
    EXPECT_FALSE(exists(output(L"c.png")));
    EXPECT_FALSE(job.getSourcesDeleted());
}

TEST_F(ConvertJobTest, ACancelDuringTheEffectsLeavesThatPictureWithoutALogLine)
{
    setting.fileOverWrite = false;
    setting.fileAutoRename = false;
    wstring source = picture(L"a.bmp");
    outputFolder();
    file(L"out\\a.png", "old");
    CancelThreadOperationImpl job(OutputFormat::Png, L"png", folder.path(L"out\\"), Files{source});
    INT_PTR result = runJob(job, [&](WindowRobot& user) {
        HWND dialog = waitForProgress(user, L"保存中");
        waitForQuestion(user, dialog);
        // The cancel stands when the picture enters the effects, past the run's own check before each picture.
        pressCancel(dialog);
        user.answerMessageBox(IDYES, dialog);
    });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(masked(logText()), Start + Stopped + end(0, 0, 0, 0));
    EXPECT_EQ(contentsOf(output(L"a.png")), "old");
}

TEST_F(ConvertJobTest, SourcesAreDeletedOnlyWhenTheUserAgrees)
{
    setting.fileDelSrc = true;
    for (int answer : {IDNO, IDYES}) {
        wstring kept = picture(L"a.bmp");
        wstring locked = picture(L"b.bmp");
        SetFileAttributesW(locked.buffer(), FILE_ATTRIBUTE_READONLY);
        SendMessageW(log.getPane().getTextControl(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
        DeleteFileW(output(L"a.png").buffer());
        DeleteFileW(output(L"b.png").buffer());
        CancelThreadOperationImpl job(OutputFormat::Png, L"png", outputFolder(), Files{kept, locked});
        std::wstring question;
        std::wstring failures;
        INT_PTR result = runJob(job, [&](WindowRobot& user) {
            question = user.answerMessageBox(answer, waitForProgress(user, L"保存中"));
            if (answer == IDYES)
                failures = user.answerMessageBox(IDOK);
        });
        EXPECT_EQ(result, IDOK);
        EXPECT_EQ(question, L"変換元ファイル（ 2 個）を削除しますか？");
        std::wstring converting = Start + converted(kept, output(L"a.png")) + converted(locked, output(L"b.png")) +
                                  end(2, 2, 0, 0);
        if (answer == IDNO) {
            EXPECT_EQ(masked(logText()), converting);
            EXPECT_TRUE(exists(kept));
            EXPECT_FALSE(job.getSourcesDeleted());
        } else {
            EXPECT_EQ(masked(logText()), converting + text(kept) + L" を削除しました。\r\n" + text(locked) +
                                             L" の削除に失敗しました。\r\n\r\n");
            EXPECT_EQ(failures, L"1 個のファイルの削除に失敗しました。");
            EXPECT_FALSE(exists(kept));
            EXPECT_TRUE(exists(locked));
            EXPECT_TRUE(job.getSourcesDeleted());
        }
        SetFileAttributesW(locked.buffer(), FILE_ATTRIBUTE_NORMAL);
    }
}

TEST_F(ConvertJobTest, APictureIsRewrittenInPlaceAndSurvivesAFailedSave)
{
    setting.fileOverWrite = true;
    setting.fileDelSrc = true;
    wstring source = picture(L"same.png");
    wstring guarded = picture(L"guarded.png");
    std::string original = contentsOf(guarded);
    // Another program reads it and lets nobody replace it meanwhile.
    HANDLE reader = CreateFileW(guarded.buffer(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    SYSTEMTIME old = {2001, 2, 0, 3, 4, 5, 6, 0};
    FILETIME oldTime;
    SystemTimeToFileTime(&old, &oldTime);
    HANDLE handle = CreateFileW(source.buffer(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    SetFileTime(handle, nullptr, nullptr, &oldTime);
    CloseHandle(handle);

    CancelThreadOperationImpl job(OutputFormat::Png, L"png", Files{source, guarded});
    std::wstring question;
    INT_PTR result = runJob(job, [&](WindowRobot& user) {
        question = user.answerMessageBox(IDYES, waitForProgress(user, L"保存中"));
    });
    CloseHandle(reader);

    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(question, L"変換に失敗しました。\n続行しますか？") << "the save of the held picture fails";
    EXPECT_EQ(masked(logText()), Start + converted(source, source) + L"(failure)" + text(guarded) + L"\r\n" +
                                     end(2, 1, 1, 0))
        << "a source that is its own output is never offered for deletion";
    EXPECT_TRUE(isPng(source));
    WIN32_FILE_ATTRIBUTE_DATA data{};
    GetFileAttributesExW(source.buffer(), GetFileExInfoStandard, &data);
    EXPECT_NE(CompareFileTime(&data.ftLastWriteTime, &oldTime), 0) << "rewritten";
    EXPECT_EQ(contentsOf(guarded), original);
    ASSERT_EQ(job.getOutputFolders().count(), 1);
    EXPECT_EQ(text(job.getOutputFolders().at(0)), text(folder.path(L"src\\")));
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(folder.path(L"src\\*").buffer(), &found);
    int files = 0;
    do {
        files += (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? 0 : 1;
    } while (FindNextFileW(search, &found));
    FindClose(search);
    EXPECT_EQ(files, 2) << "no temporary file is left behind";
}

TEST_F(ConvertJobTest, AnErrorEndsTheRunWithItsLineAndItsMessageOverTheDialog)
{
    // Counter settings out of range stop the rename rule before the first picture.
    setting.renameIndexIncrement = 0;
    CancelThreadOperationImpl job(OutputFormat::Png, L"png", outputFolder(), Files{picture(L"a.bmp")});
    std::wstring shown;
    INT_PTR result = runJob(job, [&](WindowRobot& user) {
        shown = user.answerMessageBox(IDOK, waitForProgress(user, L"保存中"));
    });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_FALSE(shown.empty());
    EXPECT_EQ(masked(logText()), Start + L"\r\n---- 異常終了(T) ----\r\n\r\n");
    EXPECT_FALSE(exists(output(L"a.png")));
}

TEST_F(ConvertJobTest, WithoutALogWindowTheQuestionsStillCome)
{
    setAppLogWindow(nullptr);
    CancelThreadOperationImpl job(OutputFormat::Png, L"png", outputFolder(), Files{broken(L"bad.png")});
    std::wstring question;
    EXPECT_EQ(runJob(job, [&](WindowRobot& user) {
                  question = user.answerMessageBox(IDNO, waitForProgress(user, L"保存中"));
              }),
              IDCANCEL);
    EXPECT_EQ(question, L"変換に失敗しました。\n続行しますか？");
    EXPECT_EQ(logText(), L"");
}
