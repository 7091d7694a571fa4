// Thumbnail sheets, split and join under their progress dialogs, and how every picture job ends on a picture it
// cannot read or when memory runs out.
#include <functional>
#include "JobTesting.h"
#include "support/InjectedNewFailure.h"
#include "jobs/AnimeGifThreadImpl.h"
#include "jobs/AviThreadImpl.h"
#include "jobs/CancelThreadOperationImpl.h"
#include "jobs/JoinThreadImpl.h"
#include "jobs/MultiTiffThreadImpl.h"
#include "jobs/SSThreadImpl.h"
#include "jobs/SplitThreadImpl.h"
#include "jobs/ThumbnailThreadImpl.h"
#include "settings/OutputFormat.h"

namespace {

const std::wstring Sheet = L"サムネイルの作成";
const std::wstring SplitJob = L"画像の分割";

std::wstring made(const wstring& source, const wstring& output)
{
    return std::wstring(source.buffer()) + L" -> " + output.buffer() + L"\r\n";
}

std::wstring since(const std::wstring& before, const std::wstring& now)
{
    return now.substr(before.size());
}

COLORREF pixelOf(const wstring& path, int x, int y)
{
    Gdiplus::Bitmap bitmap(path.buffer());
    Gdiplus::Color color;
    bitmap.GetPixel(x, y, &color);
    return RGB(color.GetR(), color.GetG(), color.GetB());
}

class SheetAndTileJobTest : public JobTest {
protected:
    void SetUp() override
    {
        JobTest::SetUp();
        setting.fileThumbnailType = 1;
        CreateDirectoryW(pathOf(L"out").buffer(), nullptr);
    }
    wstring out(const std::wstring& name = L"") { return pathOf((L"out\\" + name).c_str()); }
    wstring tile(int number) { return out(L"stem_" + std::to_wstring(number) + L".png"); }
    // The job under its dialog of the caption given, as runAnswering runs it.
    template <typename Job>
    std::function<Ending(const wchar_t*)> answering(Job& job)
    {
        return [&job, this](const wchar_t* caption) { return runAnswering(job, caption); };
    }
};

// The job, whose first `new` on its worker thread finds no memory left.
template <typename Job>
class Exhausted : public Job {
public:
    using Job::Job;
    int run(ProgressDialog& dialog) override
    {
        InjectedNewFailure failure(0);
        return Job::run(dialog);
    }
};

} // namespace

TEST_F(SheetAndTileJobTest, ASheetLogsEachThumbnailAndAStoppedOneKeepsTheSheetThatWasThereAndNamesNoOutput)
{
    Files pictures = pngs(L"p", 2);
    wstring sheet = pathOf(L"sheet.html");
    ThumbnailThreadImpl job(out(), sheet, pictures);
    EXPECT_EQ(runJob(job), IDOK);
    // Each thumbnail is logged once it is there, with its page.
    EXPECT_EQ(logText(), jobLog(Sheet,
                                L"サムネイルファイルを作成中...\r\n" + made(pictures.at(0), out(L"thumbnail0.jpg")) +
                                    made(pictures.at(1), out(L"thumbnail1.jpg")),
                                L"出力ファイル名:" + std::wstring(sheet.buffer())));
    EXPECT_NE(contentsOf(sheet).find("thumbnail1.jpg"), std::string::npos);

    // The thumbnails are there now: the user agrees to replace the first, then stops.
    std::string written = contentsOf(sheet);
    std::string thumbnail = contentsOf(out(L"thumbnail0.jpg"));
    std::wstring before = logText();
    std::wstring question;
    EXPECT_EQ(runJob(job,
                     [&](WindowRobot& user) {
                         HWND dialog = waitForProgress(user, L"サムネイル作成中");
                         waitForQuestion(user, dialog);
                         pressCancel(dialog);
                         question = user.answerMessageBox(IDYES, dialog);
                     }),
              IDCANCEL);
    EXPECT_EQ(question, L"ファイル " + std::wstring(out(L"thumbnail0.jpg").buffer()) +
                            L" は既に存在します。\n上書きして続行しますか？");
    EXPECT_EQ(since(before, logText()), jobLog(Sheet, Stopped, L"出力ファイル名:-"));
    EXPECT_EQ(contentsOf(sheet), written);
    EXPECT_EQ(contentsOf(out(L"thumbnail0.jpg")), thumbnail) << "replaced by a stopped sheet";
}

TEST_F(SheetAndTileJobTest, TilesAreNumberedInReadingOrderAndAnExistingTileIsReplacedOnlyWhenTheUserAgrees)
{
    wstring source = png(L"stem.png", 100, 70);
    file(L"out\\stem_5.png", "old");
    SplitThreadImpl job(out(), source);
    std::wstring question;
    EXPECT_EQ(runJob(job,
                     [&](WindowRobot& user) {
                         HWND dialog = waitForProgress(user, L"画像分割中");
                         user.screenshot(waitForQuestion(user, dialog), L"split-existing-tile");
                         question = user.answerMessageBox(IDYES, dialog);
                     }),
              IDOK);
    EXPECT_EQ(question,
              L"ファイル " + std::wstring(tile(5).buffer()) + L" は既に存在します。\n上書きして続行しますか？");
    std::wstring tiles;
    for (int i = 0; i < 12; ++i)
        tiles += made(L"", tile(i));
    std::wstring head = L"分割ファイル名:" + std::wstring(source.buffer()) + L"\r\n";
    EXPECT_EQ(logText(), jobLog(SplitJob, head + tiles, L"出力ファイル数:12"));
    EXPECT_EQ(pixelOf(tile(5), 0, 0), RGB(0xC8, 0x1E, 0x1E)) << "replaced";
    EXPECT_TRUE(exists(tile(11)));
    EXPECT_FALSE(exists(tile(12)));

    // Every tile is there now: yes for the first, no for the second.
    std::wstring before = logText();
    EXPECT_EQ(runJob(job,
                     [&](WindowRobot& user) {
                         HWND dialog = waitForProgress(user, L"画像分割中");
                         user.answerMessageBox(IDYES, dialog);
                         user.answerMessageBox(IDNO, dialog);
                     }),
              IDCANCEL);
    EXPECT_EQ(since(before, logText()), jobLog(SplitJob, head + made(L"", tile(0)) + Stopped, L"出力ファイル数:1"));
}

TEST_F(SheetAndTileJobTest, SixHundredTilesAreNumberedWithoutAGapAcrossTheSplittersBatches)
{
    setting.fileSplitWidth = 1;
    setting.fileSplitHeight = 1;
    wstring source = pathOf(L"stem.png");
    BitmapPtr picture(makeBitmap32(30, 20, [](int x, int y) { return 0xFF000000u | x * 8 << 16 | y * 12 << 8; }));
    ASSERT_TRUE(gdipSaveToFile(source.buffer(), L"image/png", picture.get(), nullptr));
    SplitThreadImpl job(out(), source);
    EXPECT_EQ(runJob(job), IDOK);
    EXPECT_TRUE(logText().ends_with(L"出力ファイル数:600\r\n\r\n"));
    // Tile n is the pixel at (n mod 30, n / 30).
    for (int n : {0, 255, 256, 511, 512, 599})
        EXPECT_EQ(pixelOf(tile(n), 0, 0), RGB(n % 30 * 8, n / 30 * 12, 0)) << n;
    EXPECT_FALSE(exists(tile(600)));
}

TEST_F(SheetAndTileJobTest, AJoinUpToTheLimitIsWrittenAndOnePixelMoreOrAStopWritesNothing)
{
    wstring wide = png(L"wide.png", 3000, 200);
    wstring high = png(L"high.png", 1096, 300);
    wstring wider = png(L"wider.png", 1097, 300);
    wstring joined = out(L"joined.png");
    const std::wstring join = L"画像の結合";
    JoinThreadImpl job(joined, Files{wide, high});
    EXPECT_EQ(runJob(job), IDOK);
    EXPECT_EQ(logText(), jobLog(join, L"結合ファイル数:2\r\n" + arrow(wide) + arrow(high),
                                L"出力ファイル名:" + std::wstring(joined.buffer())));
    {
        Gdiplus::Bitmap written(joined.buffer());
        EXPECT_EQ(std::make_pair(written.GetWidth(), written.GetHeight()), std::make_pair(4096u, 300u));
    }

    std::wstring before = logText();
    wstring tooLarge = out(L"too-large.png");
    JoinThreadImpl over(tooLarge, Files{wide, wider});
    EXPECT_EQ(runAnswering(over, L"画像結合中"),
              Ending(IDCANCEL, L"結合後の画像サイズが大きすぎます。\n小さな画像を選択してください。"));
    EXPECT_EQ(since(before, logText()),
              L"---- " + join + L"開始(T) ----\r\n\r\n結合ファイル数:2\r\n" + arrow(wide) + arrow(wider) + ErrorEnd);
    EXPECT_FALSE(exists(tooLarge));

    before = logText();
    CancelAtLogText cancel(log, L" -> ", 1);
    JoinThreadImpl stopped(tooLarge, Files{wide, high});
    EXPECT_EQ(runJob(stopped), IDCANCEL);
    EXPECT_EQ(since(before, logText()),
              jobLog(join, L"結合ファイル数:2\r\n" + arrow(wide) + Stopped, L"出力ファイル名:-"));
    EXPECT_FALSE(exists(tooLarge));
}

TEST_F(SheetAndTileJobTest, AJobThatCannotMakeItsOutputEndsWithItsOwnMessageAndNothingUnderTheOutputsName)
{
    wstring good = png(L"good.png");
    wstring broken = file(L"broken.png");
    Files pictures{good, broken};
    struct Case {
        const wchar_t* caption;
        std::wstring message;
        wstring output;
        std::function<Ending(const wchar_t*)> run;
    };
    ThumbnailThreadImpl sheet(out(), out(L"sheet.html"), pictures);
    // A sheet that has no folder to go into names itself.
    wstring nowhere = out(L"missing\\sheet.html");
    ThumbnailThreadImpl lost(out(), nowhere, Files{good});
    SplitThreadImpl split(out(), broken);
    JoinThreadImpl join(out(L"joined.png"), pictures);
    MultiTiffThreadImpl tiff(out(L"pages.tif"), pictures);
    AnimeGifThreadImpl gif(out(L"moving.gif"), pictures);
    AviThreadImpl avi(out(L"movie.avi"), pictures);
    SSThreadImpl saver(out(L"saver.scr"), pictures);
    // Nothing to make a video or a TIFF of, also after a stop before the first page, is a failure too.
    AviThreadImpl noFrames(out(L"none.avi"), Files());
    MultiTiffThreadImpl noPages(out(L"none.tif"), pictures);
    auto stoppedAtOnce = [&](const wchar_t* caption) {
        CancelAtLogText cancel(log, L"入力ファイル数:", 1);
        return runAnswering(noPages, caption);
    };
    const Case cases[] = {
        {L"サムネイル作成中", L"サムネイル画像の作成に失敗しました。", out(L"sheet.html"), answering(sheet)},
        {L"サムネイル作成中",
         L"サムネイル画像の作成に失敗しました。\n" + std::wstring(nowhere.buffer()) + L"\n" +
             Application::getExceptionText(Exception(ERROR_PATH_NOT_FOUND)).trimRight().buffer(),
         nowhere, answering(lost)},
        {L"画像分割中", L"画像の分割に失敗しました。", tile(0), answering(split)},
        {L"画像結合中", L"画像の結合に失敗しました。", out(L"joined.png"), answering(join)},
        {L"TIFFファイル作成中", L"マルチフレームTIFFファイルの作成に失敗しました。", out(L"pages.tif"),
         answering(tiff)},
        {L"GIFファイル作成中", L"アニメーションGIFファイルの作成に失敗しました。", out(L"moving.gif"), answering(gif)},
        {L"AVIファイル作成中", L"AVIファイルの作成に失敗しました。", out(L"movie.avi"), answering(avi)},
        {L"スクリーンセーバー作成中", L"スクリーンセーバーの作成に失敗しました。", out(L"saver.scr"), answering(saver)},
        {L"AVIファイル作成中", L"AVIファイルの作成に失敗しました。", out(L"none.avi"), answering(noFrames)},
        {L"TIFFファイル作成中", L"マルチフレームTIFFファイルの作成に失敗しました。", out(L"none.tif"), stoppedAtOnce},
    };
    for (const Case& job : cases) {
        std::wstring before = logText();
        EXPECT_EQ(job.run(job.caption), Ending(IDCANCEL, job.message));
        std::wstring added = since(before, logText());
        EXPECT_TRUE(added.ends_with(ErrorEnd)) << job.caption;
        EXPECT_EQ(added.find(L"broken.png -> "), std::wstring::npos) << job.caption;
        EXPECT_FALSE(exists(job.output)) << job.caption;
    }
    EXPECT_EQ(temporaryFilesIn(out()), 0);
}

// Memory that runs out outside any one picture, here at the job's first `new`, ends the job as any other error
// does: with its line in the log and the system's text over the dialog.
TEST_F(SheetAndTileJobTest, MemoryThatRunsOutOutsideAPictureEndsTheJobWithItsErrorLineAndTheSystemsText)
{
    Files pictures = pngs(L"p", 2);
    Exhausted<CancelThreadOperationImpl> convert(OutputFormat::Png, L"png", out(), pictures);
    Exhausted<ThumbnailThreadImpl> sheet(out(), out(L"sheet.html"), pictures);
    Exhausted<SplitThreadImpl> split(out(), pictures.at(0));
    Exhausted<JoinThreadImpl> join(out(L"joined.png"), pictures);
    Exhausted<AnimeGifThreadImpl> gif(out(L"moving.gif"), pictures);
    Exhausted<AviThreadImpl> avi(out(L"movie.avi"), pictures);
    Exhausted<SSThreadImpl> saver(out(L"saver.scr"), pictures);
    const std::pair<const wchar_t*, std::function<Ending(const wchar_t*)>> cases[] = {
        {L"保存中", answering(convert)},
        {L"サムネイル作成中", answering(sheet)},
        {L"画像分割中", answering(split)},
        {L"画像結合中", answering(join)},
        {L"GIFファイル作成中", answering(gif)},
        {L"AVIファイル作成中", answering(avi)},
        {L"スクリーンセーバー作成中", answering(saver)},
    };
    const std::wstring noMemory = Application::getExceptionText(Exception(ErrorCode::NoMemory)).buffer();
    for (const auto& [caption, run] : cases) {
        std::wstring before = logText();
        EXPECT_EQ(run(caption), Ending(IDCANCEL, noMemory));
        EXPECT_TRUE(since(before, logText()).ends_with(ErrorEnd)) << caption;
    }
}
