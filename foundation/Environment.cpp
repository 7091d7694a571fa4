#include "foundation/Environment.h"
#include "foundation/Exception.h"

namespace {

bool isAtLeast(DWORD major, DWORD minor, bool withMinor)
{
    OSVERSIONINFOEXW wanted{};
    wanted.dwOSVersionInfoSize = sizeof(wanted);
    wanted.dwMajorVersion = major;
    wanted.dwMinorVersion = minor;
    DWORD parts = VER_MAJORVERSION;
    DWORDLONG conditions = VerSetConditionMask(0, VER_MAJORVERSION, VER_GREATER_EQUAL);
    if (withMinor) {
        parts |= VER_MINORVERSION;
        conditions = VerSetConditionMask(conditions, VER_MINORVERSION, VER_GREATER_EQUAL);
    }
    return VerifyVersionInfoW(&wanted, parts, conditions) != FALSE;
}

} // namespace

wstring expandEnvironmentStrings(const wstring& text)
{
    wstring expanded;
    wchar_t* buffer = nullptr;
    DWORD units = 0;
    // A variable may grow between the sizing call and the expansion: size again until the text fits.
    for (;;) {
        DWORD needed = ExpandEnvironmentStringsW(text.buffer(), buffer, units);
        if (needed == 0)
            Exception::throwLastError();
        if (buffer && needed <= units)
            return expanded;
        units = needed;
        buffer = expanded.reserve(static_cast<int>(units));
    }
}

bool isWindowsVistaOrLater()
{
    return isAtLeast(6, 0, false);
}

bool isWindows7OrLater()
{
    return isAtLeast(6, 1, true);
}
