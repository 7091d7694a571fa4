#include "CaseSupervisor.h"
#include <gtest/gtest.h>
#include <cstdio>
#include <sstream>
#include "CommandLineRoads.h"
#include "support/ScratchFolder.h"

namespace {

const wchar_t firstCaseVariable[] = L"KORVILANE_FUZZ_FIRST";
const wchar_t stepVariable[] = L"KORVILANE_FUZZ_STEP";
const wchar_t resultsVariable[] = L"KORVILANE_FUZZ_RESULTS";

std::wstring environment(const wchar_t* name)
{
    wchar_t value[MAX_PATH * 2];
    DWORD length = GetEnvironmentVariableW(name, value, static_cast<DWORD>(std::size(value)));
    return length > 0 && length < std::size(value) ? std::wstring(value, length) : std::wstring();
}

std::wstring thisProgram()
{
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    return path;
}

std::wstring currentTestName()
{
    const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string(test->test_suite_name()) + "." + test->name();
    return std::wstring(name.begin(), name.end());
}

std::string lastLineOf(const Bytes& output)
{
    std::string text(output.begin(), output.end());
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
        text.pop_back();
    size_t start = text.find_last_of('\n');
    return start == std::string::npos ? text : text.substr(start + 1);
}

// The results file of a worker, written a line at a time, so that a crash loses nothing of what came before.
class ResultsFile {
public:
    explicit ResultsFile(const std::wstring& path) : file(_wfopen(path.c_str(), L"ab")) {}
    ResultsFile(const ResultsFile&) = delete;
    ResultsFile& operator=(const ResultsFile&) = delete;
    ~ResultsFile()
    {
        if (file)
            std::fclose(file);
    }

    void line(const std::string& text)
    {
        if (!file)
            return;
        std::fputs((text + "\n").c_str(), file);
        std::fflush(file);
    }

private:
    FILE* file;
};

} // namespace

// One worker process over a share of the cases, and what it has reported so far.
class CaseSupervisor::WorkerRun {
public:
    WorkerRun(const ScratchFolder& folder, size_t first, size_t step)
        : results(folder.file(L"results-" + std::to_wstring(first) + L".txt")),
          output(folder.file(L"output-" + std::to_wstring(first) + L".txt")), step(step)
    {
        SECURITY_ATTRIBUTES inheritable{sizeof(inheritable), nullptr, TRUE};
        HANDLE log = CreateFileW(output.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inheritable,
                                 CREATE_ALWAYS, 0, nullptr);
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = INVALID_HANDLE_VALUE;
        startup.hStdOutput = log;
        startup.hStdError = log;
        std::wstring line = L"\"" + thisProgram() + L"\" --gtest_filter=" + currentTestName();
        SetEnvironmentVariableW(firstCaseVariable, std::to_wstring(first).c_str());
        SetEnvironmentVariableW(stepVariable, std::to_wstring(step).c_str());
        SetEnvironmentVariableW(resultsVariable, results.c_str());
        started = CreateProcessW(thisProgram().c_str(), line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                                 &startup, &process);
        for (const wchar_t* variable : {firstCaseVariable, stepVariable, resultsVariable})
            SetEnvironmentVariableW(variable, nullptr);
        CloseHandle(log);
        if (!started)
            ADD_FAILURE() << "a worker did not start: " << GetLastError();
        progress = GetTickCount64();
    }
    WorkerRun(const WorkerRun&) = delete;
    WorkerRun& operator=(const WorkerRun&) = delete;
    ~WorkerRun()
    {
        if (!started)
            return;
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }

    // False once the worker has ended; one that has hung is ended here.
    bool running(DWORD hangMilliseconds)
    {
        if (!started || WaitForSingleObject(process.hProcess, 0) != WAIT_TIMEOUT)
            return false;
        size_t begun = report().started.size();
        if (begun != seen) {
            seen = begun;
            progress = GetTickCount64();
            return true;
        }
        if (GetTickCount64() - progress <= hangMilliseconds)
            return true;
        TerminateProcess(process.hProcess, 4);
        WaitForSingleObject(process.hProcess, INFINITE);
        hung = true;
        return false;
    }

    // Adds a test failure for each broken promise; the first case for a fresh worker, or npos when the share
    // is done.
    size_t finish(DWORD hangMilliseconds)
    {
        if (!started)
            return std::string::npos;
        // A worker that crashed or hung left its case behind.
        ScratchFolder::removeTree(CaseFolder::folderOfProcess(process.dwProcessId));
        Report done = report();
        for (const auto& [index, violation] : done.broken)
            ADD_FAILURE() << done.nameOf(index) << ": " << violation;
        if (done.finished)
            return std::string::npos;
        if (done.started.empty()) {
            ADD_FAILURE() << "a worker ended before its first case, exit code " << exitCode() << ": "
                          << lastLineOf(readBytes(output));
            return std::string::npos;
        }
        const auto& [last, name] = done.started.back();
        if (hung)
            ADD_FAILURE() << name << ": did not end within " << hangMilliseconds / 1000 << " s";
        else if (!done.restart)
            ADD_FAILURE() << name << ": crashed the program, exit code 0x" << std::hex << exitCode() << ": "
                          << lastLineOf(readBytes(output));
        return last + step;
    }

private:
    struct Report {
        // Index and name of each case begun, in order.
        std::vector<std::pair<size_t, std::string>> started;
        std::vector<std::pair<size_t, std::string>> broken;
        bool restart = false;
        bool finished = false;

        std::string nameOf(size_t index) const
        {
            for (const auto& [at, name] : started)
                if (at == index)
                    return name;
            return "case " + std::to_string(index);
        }
    };

    Report report() const
    {
        Report read;
        Bytes bytes = readBytes(results);
        std::istringstream in(std::string(bytes.begin(), bytes.end()));
        for (std::string line; std::getline(in, line);) {
            std::istringstream fields(line);
            std::string kind, index, text;
            std::getline(fields, kind, '\t');
            std::getline(fields, index, '\t');
            std::getline(fields, text);
            if (kind == "start")
                read.started.emplace_back(std::stoul(index), text);
            else if (kind == "broke")
                read.broken.emplace_back(std::stoul(index), text);
            read.restart = read.restart || kind == "restart";
            read.finished = read.finished || kind == "done";
        }
        return read;
    }

    DWORD exitCode() const
    {
        DWORD code = 0;
        GetExitCodeProcess(process.hProcess, &code);
        return code;
    }

    std::wstring results;
    std::wstring output;
    size_t step;
    PROCESS_INFORMATION process{};
    bool started = false;
    bool hung = false;
    size_t seen = 0;
    ULONGLONG progress = 0;
};

void CaseSupervisor::expectAllKept(const std::function<std::vector<CommandLineCase>()>& makeCases)
{
    std::wstring results = environment(resultsVariable);
    if (results.empty()) {
        supervise();
        return;
    }
    runShare(makeCases(), std::stoul(environment(firstCaseVariable)), std::stoul(environment(stepVariable)), results);
}

void CaseSupervisor::runShare(const std::vector<CommandLineCase>& cases, size_t first, size_t step,
                              const std::wstring& results)
{
    ResultsFile report(results);
    InProcessRoad road;
    CaseFolder folder;
    for (size_t i = first; i < cases.size(); i += step) {
        report.line("start\t" + std::to_string(i) + "\t" + cases[i].name);
        folder.prepare(cases[i]);
        RunOutcome outcome = road.run(folder.arguments(), folder.path());
        for (const std::string& violation : folder.violations(outcome, bounds))
            report.line("broke\t" + std::to_string(i) + "\t" + violation);
        if (outcome.peakBytes > bounds.peakBytes) {
            report.line("restart");
            return;
        }
    }
    report.line("done");
}

void CaseSupervisor::supervise()
{
    ScratchFolder folder(L"korvilane-fuzz-workers");
    std::vector<std::unique_ptr<WorkerRun>> runs;
    for (size_t k = 0; k < workers; ++k)
        runs.push_back(std::make_unique<WorkerRun>(folder, k, workers));
    while (!runs.empty()) {
        Sleep(50);
        for (auto run = runs.begin(); run != runs.end();) {
            if ((*run)->running(hangMilliseconds)) {
                ++run;
                continue;
            }
            size_t next = (*run)->finish(hangMilliseconds);
            if (next == std::string::npos)
                run = runs.erase(run);
            else
                *run++ = std::make_unique<WorkerRun>(folder, next, workers);
        }
    }
}
