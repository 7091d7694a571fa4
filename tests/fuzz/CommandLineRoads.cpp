#include "CommandLineRoads.h"
#include <psapi.h>
#include <exception>
#include "foundation/wstringArray.h"
#include "jobs/CommandLineMode.h"
#include "support/LentSettings.h"
#include "support/cpuTime.h"

namespace {

double secondsSince(ULONGLONG start)
{
    return static_cast<double>(GetTickCount64() - start) / 1000;
}

} // namespace

SIZE_T peakWorkingSet(HANDLE process)
{
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof(counters);
    return GetProcessMemoryInfo(process, &counters, sizeof(counters)) ? counters.PeakWorkingSetSize : 0;
}

RunOutcome InProcessRoad::run(const std::vector<std::wstring>& arguments, const std::wstring& caseFolder)
{
    RunOutcome outcome;
    LentSettings lent;
    // Where the program's own settings file would lie: nowhere the case put one.
    lent.setting.setSectionsAndPath((caseFolder + L"\\program\\korvilane.xml").c_str());
    lent.setting.load(application.getName(), nullptr, GetModuleHandleW(nullptr));
    wstringArray line;
    for (const std::wstring& argument : arguments)
        line.add(argument.c_str());
    // Processor time of the whole worker (the conversion has threads of its own): a machine busy with other tests
    // stretches the clock, not this. A case that waits instead of working is caught as a hang.
    double start = processProcessorSeconds();
    // The program's entry point ends with -1 on anything that gets past the mode.
    try {
        outcome.exitCode = runCommandLineMode(application, lent.setting, line);
    } catch (const std::exception& e) {
        outcome.trouble = std::string("an exception left the command-line mode (exit code -1): ") + e.what();
    } catch (...) {
        outcome.trouble = "an exception left the command-line mode (exit code -1)";
    }
    outcome.seconds = processProcessorSeconds() - start;
    outcome.peakBytes = peakWorkingSet(GetCurrentProcess());
    return outcome;
}

RunOutcome ProgramRoad::run(const std::vector<std::wstring>& arguments, DWORD limitMilliseconds)
{
    RunOutcome outcome;
    std::wstring line = L"\"" + copy.path() + L"\" " + commandLineOf(arguments);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    ULONGLONG start = GetTickCount64();
    if (!CreateProcessW(copy.path().c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
        outcome.trouble = "the program did not start: " + std::to_string(GetLastError());
        return outcome;
    }
    // The peak is read while the process lives: Wine keeps nothing of it afterwards.
    DWORD waited = WAIT_TIMEOUT;
    while (waited == WAIT_TIMEOUT && GetTickCount64() - start < limitMilliseconds) {
        outcome.peakBytes = std::max(outcome.peakBytes, peakWorkingSet(process.hProcess));
        waited = WaitForSingleObject(process.hProcess, 20);
    }
    DWORD code = static_cast<DWORD>(-2);
    if (waited == WAIT_OBJECT_0) {
        GetExitCodeProcess(process.hProcess, &code);
    } else {
        TerminateProcess(process.hProcess, code);
        WaitForSingleObject(process.hProcess, INFINITE);
        outcome.trouble = "did not end within " + std::to_string(limitMilliseconds / 1000) + " s";
    }
    outcome.exitCode = static_cast<int>(code);
    outcome.seconds = secondsSince(start);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return outcome;
}
