#include "settings/SettingsFileBytes.h"
#include <optional>
#include "foundation/FileHandle.h"
#include "foundation/Mutex.h"

namespace {

// The program's own settings files are a few hundred KB at most. A file beyond this bound, twenty times that and
// more, is no settings file of the program's and is not read at all: reading it whole would hold the application's
// mutex, and with it every other start, while its bytes come in, and its parse would keep this start waiting far
// longer (about a third of a second per MiB of small sections here, over a minute for 64 MiB).
constexpr LONGLONG MaxFileBytes = 8LL << 20;

} // namespace

SettingsFileBytes::SettingsFileBytes(const wstring& path, Mutex* guard)
{
    std::optional<MutexLock> hold;
    if (guard)
        hold.emplace(*guard);
    failure = read(path);
}

DWORD SettingsFileBytes::read(const wstring& path)
{
    // Others may go on reading, writing or replacing the file: a reader here must never be in their way.
    FileHandle file(CreateFileW(path.buffer(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.isValid())
        return GetLastError();
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size))
        return GetLastError();
    if (size.QuadPart > MaxFileBytes)
        return ERROR_INVALID_DATA;
    if (!bytes.allocate(size.QuadPart))
        return ERROR_NOT_ENOUGH_MEMORY;
    DWORD done = 0;
    if (bytes.count() > 0 && !ReadFile(file.get(), bytes.get(), static_cast<DWORD>(bytes.count()), &done, nullptr))
        return GetLastError();
    // A file cut short meanwhile holds only what was read.
    used = static_cast<int>(done);
    return ERROR_SUCCESS;
}

bool SettingsFileBytes::sameAs(const SettingsFileBytes& other) const
{
    return failure == other.failure && length() == other.length() && memcmp(data(), other.data(), length()) == 0;
}
