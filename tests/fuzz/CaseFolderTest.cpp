// The judge of every case: each broken promise is seen, and a run that kept them all is not blamed.
#include <windows.h>
#include <shellapi.h>
#include <gtest/gtest.h>
#include <functional>
#include "CommandLineCase.h"

namespace {

const RunBounds bounds{3.0, SIZE_T(512) << 20};

const CommandLineCase conversion{"conversion",
                                 {{L"in\\", {}}, {L"out\\", {}}, {L"in\\a.png", {'p', 'n', 'g'}}},
                                 {L"/file", L"{case}\\in\\a.png", L"{case}\\out\\a.png", L"/log",
                                  L"{case}\\out\\log.txt"}};

// A UTF-8 log with its mark, as the program writes it.
Bytes utf8Log(const std::wstring& lines)
{
    std::string text = "\xEF\xBB\xBF" + narrow(lines);
    return Bytes(text.begin(), text.end());
}

const std::wstring started = L"---- 変換開始(2024:01:02 03:04:05) ----\r\n\r\n";
const std::wstring ended = L"\r\n---- 変換終了(2024:01:02 03:04:06) ----\r\n\r\n出力ファイル数:1\r\n";
const std::wstring failedEnd = L"\r\n---- 異常終了(2024:01:02 03:04:06) ----\r\n\r\n出力ファイル数:0\r\n";

struct Scenario {
    const char* what;
    // What the run did in the case's folder.
    std::function<void(const std::wstring& folder)> run;
    RunOutcome outcome;
    // A part of the one violation expected; null for none.
    const char* expected;
};

void writeIn(const std::wstring& folder, const wchar_t* name, const Bytes& bytes)
{
    writeBytes(folder + L"\\" + name, bytes);
}

// The run that keeps every promise: the target written and logged.
void converted(const std::wstring& folder)
{
    writeIn(folder, L"out\\a.png", {'o', 'u', 't'});
    std::wstring line = folder + L"\\in\\a.png -> " + folder + L"\\out\\a.png\r\n";
    writeIn(folder, L"out\\log.txt", utf8Log(started + line + ended));
}

} // namespace

TEST(CaseFolder, SeesEveryBrokenPromiseAndBlamesNoKeptOne)
{
    const Scenario scenarios[] = {
        {"kept", converted, {0, 0.1, 1 << 20}, nullptr},
        {"staged file left",
         [](const std::wstring& folder) {
             converted(folder);
             writeIn(folder, L"out\\~kv1234.tmp", {'x'});
         },
         {0, 0.1, 1 << 20},
         "left out\\~kv1234.tmp"},
        {"source changed",
         [](const std::wstring& folder) {
             converted(folder);
             writeIn(folder, L"in\\a.png", {'b', 'a', 'd'});
         },
         {0, 0.1, 1 << 20},
         "changed in\\a.png"},
        {"source removed",
         [](const std::wstring& folder) {
             converted(folder);
             DeleteFileW((folder + L"\\in\\a.png").c_str());
         },
         {0, 0.1, 1 << 20},
         "removed in\\a.png"},
        {"source deleted as logged",
         [](const std::wstring& folder) {
             writeIn(folder, L"out\\a.png", {'o', 'u', 't'});
             std::wstring line = folder + L"\\in\\a.png -> " + folder + L"\\out\\a.png\r\n";
             std::wstring deleted = L"\r\n" + folder + L"\\in\\a.png を削除しました。\r\n";
             writeIn(folder, L"out\\log.txt", utf8Log(started + line + ended + deleted));
             DeleteFileW((folder + L"\\in\\a.png").c_str());
         },
         {0, 0.1, 1 << 20},
         nullptr},
        {"target logged and missing",
         [](const std::wstring& folder) {
             converted(folder);
             DeleteFileW((folder + L"\\out\\a.png").c_str());
         },
         {0, 0.1, 1 << 20},
         "which is not there"},
        {"error end without a name",
         [](const std::wstring& folder) { writeIn(folder, L"out\\log.txt", utf8Log(started + failedEnd)); },
         {1, 0.1, 1 << 20},
         "the log names no failure"},
        {"failure named",
         [](const std::wstring& folder) {
             std::wstring line = L"(failure)" + folder + L"\\in\\a.png\r\n処理を中断しました。\r\n";
             writeIn(folder, L"out\\log.txt", utf8Log(started + line + ended));
         },
         {1, 0.1, 1 << 20},
         nullptr},
        {"crash", [](const std::wstring&) {}, {-1073741819, 0.1, 1 << 20}, "not 0 or 1"},
        {"slow", converted, {0, 3.5, 1 << 20}, "took"},
        {"greedy", converted, {0, 0.1, SIZE_T(600) << 20}, "peak working set 600 MB"},
    };
    CaseFolder folder;
    for (const Scenario& scenario : scenarios) {
        SCOPED_TRACE(scenario.what);
        folder.prepare(conversion);
        scenario.run(folder.path());
        std::vector<std::string> found = folder.violations(scenario.outcome, bounds);
        if (!scenario.expected) {
            EXPECT_TRUE(found.empty()) << found.front();
            continue;
        }
        ASSERT_EQ(found.size(), 1u) << (found.empty() ? "none" : found.front() + ", " + found.back());
        EXPECT_NE(found.front().find(scenario.expected), std::string::npos) << found.front();
    }
}

TEST(CaseFolder, PreparingRestoresTheCaseAfterARunThatChangedIt)
{
    CaseFolder folder;
    folder.prepare(conversion);
    writeIn(folder.path(), L"in\\a.png", {'b', 'a', 'd'});
    CreateDirectoryW((folder.path() + L"\\out\\201907").c_str(), nullptr);
    writeIn(folder.path(), L"out\\201907\\a.png", {'o'});
    folder.violations({0, 0.1, 1 << 20}, bounds);

    folder.prepare(conversion);

    EXPECT_EQ(readBytes(folder.path() + L"\\in\\a.png"), Bytes({'p', 'n', 'g'}));
    EXPECT_EQ(GetFileAttributesW((folder.path() + L"\\out\\201907").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST(CommandLineOf, SplitsBackIntoTheSameArguments)
{
    const std::vector<std::wstring> arguments = {
        L"plain", L"with space", L"", L"C:\\folder\\", L"a\\\"b", L"\"", L"\\\\server\\share\\\\", L"空白 と"};
    std::wstring line = L"program " + commandLineOf(arguments);
    int count = 0;
    LPWSTR* split = CommandLineToArgvW(line.c_str(), &count);
    ASSERT_TRUE(split);
    ASSERT_EQ(count, static_cast<int>(arguments.size()) + 1);
    for (size_t i = 0; i < arguments.size(); ++i)
        EXPECT_EQ(split[i + 1], arguments[i]);
    LocalFree(split);
}

TEST(CaseFolder, WithoutALogOnlyOverwritingMayChangeAGivenFileAndOnlyAStagedFileIsLeftOver)
{
    CaseFolder folder;
    for (bool overwrite : {false, true}) {
        CommandLineCase test{"beside itself",
                             {{L"in\\", {}}, {L"in\\a.png", {'p', 'n', 'g'}}},
                             {L"/fileindirect", L"{case}\\in\\a.png", L"/format", L"PNG"}};
        if (overwrite)
            test.arguments.push_back(L"/overwrite");
        folder.prepare(test);
        writeIn(folder.path(), L"in\\a.png", {'n', 'e', 'w'});
        writeIn(folder.path(), L"in\\a.bmp", {'o', 'u', 't'});
        std::vector<std::string> found = folder.violations({0, 0.1, 1 << 20}, bounds);
        EXPECT_EQ(found, overwrite ? std::vector<std::string>() : std::vector<std::string>{"changed in\\a.png"});

        writeIn(folder.path(), L"in\\~kv0001.tmp", {'x'});
        found = folder.violations({1, 0.1, 1 << 20}, bounds);
        ASSERT_FALSE(found.empty());
        EXPECT_EQ(found.back(), "left in\\~kv0001.tmp (1 bytes)");
    }
}
