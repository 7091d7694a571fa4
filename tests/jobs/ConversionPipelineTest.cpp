// A batch converted by several workers at once must leave exactly what a one-worker run leaves: the same bytes
// in the same files, the same log, the same stop. Running the platform's decoders and encoders of every
// output format side by side also checks that they are safe to use from several threads.
#include <gtest/gtest.h>
#include <map>
#include <regex>
#include <string>
#include <tuple>
#include "DatedFiles.h"
#include "foundation/MessageWriter.h"
#include "foundation/Path.h"
#include "foundation/astring.h"
#include "foundation/wstringArray.h"
#include "imaging/WicShotDateReader.h"
#include "imaging/gdipImageIO.h"
#include "jobs/CommandLineBatch.h"
#include "jobs/LogMessages.h"
#include "settings/AppSetting.h"
#include "settings/OutputFormat.h"
#include "support/GlobalApplication.h"
#include "support/BitFieldBmp.h"
#include "support/LentSettings.h"
#include "support/ScratchFolder.h"
#include "support/WicTesting.h"
#include "support/fileBytes.h"

namespace {

class LogText : public MessageWriter {
public:
    void write(const wstring& line) override { text += line.buffer(); }
    void write(const astring& line) override { text += wstring(line).buffer(); }

    // With "T" for the date and time.
    std::wstring masked() const
    {
        static const std::wregex stamp(L"\\d{4}:\\d{2}:\\d{2} \\d{2}:\\d{2}:\\d{2}");
        return std::regex_replace(text, stamp, L"T");
    }

    std::wstring text;
};

struct RunResult {
    int result = 0;
    std::wstring log;
    std::map<std::wstring, Bytes> files;
};

class ConversionPipelineTest : public WicTest {
protected:
    void SetUp() override
    {
        WicTest::SetUp();
        loadLogMessages(GetModuleHandleW(nullptr));
        setting.setSectionsAndPath(folder.file(L"korvilane.xml").c_str());
        setting.load(L"korvilane", nullptr, GetModuleHandleW(nullptr));
        // Every picture is shrunk, so the effect chain runs on each worker too.
        setting.resizeEnable = true;
        setting.resizeWidth = 160;
        setting.resizeHeight = 160;
        setting.resizeAdjust = 1;
        setting.fileAutoRename = true;
        CreateDirectoryW(folder.file(L"in").c_str(), nullptr);
    }

    // A noisy picture of its own size and seed, so that no two outputs are alike.
    std::wstring addSource(const wchar_t* name, const wchar_t* mimeType, int seed)
    {
        UINT32 noise = static_cast<UINT32>(seed) * 2654435761u;
        BitmapPtr picture(makeBitmap32(200 + seed * 13, 150 + seed * 7, [&](int x, int y) {
            noise = noise * 1664525 + 1013904223;
            return 0xFF000000u | ((x + seed * 20) & 0xFF) << 16 | ((y * 2) & 0xFF) << 8 | (noise >> 24);
        }));
        std::wstring path = folder.file((std::wstring(L"in\\") + name).c_str());
        EXPECT_TRUE(gdipSaveToFile(path.c_str(), mimeType, picture.get(), nullptr));
        sources.add(path.c_str());
        return path;
    }

    void addTarget(const wchar_t* name) { targets.add(folder.file((std::wstring(L"out\\") + name).c_str()).c_str()); }

    // The log line of the source at the index written into the output of that name.
    std::wstring sourceLine(int index, const wchar_t* output) const
    {
        return std::wstring(sources.at(index).buffer()) + L" -> " + folder.file(std::wstring(L"out\\") + output) +
               L"\r\n";
    }

    RunResult run(int workers, CommandLineBatchOptions options = {})
    {
        std::wstring out = folder.file(L"out");
        CreateDirectoryW(out.c_str(), nullptr);
        LogText log;
        CommandLineBatch batch(setting, &log, shotDates);
        options.workers = workers;
        RunResult run;
        run.result = batch.run(sources, targets, options);
        run.log = log.masked();
        collectFiles(out, L"", run.files);
        ScratchFolder::removeTree(out);
        return run;
    }

    static constexpr int AnyResult = 0;

    void expectSameRuns(int expectedResult, const CommandLineBatchOptions& options = {})
    {
        RunResult alone = run(1, options);
        RunResult together = run(4, options);
        if (expectedResult != AnyResult) {
            EXPECT_EQ(alone.result, expectedResult);
        }
        EXPECT_EQ(together.result, alone.result);
        EXPECT_EQ(together.log, alone.log);
        ASSERT_EQ(together.files.size(), alone.files.size());
        for (const auto& [name, bytes] : alone.files) {
            auto other = together.files.find(name);
            ASSERT_NE(other, together.files.end()) << name.c_str();
            EXPECT_TRUE(other->second == bytes) << name.c_str();
        }
        lastRun = alone;
    }

    GlobalApplication application;
    ScratchFolder folder{L"korvilane-pipeline"};
    LentSettings applicationSettings;
    AppSetting setting;
    wstringArray sources;
    wstringArray targets;
    IShotDateReader* shotDates = nullptr;
    RunResult lastRun;
};

} // namespace

TEST_F(ConversionPipelineTest, EveryFormatIsWrittenAsByOneWorker)
{
    for (int i = 0; i < 6; ++i) {
        std::wstring name = L"p" + std::to_wstring(i);
        addSource((name + (i % 2 ? L".png" : L".jpg")).c_str(), i % 2 ? L"image/png" : L"image/jpeg", i);
        addTarget((name + L".out").c_str());
    }
    for (int format : {OutputFormat::Jpeg, OutputFormat::Png, OutputFormat::Gif, OutputFormat::Tiff}) {
        SCOPED_TRACE(format);
        setting.editFormat = format;
        setting.jpegEnable = true;
        setting.jpegQuality = 80;
        expectSameRuns(CommandLineBatch::AllWritten);
        EXPECT_EQ(lastRun.files.size(), 6u);
    }
}

// A later item that takes an earlier one's output as its source, or whose target an earlier one writes, sees
// that output as a one-worker run does.
TEST_F(ConversionPipelineTest, ItemsThatDependOnEarlierOutputsSeeThem)
{
    setting.editFormat = OutputFormat::Png;
    addSource(L"a.jpg", L"image/jpeg", 1);
    addTarget(L"same.png");
    addSource(L"b.jpg", L"image/jpeg", 2);
    addTarget(L"same.png"); // numbered "same_1.png"
    sources.add(folder.file(L"out\\same.png").c_str());
    addTarget(L"again.png");
    addSource(L"c.png", L"image/png", 3);
    addTarget(L"c.png");

    expectSameRuns(CommandLineBatch::AllWritten);

    EXPECT_EQ(lastRun.files.size(), 4u);
    EXPECT_EQ(lastRun.files.count(L"same_1.png"), 1u);
    EXPECT_TRUE(lastRun.files[L"again.png"] != lastRun.files[L"same_1.png"]);
}

// One that no loader reads, and one whose resize throws (a picture of 1 x 8000 pixels widened to 160 would have
// 1.28 million rows, more than the program gives any picture): each is that picture's failure, by its name.
TEST_F(ConversionPipelineTest, ABrokenPictureInTheMiddleStopsTheBatchWithNothingAfterIt)
{
    setting.editFormat = OutputFormat::Jpeg;
    std::wstring tall = folder.file(L"tall.png");
    BitmapPtr column(makeBitmap32(1, 8000, [](int, int y) { return 0xFF000000u | static_cast<UINT32>(y); }));
    ASSERT_TRUE(gdipSaveToFile(tall.c_str(), L"image/png", column.get(), nullptr));
    const std::pair<const wchar_t*, Bytes> brokenFiles[] = {
        {L"in\\broken.jpg", Bytes{0xFF, 0xD8, 'n', 'o', 't', ' ', 'a', ' ', 'p', 'i', 'c', 't', 'u', 'r', 'e'}},
        {L"in\\tall.png", readBytes(tall)},
    };
    for (const auto& [name, bytes] : brokenFiles) {
        SCOPED_TRACE(testing::Message() << name);
        sources.removeAll();
        targets.removeAll();
        std::wstring broken = folder.file(name);
        for (int i = 0; i < 8; ++i) {
            std::wstring picture = L"p" + std::to_wstring(i);
            if (i == 3) {
                writeBytes(broken, bytes);
                sources.add(broken.c_str());
            } else {
                addSource((picture + L".jpg").c_str(), L"image/jpeg", i);
            }
            addTarget((picture + L".jpg").c_str());
        }

        expectSameRuns(CommandLineBatch::Stopped);

        // The three before it, and neither the pictures after it nor a temporary file of theirs.
        EXPECT_EQ(lastRun.files.size(), 3u);
        EXPECT_EQ(lastRun.files.count(L"p2.jpg"), 1u);
        EXPECT_NE(lastRun.log.find(L"(failure)" + broken + L"\r\n処理を中断しました。"), std::wstring::npos);
    }
}

// A picture that the rule cannot name fails where a one-worker run meets it, after the pictures before it are
// written and logged: one whose name would be a lone dot ("$fname" of "..jpg"), and one that is gone when the
// rule asks for its update time.
TEST_F(ConversionPipelineTest, APictureTheRuleCannotNameFailsInItsTurn)
{
    setting.editFormat = OutputFormat::Png;
    setting.renameEnable = true;
    CommandLineBatchOptions options;
    options.applyRenameRules = true;
    for (auto [rule, unnamed, secondOutput] :
         {std::tuple{L"$fname", L"..jpg", L"p1"}, std::tuple{L"$year_$fname", L"gone.jpg", L"2019_p1"}}) {
        SCOPED_TRACE(testing::Message() << rule);
        setting.renameDefinition = rule;
        sources.removeAll();
        targets.removeAll();
        for (const wchar_t* name : {L"p0.jpg", L"p1.jpg", unnamed, L"p3.jpg"}) {
            if (name == std::wstring(L"gone.jpg"))
                sources.add(folder.file(L"in\\gone.jpg").c_str());
            else
                setLocalWriteTime(addSource(name, L"image/jpeg", sources.count()).c_str(),
                                  localTime(2019, 7, 4, 0, 0, 0));
            addTarget(name);
        }

        expectSameRuns(CommandLineBatch::Stopped, options);

        EXPECT_EQ(lastRun.files.size(), 2u);
        EXPECT_EQ(lastRun.files.count(secondOutput), 1u);
        std::wstring failure = L"(failure)" + folder.file(L"in\\" + std::wstring(unnamed)) +
                               L"\r\n処理を中断しました。\r\n";
        EXPECT_NE(lastRun.log.find(sourceLine(1, secondOutput) + failure), std::wstring::npos) << lastRun.log;
    }
}

// A picture whose metadata cannot be read at all has its update time stand in for the shooting date, as one
// without the date has: a bit-field BMP with a 56-byte header, which only the program's own reader reads, is
// named and converted, and a text file named like a PNG is named too and fails by its name when it is loaded.
TEST_F(ConversionPipelineTest, AShootingDateRuleNamesWhatItCannotReadTheDateOfByItsUpdateTime)
{
    setting.editFormat = OutputFormat::Png;
    setting.renameEnable = true;
    setting.renameDefinition = L"$orgyear_$fname.$ext";
    WicShotDateReader reader;
    shotDates = &reader;
    addSource(L"a.png", L"image/png", 1);
    std::wstring bmp = folder.file(L"in\\b.bmp");
    writeBytes(bmp, bitFieldBmpFile({56, 32, 0xFFE00000, 0x001FFC00, 0x000003FF, 0}, 2, 1,
                                    {{2047, 1024, 1023}, {0, 2047, 512}}));
    sources.add(bmp.c_str());
    std::wstring text = folder.file(L"in\\c.png");
    writeBytes(text, Bytes{'n', 'o', ' ', 'p', 'i', 'c', 't', 'u', 'r', 'e'});
    sources.add(text.c_str());
    addSource(L"d.png", L"image/png", 4);
    for (int i = 0; i < sources.count(); ++i) {
        setLocalWriteTime(sources.at(i), localTime(2019, 7, 4, 0, 0, 0));
        addTarget((Path(sources.at(i)).getBaseName() + L".png").buffer());
    }
    CommandLineBatchOptions options;
    options.applyRenameRules = true;

    expectSameRuns(CommandLineBatch::Stopped, options);

    EXPECT_EQ(lastRun.files.size(), 2u);
    EXPECT_EQ(lastRun.files.count(L"2019_a.png"), 1u);
    std::wstring failure = L"(failure)" + text + L"\r\n処理を中断しました。\r\n";
    EXPECT_NE(lastRun.log.find(sourceLine(1, L"2019_b.png") + failure), std::wstring::npos) << lastRun.log;
}

// A rename rule that gives each picture the name of the next source, with its outputs beside the sources: by the
// end those sources hold this batch's pictures, and deleting the sources must not take them.
TEST_F(ConversionPipelineTest, DeletingTheSourcesSparesEveryPathTheBatchWrote)
{
    setting.editFormat = OutputFormat::Bitmap;
    setting.fileAutoRename = false;
    setting.renameEnable = true;
    setting.renameDefinition = L"image$index.$ext";
    auto path = [&](int index) { return folder.file(L"in\\image" + std::to_wstring(index) + L".bmp"); };
    for (int workers : {1, 4}) {
        SCOPED_TRACE(workers);
        sources.removeAll();
        for (int i = 1; i <= 3; ++i)
            addSource((L"image" + std::to_wstring(i) + L".bmp").c_str(), L"image/bmp", i);
        LogText log;
        CommandLineBatch batch(setting, &log, nullptr);
        CommandLineBatchOptions options;
        options.workers = workers;
        options.overwrite = true;
        options.deleteSources = true;
        options.applyRenameRules = true;

        EXPECT_EQ(batch.run(sources, sources, options), CommandLineBatch::AllWritten);

        EXPECT_TRUE(fileExists(path(0)) && fileExists(path(1)) && fileExists(path(2)));
        EXPECT_FALSE(fileExists(path(3)));
        std::wstring converted;
        for (int i = 1; i <= 3; ++i)
            converted += path(i) + L" -> " + path(i - 1) + L"\r\n";
        EXPECT_EQ(log.masked(), L"---- 変換開始(T) ----\r\n\r\n" + converted +
                                    L"\r\n---- 変換終了(T) ----\r\n\r\n出力ファイル数:3\r\n\r\n" + path(3) +
                                    L" を削除しました。\r\n");
    }
}

// With the JPEG options and Exif on, a JPEG's metadata goes into its JPEG output. Where the platform has no
// metadata writer (Wine) the picture fails by its name, and nothing of it stays behind.
TEST_F(ConversionPipelineTest, AJpegKeepsItsMetadataOrFailsWithNothingLeft)
{
    setting.editFormat = OutputFormat::Jpeg;
    setting.jpegEnable = true;
    setting.jpegExif = true;
    addSource(L"a.jpg", L"image/jpeg", 1);
    addTarget(L"a.jpg");
    addSource(L"b.jpg", L"image/jpeg", 2);
    addTarget(L"b.jpg");

    expectSameRuns(AnyResult);

    if (lastRun.result == CommandLineBatch::AllWritten) {
        EXPECT_EQ(lastRun.files.size(), 2u);
        EXPECT_NE(lastRun.log.find(sourceLine(0, L"a.jpg")), std::wstring::npos);
    } else {
        EXPECT_EQ(lastRun.result, CommandLineBatch::Stopped);
        EXPECT_TRUE(lastRun.files.empty()) << "neither an output nor a temporary file";
        EXPECT_NE(lastRun.log.find(L"(failure)" + std::wstring(sources.at(0).buffer()) + L"\r\n"), std::wstring::npos);
    }
}

// A source that names no file at all fails like one that cannot be read, however many workers there are.
TEST_F(ConversionPipelineTest, ASourceThatIsNoPathFailsInItsTurn)
{
    setting.editFormat = OutputFormat::Png;
    for (int i = 0; i < 4; ++i) {
        std::wstring picture = L"p" + std::to_wstring(i);
        if (i == 2)
            sources.add(L"");
        else
            addSource((picture + L".jpg").c_str(), L"image/jpeg", i);
        addTarget((picture + L".png").c_str());
    }

    expectSameRuns(CommandLineBatch::Stopped);

    EXPECT_EQ(lastRun.files.size(), 2u);
    EXPECT_NE(lastRun.log.find(sourceLine(1, L"p1.png") + L"(failure)\r\n処理を中断しました。"), std::wstring::npos)
        << lastRun.log;
}
