#pragma once
// The two roads a command line takes into the program: the command-line mode called in this process, as
// korvilane.exe calls it once its application object stands (a crash there fails the test program), and the
// real korvilane.exe started as a process of its own.
#include <windows.h>
#include <string>
#include <vector>
#include "CommandLineCase.h"
#include "foundation/Application.h"
#include "support/GlobalApplication.h"
#include "support/ProgramCopy.h"

class InProcessRoad {
public:
    InProcessRoad() : global(application) {}
    InProcessRoad(const InProcessRoad&) = delete;
    InProcessRoad& operator=(const InProcessRoad&) = delete;

    // Each run starts from a record of the defaults, as a program without a settings file does.
    RunOutcome run(const std::vector<std::wstring>& arguments, const std::wstring& caseFolder);

private:
    // A program of a name of its own: the mutex that guards the settings file while it loads is named after
    // the program, so workers side by side would otherwise wait for each other's loads.
    class Idle : public Application {
    public:
        Idle()
        {
            name = (L"korvilane-fuzz-" + std::to_wstring(GetCurrentProcessId())).c_str();
            namedMutex = std::make_unique<Mutex>();
            namedMutex->create((name + L"Mutex").buffer());
        }
        int run(const wstringArray&) override { return 0; }
    };

    Idle application;
    GlobalApplication global;
};

class ProgramRoad {
public:
    ProgramRoad() : copy(L"korvilane-fuzz-program") {}

    // A run that has not ended after the limit is ended, and says so.
    RunOutcome run(const std::vector<std::wstring>& arguments, DWORD limitMilliseconds);

private:
    ProgramCopy copy;
};

// The peak working set of the process so far.
SIZE_T peakWorkingSet(HANDLE process);
