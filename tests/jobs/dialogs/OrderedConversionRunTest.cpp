// The windowed job and the command line name, sort and settle their outputs by one rule: for the same pictures
// and settings they leave the same files under the same names, with one worker or four.
#include <map>
#include <regex>
#include <vector>
#include "JobTesting.h"
#include "foundation/Path.h"
#include "jobs/CancelThreadOperationImpl.h"
#include "jobs/CommandLineBatch.h"
#include "jobs/JobLog.h"
#include "settings/OutputFormat.h"

namespace {

struct Case {
    const char* name;
    bool overWrite = false;
    bool autoRename = false;
    // The rename rule, counting from 1; none when null.
    const wchar_t* rule = nullptr;
    // Filter/Type with a name length of 2; no sub-folders when -1.
    int sortType = -1;
    bool besideSources = false;
    // Pictures below src\, each of its own colour, in list order.
    std::vector<const wchar_t*> sources;
    // Files that are there before the run.
    std::vector<const wchar_t*> old;
    // The outputs in the order they are logged.
    std::vector<const wchar_t*> written;
    // Where the window meets a question, the user answers Cancel; the command line asks nothing and fails the
    // picture. Either way the run ends there.
    bool question = false;
};

// What a run leaves: every file below the test's folder, and the outputs its log names, below that folder.
struct Left {
    std::map<std::wstring, Bytes> files;
    std::vector<std::wstring> written;
};

void expectSame(const Left& actual, const Left& expected)
{
    EXPECT_EQ(actual.written, expected.written);
    expectSameFiles(actual.files, expected.files);
}

class OrderedConversionRunTest : public JobTest {
protected:
    void SetUp() override
    {
        JobTest::SetUp();
        // The lines of every run stay, so that each run's lines are those after the earlier ones.
        log.getPane().setMaxLines(10000);
    }

    // The folder as the case finds it, and the sources.
    Files prepare(const Case& test)
    {
        for (const wchar_t* name : {L"src", L"out"}) {
            ScratchFolder::removeTree(pathOf(name).buffer());
            CreateDirectoryW(pathOf(name).buffer(), nullptr);
        }
        Files sources;
        UINT32 colour = 0xFF102030;
        for (const wchar_t* name : test.sources) {
            std::wstring path = inFolder(std::wstring(L"src\\") + name);
            colour += 0x00251C13;
            BitmapPtr bitmap(makeBitmap32(10, 7, [=](int x, int) { return x < 5 ? colour : 0xFFFFFFFF - colour; }));
            bool bmp = path.ends_with(L"bmp");
            EXPECT_TRUE(gdipSaveToFile(path.c_str(), bmp ? L"image/bmp" : L"image/png", bitmap.get(), nullptr));
            sources.add(path.c_str());
        }
        for (const wchar_t* name : test.old)
            writeText(inFolder(name), "old");
        setting.fileOverWrite = test.overWrite;
        setting.fileAutoRename = test.autoRename;
        setting.renameEnable = test.rule != nullptr;
        setting.renameDefinition = test.rule ? test.rule : L"";
        setting.renameIndexBase = 1;
        setting.filterEnable = test.sortType >= 0;
        setting.filterType = test.sortType;
        setting.filterNameLength = 2;
        return sources;
    }

    // The path of a file in the test's folder, whose folder is made.
    std::wstring inFolder(const std::wstring& name) const
    {
        std::wstring path = folder.file(name);
        CreateDirectoryW(path.substr(0, path.rfind(L'\\')).c_str(), nullptr);
        return path;
    }

    Left windowRun(const Case& test, int workers)
    {
        Files sources = prepare(test);
        wstring out = pathOf(L"out\\");
        auto job = test.besideSources ? CancelThreadOperationImpl(OutputFormat::Png, L"png", sources)
                                      : CancelThreadOperationImpl(OutputFormat::Png, L"png", out, sources);
        job.setWorkers(workers);
        std::wstring before = logText();
        runJob(job, [&](WindowRobot& user) {
            if (!test.question)
                return;
            HWND dialog = waitForProgress(user, L"保存中");
            user.screenshot(waitForQuestion(user, dialog), L"existing-output-question");
            user.answerMessageBox(IDCANCEL, dialog);
        });
        return left(before);
    }

    // The same pictures into the folders the window puts them in: the command line's folder mode, logging into the
    // same log window.
    Left commandLineRun(const Case& test, int workers)
    {
        Files sources = prepare(test);
        Files targets;
        for (int i = 0; i < sources.count(); ++i) {
            Path source(sources.at(i));
            targets.add((test.besideSources ? source.getDirectory() : pathOf(L"out\\")) + source.getBaseName() +
                        L".png");
        }
        setting.editFormat = OutputFormat::Png;
        CommandLineBatchOptions options;
        options.overwrite = test.overWrite;
        options.applyRenameRules = true;
        options.workers = workers;
        std::wstring before = logText();
        JobLog writer(&log);
        CommandLineBatch(setting, &writer, nullptr).run(sources, targets, options);
        return left(before);
    }

    // What the run has left since the log held `before`.
    Left left(const std::wstring& before)
    {
        Left run;
        collectFiles(folder.file(L""), L"", run.files);
        run.files.erase(L"korvilane.xml");
        std::wstring lines = logText().substr(before.size());
        std::wstring root = folder.file(L"");
        for (size_t at; (at = lines.find(root)) != std::wstring::npos;)
            lines.erase(at, root.size());
        static const std::wregex output(L" -> ([^\r]*)\r\n");
        for (std::wsregex_iterator found(lines.begin(), lines.end(), output), end; found != end; ++found)
            run.written.push_back((*found)[1]);
        return run;
    }
};

} // namespace

TEST_F(OrderedConversionRunTest, BothFrontEndsSettleTheSameTargets)
{
    const Case cases[] = {
        {.name = "numbered past old files and earlier outputs",
         .autoRename = true,
         .sources = {L"one\\a.bmp", L"two\\a.bmp", L"b.png"},
         .old = {L"out\\a.png", L"out\\a_1.png"},
         .written = {L"out\\a_2.png", L"out\\a_3.png", L"out\\b.png"}},
        {.name = "old files replaced",
         .overWrite = true,
         .sources = {L"a.bmp", L"b.bmp"},
         .old = {L"out\\a.png"},
         .written = {L"out\\a.png", L"out\\b.png"}},
        {.name = "old files replaced, outputs of the run numbered",
         .overWrite = true,
         .autoRename = true,
         .sources = {L"a.bmp", L"b.bmp", L"one\\a.bmp"},
         .old = {L"out\\a.png"},
         .written = {L"out\\a.png", L"out\\b.png", L"out\\a_1.png"}},
        {.name = "an output of the run is not replaced unasked",
         .overWrite = true,
         .sources = {L"one\\a.bmp", L"b.bmp", L"two\\a.bmp", L"c.bmp"},
         .written = {L"out\\a.png", L"out\\b.png"},
         .question = true},
        {.name = "one name for all, numbered",
         .autoRename = true,
         .rule = L"same.$ext",
         .sources = {L"a.bmp", L"b.bmp", L"c.png"},
         .written = {L"out\\same.png", L"out\\same_1.png", L"out\\same_2.png"}},
        {.name = "renamed into the sources' folder names",
         .rule = L"pic$index.$ext",
         .sortType = 0,
         .sources = {L"one\\a.bmp", L"two\\b.bmp", L"one\\c.bmp"},
         .written = {L"out\\one\\pic1.png", L"out\\two\\pic2.png", L"out\\one\\pic3.png"}},
        {.name = "sorted by the start of the name",
         .autoRename = true,
         .sortType = 4,
         .sources = {L"abc.bmp", L"abd.png", L"xyz.bmp"},
         .old = {L"out\\ab\\abd.png"},
         .written = {L"out\\ab\\abc.png", L"out\\ab\\abd_1.png", L"out\\xy\\xyz.png"}},
        // Each picture is named after the source of the next one, which must be read first; below, the second
        // picture is named after the first one's source, which is read already.
        {.name = "a source still to be read is not replaced unasked",
         .overWrite = true,
         .rule = L"image$index.$ext",
         .besideSources = true,
         .sources = {L"image0.png", L"image1.png", L"image2.png"},
         .question = true},
        {.name = "a source still to be read numbered, one already read replaced",
         .overWrite = true,
         .autoRename = true,
         .rule = L"image$index.$ext",
         .besideSources = true,
         .sources = {L"image2.png", L"image1.png", L"image0.png"},
         .written = {L"src\\image1_1.png", L"src\\image2.png", L"src\\image3.png"}},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        Left window = windowRun(test, 1);
        EXPECT_EQ(window.written, std::vector<std::wstring>(test.written.begin(), test.written.end()));
        for (int workers : {1, 4}) {
            SCOPED_TRACE(workers);
            expectSame(commandLineRun(test, workers), window);
            if (workers > 1)
                expectSame(windowRun(test, workers), window);
        }
    }
}
