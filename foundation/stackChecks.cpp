// The compiler's stack checks (-fstack-protector-strong) and the C library's size checks (_FORTIFY_SOURCE) read
// their cookie here and end here when they fail. The programs carry these in place of GCC's libssp, whose set-up
// asks the crypto API for the cookie before the entry point runs: that loads crypto libraries which are no known
// DLLs while the search for libraries still starts in the program's folder.
#include "foundation/stackChecks.h"
#include <windows.h>

namespace {

// Nothing more runs on a damaged stack: no exception handler, destructor or exit routine of the process.
[[noreturn]] void endProcess(unsigned failure)
{
    if (IsProcessorFeaturePresent(PF_FASTFAIL_AVAILABLE))
        asm volatile("int $0x29" : : "c"(failure));
    TerminateProcess(GetCurrentProcess(), STATUS_STACK_BUFFER_OVERRUN);
    __builtin_unreachable();
}

// Runs before every other constructor, and the start-up code that calls it checks no cookie, so no function is
// between its check's two halves when the cookie changes. The sources are those the system's own runtime takes
// when the loader has not set a cookie: the time, the ids of process and thread, the performance counter and
// where the system placed the stack.
[[gnu::constructor(101), gnu::no_stack_protector]] void drawStackGuard()
{
    FILETIME time;
    GetSystemTimeAsFileTime(&time);
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    std::uintptr_t guard = (std::uintptr_t{time.dwHighDateTime} << 32 | time.dwLowDateTime) ^ GetCurrentThreadId() ^
                           std::uintptr_t{GetCurrentProcessId()} << 24 ^
                           (std::uintptr_t{counter.LowPart} << 32 ^ counter.QuadPart) ^
                           reinterpret_cast<std::uintptr_t>(&guard);
    __stack_chk_guard = guard == stackGuardInFile || guard == 0 ? stackGuardInFile + 1 : guard;
}

} // namespace

extern "C" {

std::uintptr_t __stack_chk_guard = stackGuardInFile;

[[noreturn]] void __stack_chk_fail()
{
    endProcess(FAST_FAIL_STACK_COOKIE_CHECK_FAILURE);
}

[[noreturn]] void __chk_fail()
{
    endProcess(FAST_FAIL_RANGE_CHECK_FAILURE);
}
}
