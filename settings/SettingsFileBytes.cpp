#include "settings/SettingsFileBytes.h"
#include <optional>
#include "foundation/FileHandle.h"
#include "foundation/Mutex.h"

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
