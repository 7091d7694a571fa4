// Convert and save under its progress dialog, with the robot answering its questions; the tests read back the
// dialog's result, the files and the log window's text and colours.
#include <optional>
#include "JobTesting.h"
#include "support/ImagingTestSupport.h"
#include "support/fileBytes.h"
#include "imaging/gdipImageIO.h"
#include "jobs/CancelThreadOperationImpl.h"
#include "jobs/RenameUtil.h"
#include "settings/OutputFormat.h"

namespace {

const std::wstring Start = L"---- 変換開始(T) ----\r\n\r\n";
const std::wstring GoOn = L"変換に失敗しました。\n続行しますか？";

std::wstring end(int processed, int succeeded, int failed, int skipped)
{
    return L"\r\n---- 変換終了(T) ----\r\n\r\n処理ファイル数:" + std::to_wstring(processed) + L" 成功:" +
           std::to_wstring(succeeded) + L" 失敗:" + std::to_wstring(failed) + L" スキップ:" +
           std::to_wstring(skipped) + L"\r\n\r\n";
}

std::wstring line(const wstring& source, const wstring& target)
{
    return std::wstring(source.buffer()) + L" -> " + target.buffer() + L"\r\n";
}

std::wstring marked(const wchar_t* mark, const wstring& source)
{
    return mark + std::wstring(source.buffer()) + L"\r\n";
}

// Refuses every window the thread goes on to make, as a system that cannot show a message box does.
class RefusedWindows {
public:
    explicit RefusedWindows(DWORD thread) : hook(SetWindowsHookExW(WH_CBT, refuse, nullptr, thread))
    {
        EXPECT_NE(hook, nullptr);
    }
    RefusedWindows(const RefusedWindows&) = delete;
    RefusedWindows& operator=(const RefusedWindows&) = delete;
    ~RefusedWindows() { UnhookWindowsHookEx(hook); }

private:
    static LRESULT CALLBACK refuse(int code, WPARAM wParam, LPARAM lParam)
    {
        return code == HCBT_CREATEWND ? 1 : CallNextHookEx(nullptr, code, wParam, lParam);
    }

    HHOOK hook;
};

bool isPng(const wstring& path)
{
    return contentsOf(path).compare(0, 4, "\x89PNG") == 0;
}

class ConvertJobTest : public JobTest {
protected:
    void SetUp() override
    {
        JobTest::SetUp();
        CreateDirectoryW(pathOf(L"src").buffer(), nullptr);
        CreateDirectoryW(pathOf(L"out").buffer(), nullptr);
    }
    // A small picture in the format of its extension (bmp, jpg or png) among the sources.
    wstring picture(const wchar_t* name)
    {
        wstring path = pathOf((std::wstring(L"src\\") + name).c_str());
        std::wstring type = path.buffer() + path.length() - 3;
        BitmapPtr bitmap(makeBitmap32(12, 8, [](int x, int) { return x < 6 ? 0xFFA01414u : 0xFF1428C8u; }));
        const wchar_t* mimeType = type == L"bmp" ? L"image/bmp" : type == L"jpg" ? L"image/jpeg" : L"image/png";
        EXPECT_TRUE(gdipSaveToFile(path.buffer(), mimeType, bitmap.get(), nullptr));
        return path;
    }
    wstring out(const wchar_t* name = L"") { return pathOf((std::wstring(L"out\\") + name).c_str()); }
    // The colours of a mark in the log and of the text right after it.
    std::pair<int, int> colorsOf(const wchar_t* mark)
    {
        HWND control = log.getPane().getTextControl();
        LONG at = richEditFind(control, mark);
        return {richEditColorAt(control, at), richEditColorAt(control, at + static_cast<LONG>(wcslen(mark)))};
    }
};

} // namespace

TEST_F(ConvertJobTest, EachPictureIsLoggedAndAFailureInItsColourAsksWhetherToGoOn)
{
    wstring first = picture(L"a.bmp");
    wstring bad = file(L"src\\broken.png");
    wstring last = picture(L"c.jpg");
    CancelThreadOperationImpl job(OutputFormat::Png, L"png", out(), Files{first, bad, last});
    std::wstring question;
    EXPECT_EQ(runJob(job,
                     [&](WindowRobot& user) {
                         HWND dialog = waitForProgress(user, L"保存中");
                         waitForQuestion(user, dialog);
                         EXPECT_EQ(user.text(dialog, DlgCancel::CountId), L"( 1 / 3 )");
                         user.screenshot(dialog, L"progress-saving");
                         question = user.answerMessageBox(IDYES, dialog);
                     }),
              IDOK);
    EXPECT_EQ(question, GoOn);
    EXPECT_EQ(logText(), Start + line(first, out(L"a.png")) + marked(L"(failure)", bad) + line(last, out(L"c.png")) +
                             end(3, 2, 1, 0));
    EXPECT_TRUE(isPng(out(L"a.png")) && isPng(out(L"c.png")));
    ASSERT_EQ(job.getOutputFolders().count(), 1);
    EXPECT_EQ(job.getOutputFolders().at(0), out());
    EXPECT_EQ(colorsOf(L"(failure)"), std::make_pair(static_cast<int>(RGB(255, 0, 0)), -1));
}

TEST_F(ConvertJobTest, AnExistingOutputIsReplacedSkippedOrEndsTheRunAsTheUserAnswers)
{
    wstring x = picture(L"x.bmp"), y = picture(L"y.bmp"), z = picture(L"z.bmp");
    for (const wchar_t* name : {L"out\\x.png", L"out\\y.png", L"out\\z.png"})
        file(name, "old");
    CancelThreadOperationImpl job(OutputFormat::Png, L"png", out(), Files{x, y, z});
    std::wstring question;
    EXPECT_EQ(runJob(job,
                     [&](WindowRobot& user) {
                         HWND dialog = waitForProgress(user, L"保存中");
                         question = user.answerMessageBox(IDYES, dialog);
                         user.answerMessageBox(IDNO, dialog);
                         user.answerMessageBox(IDCANCEL, dialog);
                     }),
              IDCANCEL);
    EXPECT_EQ(question, L"ファイル " + std::wstring(out(L"x.png").buffer()) + L" は既に存在します。\n上書きしますか？");
    EXPECT_EQ(logText(), Start + line(x, out(L"x.png")) + marked(L"(skip)", y) + Stopped + end(2, 1, 0, 1));
    EXPECT_TRUE(isPng(out(L"x.png")));
    EXPECT_EQ(contentsOf(out(L"y.png")) + contentsOf(out(L"z.png")), "oldold");
    EXPECT_EQ(colorsOf(L"(skip)"), std::make_pair(static_cast<int>(RGB(0, 0, 255)), -1));
}

TEST_F(ConvertJobTest, AutomaticRenamingNumbersOutputsPastEveryExistingName)
{
    setting.fileAutoRename = true;
    wstring first = picture(L"a.bmp");
    wstring second = picture(L"a.jpg");
    file(L"out\\a.png", "old");
    CancelThreadOperationImpl job(OutputFormat::Png, L"png", out(), Files{first, second});
    EXPECT_EQ(runJob(job), IDOK);
    EXPECT_EQ(logText(), Start + line(first, out(L"a_1.png")) + line(second, out(L"a_2.png")) + end(2, 2, 0, 0));
}

TEST_F(ConvertJobTest, AnOutputOfThisRunIsNeverReplacedByALaterPictureOfTheSameName)
{
    setting.fileOverWrite = true;
    setting.fileDelSrc = true;
    wstring first = picture(L"a.bmp");
    wstring second = picture(L"a.jpg");
    file(L"out\\a.png", "old");
    CancelThreadOperationImpl job(OutputFormat::Png, L"png", out(), Files{first, second});
    std::wstring deletion;
    EXPECT_EQ(runJob(job,
                     [&](WindowRobot& user) {
                         HWND dialog = waitForProgress(user, L"保存中");
                         user.answerMessageBox(IDNO, dialog);
                         deletion = user.answerMessageBox(IDNO, dialog);
                     }),
              IDOK);
    EXPECT_EQ(deletion, L"変換元ファイル（ 1 個）を削除しますか？") << "only the source whose output stays";
    EXPECT_TRUE(exists(first) && exists(second)) << "the user said no";
    EXPECT_FALSE(job.getSourcesDeleted());
}

// The rule gives each picture the name of the next source beside it: by the end those sources hold this run's
// pictures, and only the last source is offered for deletion.
TEST_F(ConvertJobTest, DeletingTheSourcesSparesEveryPathTheRunWrote)
{
    setting.fileOverWrite = true;
    setting.fileDelSrc = true;
    setting.renameEnable = true;
    setting.renameDefinition = L"image$index.$ext";
    wstring first = picture(L"image1.bmp"), second = picture(L"image2.bmp"), third = picture(L"image3.bmp");
    CancelThreadOperationImpl job(OutputFormat::Bitmap, L"bmp", Files{first, second, third});
    std::wstring question;
    EXPECT_EQ(runJob(job,
                     [&](WindowRobot& user) {
                         question = user.answerMessageBox(IDYES, waitForProgress(user, L"保存中"));
                     }),
              IDOK);
    EXPECT_EQ(question, L"変換元ファイル（ 1 個）を削除しますか？");
    wstring image0 = pathOf(L"src\\image0.bmp");
    EXPECT_EQ(logText(), Start + line(first, image0) + line(second, first) + line(third, second) + end(3, 3, 0, 0) +
                             third.buffer() + L" を削除しました。\r\n\r\n");
    EXPECT_TRUE(exists(image0) && exists(first) && exists(second));
    EXPECT_FALSE(exists(third));
}

// A picture whose resize throws (1 x 8000 pixels widened to 160 would have 1.28 million rows, more than the program
// gives any picture) and one the rule can give no name are failures of their own, and the user chooses to go on.
TEST_F(ConvertJobTest, APictureThatCannotBeConvertedOrNamedFailsByItsName)
{
    setting.resizeEnable = true;
    setting.resizeWidth = 160;
    setting.resizeAdjust = 1;
    wstring first = picture(L"a.bmp");
    wstring broken = png(L"src\\tall.png", 1, 8000);
    wstring last = picture(L"c.jpg");
    CancelThreadOperationImpl loading(OutputFormat::Png, L"png", out(), Files{first, broken, last});
    EXPECT_EQ(runAnswering(loading, L"保存中", IDYES), Ending(IDOK, GoOn));
    EXPECT_EQ(logText(), Start + line(first, out(L"a.png")) + marked(L"(failure)", broken) + line(last, out(L"c.png")) +
                             end(3, 2, 1, 0));
    EXPECT_EQ(temporaryFilesIn(out()), 0);

    setting.renameEnable = true;
    setting.renameDefinition = L"$fname?.$ext";
    std::wstring before = logText();
    CancelThreadOperationImpl naming(OutputFormat::Png, L"png", out(), Files{first, last});
    std::vector<std::wstring> questions;
    EXPECT_EQ(runJob(naming,
                     [&](WindowRobot& user) {
                         HWND dialog = waitForProgress(user, L"保存中");
                         user.screenshot(waitForQuestion(user, dialog), L"unnamed-picture-question");
                         questions.push_back(user.answerMessageBox(IDYES, dialog));
                         questions.push_back(user.answerMessageBox(IDNO, dialog));
                     }),
              IDCANCEL);
    EXPECT_EQ(questions, (std::vector<std::wstring>{GoOn, GoOn}));
    EXPECT_EQ(logText().substr(before.size()),
              Start + marked(L"(failure)", first) + marked(L"(failure)", last) + Stopped + end(2, 0, 2, 0));
}

TEST_F(ConvertJobTest, CancelStopsBeforeTheNextPictureAndOffersNoDeletion)
{
    setting.fileDelSrc = true;
    wstring first = picture(L"a.bmp");
    wstring bad = file(L"src\\broken.png");
    wstring last = picture(L"c.bmp");
    CancelThreadOperationImpl job(OutputFormat::Png, L"png", out(), Files{first, bad, last});
    EXPECT_EQ(runJob(job,
                     [&](WindowRobot& user) {
                         HWND dialog = waitForProgress(user, L"保存中");
                         waitForQuestion(user, dialog);
                         // Twice, as an impatient user would; the dialog waits for the job either way.
                         pressCancel(dialog);
                         pressCancel(dialog);
                         EXPECT_TRUE(IsWindowVisible(dialog));
                         user.answerMessageBox(IDYES, dialog);
                         user.waitUntilGone(dialog);
                     }),
              IDCANCEL);
    EXPECT_EQ(logText(), Start + line(first, out(L"a.png")) + marked(L"(failure)", bad) + Stopped + end(2, 1, 1, 0));
    EXPECT_TRUE(exists(first));
    EXPECT_FALSE(exists(out(L"c.png")));
    EXPECT_FALSE(job.getSourcesDeleted());
}

TEST_F(ConvertJobTest, ACancelDuringTheEffectsLeavesThatPictureWithoutALogLine)
{
    wstring source = picture(L"a.bmp");
    file(L"out\\a.png", "old");
    CancelThreadOperationImpl job(OutputFormat::Png, L"png", out(), Files{source});
    EXPECT_EQ(runJob(job,
                     [&](WindowRobot& user) {
                         HWND dialog = waitForProgress(user, L"保存中");
                         waitForQuestion(user, dialog);
                         // Past the run's own check before the picture: the cancel meets it in the effects.
                         pressCancel(dialog);
                         user.answerMessageBox(IDYES, dialog);
                     }),
              IDCANCEL);
    EXPECT_EQ(logText(), Start + Stopped + end(0, 0, 0, 0));
    EXPECT_EQ(contentsOf(out(L"a.png")), "old");
}

// The failed deletions are told in a box of their own. The files are gone whether or not that box can be shown,
// so a box that cannot be made still leaves the run done, and the window then drops them from its list.
TEST_F(ConvertJobTest, AgreedDeletionsAreLoggedAndFailuresCountedWhetherOrNotTheirBoxCanBeShown)
{
    setting.fileDelSrc = true;
    setting.fileOverWrite = true;
    for (bool boxShown : {true, false}) {
        SCOPED_TRACE(boxShown ? "box shown" : "box refused");
        std::wstring before = logText();
        wstring kept = picture(L"a.bmp");
        wstring locked = picture(L"b.bmp");
        SetFileAttributesW(locked.buffer(), FILE_ATTRIBUTE_READONLY);
        CancelThreadOperationImpl job(OutputFormat::Png, L"png", out(), Files{kept, locked});
        std::optional<RefusedWindows> refused;
        std::wstring question;
        std::wstring failures;
        INT_PTR result = runJob(job, [&](WindowRobot& user) {
            HWND dialog = waitForProgress(user, L"保存中");
            if (!boxShown)
                refused.emplace(GetWindowThreadProcessId(waitForQuestion(user, dialog), nullptr));
            question = user.answerMessageBox(IDYES, dialog);
            if (boxShown)
                failures = user.answerMessageBox(IDOK);
        });
        refused.reset();
        SetFileAttributesW(locked.buffer(), FILE_ATTRIBUTE_NORMAL);
        EXPECT_EQ(result, IDOK);
        EXPECT_EQ(question, L"変換元ファイル（ 2 個）を削除しますか？");
        EXPECT_EQ(failures, boxShown ? L"1 個のファイルの削除に失敗しました。" : L"");
        EXPECT_EQ(logText().substr(before.size()), Start + line(kept, out(L"a.png")) + line(locked, out(L"b.png")) +
                                                       end(2, 2, 0, 0) + kept.buffer() + L" を削除しました。\r\n" +
                                                       locked.buffer() + L" の削除に失敗しました。\r\n\r\n");
        EXPECT_FALSE(exists(kept));
        EXPECT_TRUE(job.getSourcesDeleted());
    }
}

TEST_F(ConvertJobTest, APictureIsRewrittenInPlaceAndSurvivesAFailedSave)
{
    setting.fileOverWrite = true;
    setting.fileDelSrc = true;
    wstring source = picture(L"same.png");
    wstring held = picture(L"held.png");
    std::string original = contentsOf(held);
    FILETIME old{0, 0x01C0A000};
    HANDLE writer = CreateFileW(source.buffer(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    SetFileTime(writer, nullptr, nullptr, &old);
    CloseHandle(writer);
    // Another program reads this one and lets nobody replace it meanwhile.
    HANDLE reader = CreateFileW(held.buffer(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    CancelThreadOperationImpl job(OutputFormat::Png, L"png", Files{source, held});
    Ending ending = runAnswering(job, L"保存中", IDYES);
    CloseHandle(reader);

    EXPECT_EQ(ending, Ending(IDOK, GoOn));
    EXPECT_EQ(logText(), Start + line(source, source) + marked(L"(failure)", held) + end(2, 1, 1, 0))
        << "a source that is its own output is never offered for deletion";
    WIN32_FILE_ATTRIBUTE_DATA data{};
    GetFileAttributesExW(source.buffer(), GetFileExInfoStandard, &data);
    EXPECT_TRUE(isPng(source));
    EXPECT_NE(CompareFileTime(&data.ftLastWriteTime, &old), 0) << "rewritten";
    EXPECT_EQ(contentsOf(held), original);
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(pathOf(L"src\\*.tmp").buffer(), &found);
    EXPECT_EQ(search, INVALID_HANDLE_VALUE) << "no temporary file is left behind";
    if (search != INVALID_HANDLE_VALUE)
        FindClose(search);
    ASSERT_EQ(job.getOutputFolders().count(), 1);
    EXPECT_EQ(job.getOutputFolders().at(0), pathOf(L"src\\"));
}

TEST_F(ConvertJobTest, AnErrorEndsTheRunWithItsLineAndItsMessageOverTheDialog)
{
    // Counter settings out of range stop the rename rule before the first picture.
    setting.renameIndexIncrement = 0;
    CancelThreadOperationImpl job(OutputFormat::Png, L"png", out(), Files{picture(L"a.bmp")});
    std::wstring shown;
    EXPECT_EQ(runJob(job,
                     [&](WindowRobot& user) {
                         shown = user.answerMessageBox(IDOK, waitForProgress(user, L"保存中"));
                     }),
              IDCANCEL);
    EXPECT_FALSE(shown.empty());
    EXPECT_EQ(logText(), Start + L"\r\n---- 異常終了(T) ----\r\n\r\n");
    EXPECT_FALSE(exists(out(L"a.png")));
}

namespace {

// What a user meets in one run: how the dialog closed, the questions with the count shown beside them, the log
// (start and end times masked) and every file of the output folder.
struct ConvertRun {
    INT_PTR result = 0;
    std::vector<std::wstring> questions;
    std::wstring log;
    std::map<std::wstring, Bytes> files;
};

// Runs with several workers and with one must not differ in anything a user can see.
class PipelinedConvertJobTest : public ConvertJobTest {
protected:
    void SetUp() override
    {
        ConvertJobTest::SetUp();
        // Every picture is shrunk, so the effect chain runs beside the decoders and encoders.
        setting.resizeEnable = true;
        setting.resizeWidth = 64;
        setting.resizeHeight = 64;
        setting.resizeAdjust = 1;
        setting.jpegEnable = true;
        setting.jpegQuality = 80;
    }

    // A noisy picture of its own size, so that no two outputs are alike.
    wstring noisy(const std::wstring& name, int seed)
    {
        wstring path = pathOf((L"src\\" + name).c_str());
        UINT32 noise = static_cast<UINT32>(seed + 1) * 2654435761u;
        BitmapPtr bitmap(makeBitmap32(160 + seed * 11, 120 + seed * 5, [&](int x, int y) {
            noise = noise * 1664525 + 1013904223;
            return 0xFF000000u | ((x + seed * 20) & 0xFF) << 16 | ((y * 2) & 0xFF) << 8 | (noise >> 24);
        }));
        const wchar_t* mimeType = seed % 2 ? L"image/png" : L"image/jpeg";
        EXPECT_TRUE(gdipSaveToFile(path.buffer(), mimeType, bitmap.get(), nullptr));
        return path;
    }

    // Pictures p0 ... into a JPEG each; `old` names outputs that are there before the run.
    ConvertRun convert(int workers, const Files& sources, const std::vector<int>& answers,
                       const std::vector<const wchar_t*>& old = {})
    {
        ScratchFolder::removeTree(out().buffer());
        CreateDirectoryW(out().buffer(), nullptr);
        for (const wchar_t* name : old)
            file((std::wstring(L"out\\") + name).c_str(), "old");
        std::wstring before = logText();
        CancelThreadOperationImpl job(OutputFormat::Jpeg, L"jpg", out(), sources);
        job.setWorkers(workers);
        ConvertRun run;
        run.result = runJob(job, [&](WindowRobot& user) {
            // A run without questions may be over before the user could see its dialog.
            if (answers.empty())
                return;
            HWND dialog = waitForProgress(user, L"保存中");
            for (int answer : answers) {
                waitForQuestion(user, dialog);
                std::wstring count = user.text(dialog, DlgCancel::CountId);
                run.questions.push_back(count + L" " + user.answerMessageBox(answer, dialog));
            }
        });
        run.log = logText().substr(before.size());
        collectFiles(out().buffer(), L"", run.files);
        return run;
    }

    static void expectSame(const ConvertRun& together, const ConvertRun& alone)
    {
        EXPECT_EQ(together.result, alone.result);
        EXPECT_EQ(together.questions, alone.questions);
        EXPECT_EQ(together.log, alone.log);
        expectSameFiles(together.files, alone.files);
    }
};

} // namespace

// A failure the user goes on after and an existing output the user skips come, with their counts, where a
// one-at-a-time run has them, while the pictures after them are already in work.
TEST_F(PipelinedConvertJobTest, ARunWithQuestionsWritesWhatOneWorkerWrites)
{
    Files sources;
    for (int i = 0; i < 9; ++i) {
        std::wstring name = L"p" + std::to_wstring(i) + (i % 2 ? L".png" : L".jpg");
        sources.add(i == 3 ? file(L"src\\p3.png") : noisy(name, i));
    }
    std::vector<int> answers = {IDYES, IDNO};
    ConvertRun alone = convert(1, sources, answers, {L"p5.jpg"});
    ConvertRun together = convert(4, sources, answers, {L"p5.jpg"});

    expectSame(together, alone);
    EXPECT_EQ(alone.result, IDOK);
    ASSERT_EQ(alone.questions.size(), 2u);
    EXPECT_EQ(alone.questions[0], L"( 3 / 9 ) " + GoOn);
    EXPECT_EQ(alone.questions[1].substr(0, 10), L"( 5 / 9 ) ");
    EXPECT_EQ(alone.files.size(), 8u) << "seven outputs and the old file the user kept";
    EXPECT_EQ(alone.files[L"p5.jpg"], Bytes({'o', 'l', 'd'}));
    EXPECT_NE(alone.log.find(L"(failure)"), std::wstring::npos);
    EXPECT_NE(alone.log.find(L"(skip)"), std::wstring::npos);
}

// The cancel comes while the fifth picture's line is written and the pictures after it are in work: the run
// stops right there, and neither their outputs nor their temporary files stay.
TEST_F(PipelinedConvertJobTest, ACancelInTheMiddleLeavesNothingAfterItsPoint)
{
    Files sources;
    for (int i = 0; i < 12; ++i)
        sources.add(noisy(L"p" + std::to_wstring(i) + (i % 2 ? L".png" : L".jpg"), i));
    ConvertRun alone, together;
    {
        CancelAtLogText cancel(log, L"p4.", 1);
        alone = convert(1, sources, {});
    }
    {
        CancelAtLogText cancel(log, L"p4.", 1);
        together = convert(4, sources, {});
    }

    expectSame(together, alone);
    EXPECT_EQ(alone.result, IDCANCEL);
    EXPECT_EQ(alone.files.size(), 5u);
    EXPECT_EQ(alone.files.count(L"p4.jpg"), 1u);
    EXPECT_EQ(alone.log.substr(alone.log.size() - end(5, 5, 0, 0).size() - Stopped.size()), Stopped + end(5, 5, 0, 0));
}

// A sub-folder that cannot be made, as a file has its name, is an error. It ends the run where a one-at-a-time
// run meets it: after the pictures before it are written and logged, while the pictures after it are already in
// work.
TEST_F(PipelinedConvertJobTest, AnErrorInTheMiddleComesAfterThePicturesBeforeIt)
{
    setting.filterEnable = true;
    setting.filterType = static_cast<int>(FolderSortMode::SourceFolder);
    CreateDirectoryW(pathOf(L"src2").buffer(), nullptr);
    Files sources;
    for (int i = 0; i < 6; ++i)
        sources.add(noisy((i == 2 ? L"..\\src2\\p" : L"p") + std::to_wstring(i) + L".png", i));
    ConvertRun alone = convert(1, sources, {IDOK}, {L"src2"});
    ConvertRun together = convert(4, sources, {IDOK}, {L"src2"});

    expectSame(together, alone);
    EXPECT_EQ(alone.result, IDCANCEL);
    EXPECT_EQ(alone.files.size(), 3u) << "two outputs and the file in the sub-folder's place";
    EXPECT_EQ(alone.log.substr(alone.log.size() - ErrorEnd.size()), ErrorEnd);
}

// A picture that cannot be named, sorted by the year of a source that is gone, fails in its turn like one that
// cannot be loaded: the user is asked once the pictures before it are written and logged, and goes on.
TEST_F(PipelinedConvertJobTest, APictureThatCannotBeNamedInTheMiddleFailsInItsTurn)
{
    setting.filterEnable = true;
    setting.filterType = static_cast<int>(FolderSortMode::Year);
    Files sources;
    for (int i = 0; i < 6; ++i)
        sources.add(i == 2 ? pathOf(L"src\\gone.png") : noisy(L"p" + std::to_wstring(i) + L".png", i));
    ConvertRun alone = convert(1, sources, {IDYES});
    ConvertRun together = convert(4, sources, {IDYES});

    expectSame(together, alone);
    EXPECT_EQ(alone.result, IDOK);
    EXPECT_EQ(alone.questions, std::vector<std::wstring>{L"( 2 / 6 ) " + GoOn});
    EXPECT_EQ(alone.files.size(), 5u);
    EXPECT_NE(alone.log.find(marked(L"(failure)", sources.at(2))), std::wstring::npos) << alone.log;
}
