// The jobs that make one file of a list of pictures (multi-frame TIFF, animated GIF, AVI, screen saver) under
// their progress dialogs: what the file holds after a complete run and after a stop, and the log.
#include <windows.h>
#include <vfw.h>
#include "JobTesting.h"
#include "jobs/AnimeGifThreadImpl.h"
#include "jobs/AviThreadImpl.h"
#include "jobs/MultiTiffThreadImpl.h"
#include "jobs/SSThreadImpl.h"

namespace {

const std::wstring Tiff = L"マルチフレームTIFFの作成";

std::wstring arrows(const Files& files, int count)
{
    std::wstring lines;
    for (int i = 0; i < count; ++i)
        lines += arrow(files.at(i));
    return lines;
}

UINT pageCount(const wstring& path)
{
    Gdiplus::Image image(path.buffer());
    return image.GetLastStatus() == Gdiplus::Ok ? image.GetFrameCount(&Gdiplus::FrameDimensionPage) : 0;
}

struct GraphicControl {
    bool transparent;
    int delay;
};

// The graphic control extension of every frame, as the file's bytes hold them.
std::vector<GraphicControl> graphicControls(const std::string& gif)
{
    std::vector<GraphicControl> found;
    for (size_t at = gif.find("\x21\xF9\x04"); at != std::string::npos; at = gif.find("\x21\xF9\x04", at + 1)) {
        auto byte = [&](size_t i) { return static_cast<BYTE>(gif[at + i]); };
        found.push_back({(byte(3) & 1) != 0, byte(4) | byte(5) << 8});
    }
    return found;
}

// The saver's picture count, and whether it holds the picture of that 1-based number.
std::pair<std::wstring, bool> saverContents(const wstring& path, int picture)
{
    HMODULE saver = LoadLibraryExW(path.buffer(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!saver)
        return {L"(no saver)", false};
    wchar_t count[16] = {};
    LoadStringW(saver, 1, count, 16);
    bool held = FindResourceW(saver, MAKEINTRESOURCEW(picture), L"PICTURES0") != nullptr;
    FreeLibrary(saver);
    return {count, held};
}

class PictureFileJobTest : public JobTest {};

} // namespace

TEST_F(PictureFileJobTest, ATiffStoppedAfterThreeOfTenPicturesLeavesTheFileThatWasThere)
{
    Files pictures = pngs(L"p", 10);
    wstring target = pathOf(L"pages.tif");
    BitmapPtr old(makeBitmap32(4, 4, [](int, int) { return White; }));
    ASSERT_TRUE(gdipSaveToFile(target.buffer(), L"image/tiff", old.get(), nullptr));
    std::string before = contentsOf(target);
    {
        CancelAtLogText cancel(log, L" -> ", 3);
        MultiTiffThreadImpl job(target, pictures);
        EXPECT_EQ(runJob(job), IDCANCEL);
    }
    EXPECT_EQ(logText(), jobLog(Tiff, L"入力ファイル数:10\r\n" + arrows(pictures, 3) + Stopped, L"出力ファイル名:-"));
    EXPECT_EQ(contentsOf(target), before) << "three pages of ten are no TIFF to replace it with";
    EXPECT_EQ(temporaryFilesIn(pathOf(L"")), 0);

    MultiTiffThreadImpl complete(target, pictures);
    EXPECT_EQ(runJob(complete), IDOK);
    EXPECT_EQ(pageCount(target), 10u);
}

TEST_F(PictureFileJobTest, AGifTakesItsDelayAndTransparencyFromTheSettingsAndAStoppedOneIsNotWritten)
{
    setting.fileAnimeGifElapse = 20;
    setting.fileAnimeGifAssignTransparent = true;
    Files pictures = pngs(L"p", 3);
    wstring target = pathOf(L"moving.gif");
    AnimeGifThreadImpl job(target, pictures);
    EXPECT_EQ(runJob(job), IDOK);
    std::vector<GraphicControl> frames = graphicControls(contentsOf(target));
    ASSERT_EQ(frames.size(), 3u);
    for (const GraphicControl& frame : frames)
        EXPECT_TRUE(frame.transparent && frame.delay == 20) << frame.transparent << " " << frame.delay;
    const std::wstring gif = L"アニメーションGIFの作成";
    EXPECT_EQ(logText(), jobLog(gif, L"入力ファイル数:3\r\n" + arrows(pictures, 3),
                                L"出力ファイル名:" + std::wstring(target.buffer())));

    std::string written = contentsOf(target);
    CancelAtLogText cancel(log, L" -> ", 2);
    AnimeGifThreadImpl stopped(target, pictures);
    EXPECT_EQ(runJob(stopped), IDCANCEL);
    EXPECT_EQ(contentsOf(target), written);
    EXPECT_TRUE(logText().ends_with(Stopped + L"\r\n---- " + gif + L"終了(T) ----\r\n\r\n出力ファイル名:-\r\n\r\n"));
}

TEST_F(PictureFileJobTest, SixteenPicturesAtEightFramesASecondMakeAVideoOfTwoSeconds)
{
    Files pictures = pngs(L"p", 16);
    wstring target = pathOf(L"movie.avi");
    AviThreadImpl job(target, pictures);
    EXPECT_EQ(runJob(job), IDOK);
    AVIFileInit();
    PAVIFILE file = nullptr;
    PAVISTREAM stream = nullptr;
    ASSERT_EQ(AVIFileOpenW(&file, target.buffer(), OF_READ, nullptr), S_OK);
    ASSERT_EQ(AVIFileGetStream(file, &stream, streamtypeVIDEO, 0), S_OK);
    EXPECT_EQ(AVIStreamLength(stream), 16);
    EXPECT_EQ(AVIStreamSampleToTime(stream, AVIStreamLength(stream)), 2000);
    AVIStreamRelease(stream);
    AVIFileRelease(file);
    AVIFileExit();
    EXPECT_EQ(logText(), jobLog(L"動画の作成", L"入力ファイル数:16\r\n" + arrows(pictures, 16),
                                L"出力ファイル名:" + std::wstring(target.buffer())));
}

TEST_F(PictureFileJobTest, ASaverIsBuiltUnderItsDialogAndAStoppedOneLeavesNoFile)
{
    Files pictures = pngs(L"p", 3);
    wstring target = pathOf(L"pictures.scr");
    SSThreadImpl job(target, pictures);
    EXPECT_EQ(runJob(job), IDOK);
    EXPECT_EQ(saverContents(target, 3), std::make_pair(std::wstring(L"3"), true));
    const std::wstring saver = L"スクリーンセーバーの作成";
    EXPECT_EQ(logText(), jobLog(saver, L"入力ファイル数:3\r\n" + arrows(pictures, 3),
                                L"出力ファイル名:" + std::wstring(target.buffer())));

    wstring stoppedTarget = pathOf(L"stopped.scr");
    CancelAtLogText cancel(log, L" -> ", 2);
    SSThreadImpl stopped(stoppedTarget, pictures);
    EXPECT_EQ(runJob(stopped), IDCANCEL);
    EXPECT_FALSE(exists(stoppedTarget));
    EXPECT_TRUE(logText().ends_with(Stopped + L"\r\n---- " + saver + L"終了(T) ----\r\n\r\n出力ファイル名:-\r\n\r\n"));
}

TEST_F(PictureFileJobTest, AnOutputThatMayNotBeReplacedStopsTheJobBeforeAnyPictureWithTheSystemsReason)
{
    wstring target = file(L"held.gif", "GIF89a");
    // Another program reads it and lets nobody else at it meanwhile.
    HANDLE holder = CreateFileW(target.buffer(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    AnimeGifThreadImpl job(target, pngs(L"p", 2));
    Ending ending = runAnswering(job, L"GIFファイル作成中");
    CloseHandle(holder);
    EXPECT_EQ(ending, Ending(IDCANCEL, Application::getExceptionText(Exception(ERROR_SHARING_VIOLATION)).buffer()));
    EXPECT_EQ(logText(), L"---- アニメーションGIFの作成開始(T) ----\r\n\r\n入力ファイル数:2\r\n" + ErrorEnd);
    EXPECT_EQ(contentsOf(target), "GIF89a");
}
