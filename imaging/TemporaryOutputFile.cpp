#include "imaging/TemporaryOutputFile.h"
#include <atomic>
#include <new>

namespace {

constexpr int Attempts = 64;

std::wstring folderOf(const std::wstring& path)
{
    size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
}

// Distinct between threads and processes, so that concurrent saves into one folder never share a name.
std::wstring candidateName(const std::wstring& folder)
{
    static std::atomic<unsigned> counter{0};
    wchar_t name[48];
    wsprintfW(name, L"~kv%04X%08X.tmp", GetCurrentProcessId() & 0xFFFF,
              (GetTickCount() << 12) ^ counter.fetch_add(1));
    return folder + name;
}

} // namespace

bool TemporaryOutputFile::create(const wchar_t* targetPath)
{
    discard();
    if (!targetPath || !*targetPath) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    try {
        target = targetPath;
        std::wstring folder = folderOf(target);
        for (int i = 0; i < Attempts; ++i) {
            std::wstring candidate = candidateName(folder);
            HANDLE file = CreateFileW(candidate.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
            if (file != INVALID_HANDLE_VALUE) {
                CloseHandle(file);
                temporary = candidate;
                return true;
            }
            if (GetLastError() != ERROR_FILE_EXISTS && GetLastError() != ERROR_ALREADY_EXISTS)
                return false;
        }
    } catch (const std::bad_alloc&) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    }
    return false;
}

bool TemporaryOutputFile::commit()
{
    if (temporary.empty()) {
        SetLastError(ERROR_INVALID_FUNCTION);
        return false;
    }
    if (!MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        DWORD error = GetLastError();
        discard();
        SetLastError(error);
        return false;
    }
    temporary.clear();
    return true;
}

void TemporaryOutputFile::discard()
{
    if (temporary.empty())
        return;
    DeleteFileW(temporary.c_str());
    temporary.clear();
}
