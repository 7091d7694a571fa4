#pragma once
// Runs a test's cases in worker processes: copies of this test program that run the test again and do their
// share of the cases one after another in process, each through the command-line mode as korvilane.exe does
// after its start. The test's own process watches: a case that crashes its worker, or shows no end within the
// hang limit, fails the test with its name, and a fresh worker goes on with the next case of that share, so
// that one fault hides no other. A case whose peak working set breaks the bound also ends its worker, because
// the peak of a process never falls again.
#include <windows.h>
#include <functional>
#include <memory>
#include <string>
#include <vector>
#include "CommandLineCase.h"
#include "support/ScratchFolder.h"

class CaseSupervisor {
public:
    CaseSupervisor(const RunBounds& bounds, DWORD hangMilliseconds, size_t workers)
        : bounds(bounds), hangMilliseconds(hangMilliseconds), workers(workers)
    {
    }

    // In the test's own process: runs the workers and adds a test failure for each broken promise. In a
    // worker: makes the cases and runs its share of them.
    void expectAllKept(const std::function<std::vector<CommandLineCase>()>& makeCases);

private:
    class WorkerRun;

    // Worker k of n runs the cases k, k + n, k + 2n ... from `first` on.
    void runShare(const std::vector<CommandLineCase>& cases, size_t first, size_t step, const std::wstring& results);
    void supervise();

    RunBounds bounds;
    DWORD hangMilliseconds;
    size_t workers;
};
