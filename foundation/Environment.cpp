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
    DWORD needed = ExpandEnvironmentStringsW(text.buffer(), nullptr, 0);
    if (needed == 0)
        Exception::throwLastError();
    wstring expanded;
    wchar_t* buffer = expanded.reserve(static_cast<int>(needed));
    DWORD written = ExpandEnvironmentStringsW(text.buffer(), buffer, needed);
    if (written == 0)
        Exception::throwLastError();
    // A variable that grew between the two calls would leave the text cut short.
    if (written > needed)
        throw Exception(ERROR_INSUFFICIENT_BUFFER);
    return expanded;
}

bool isWindowsVistaOrLater()
{
    return isAtLeast(6, 0, false);
}

bool isWindows7OrLater()
{
    return isAtLeast(6, 1, true);
}
