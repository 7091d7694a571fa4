#include "imaging/TemporaryOutputFile.h"
#include <atomic>
#include <memory>
#include <new>
#include "foundation/File.h"
#include "foundation/FileHandleStream.h"

namespace {

constexpr int Attempts = 64;
// A link that someone put under a name about to be taken is never followed, neither when the file is made
// nor when it is opened again.
constexpr DWORD NoLinkFollowed = FILE_FLAG_OPEN_REPARSE_POINT;

struct Opening {
    DWORD access;
    DWORD sharing;
};
// The program's alone, renamed and deleted through its handle.
constexpr Opening Exclusive = {GENERIC_READ | GENERIC_WRITE | DELETE, 0};
// A reader that lets writers in by name, but no one rename or delete the file while it is open.
constexpr Opening Pinning = {GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE};

struct FileIdentity {
    DWORD volume = 0;
    DWORD high = 0;
    DWORD low = 0;

    bool operator==(const FileIdentity& other) const
    {
        return volume == other.volume && high == other.high && low == other.low;
    }
};

// False for anything but a plain file: a link in the file's place is no file of the program's.
bool identify(HANDLE file, FileIdentity& identity)
{
    BY_HANDLE_FILE_INFORMATION information;
    if (!GetFileInformationByHandle(file, &information))
        return false;
    identity = {information.dwVolumeSerialNumber, information.nFileIndexHigh, information.nFileIndexLow};
    return (information.dwFileAttributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY)) == 0;
}

std::wstring folderOf(const std::wstring& path)
{
    size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
}

// Empty with the last error when the path cannot be made full.
std::wstring fullPathOf(const wchar_t* path)
{
    DWORD length = GetFullPathNameW(path, 0, nullptr, nullptr);
    if (length == 0)
        return std::wstring();
    std::wstring full(length, L'\0');
    length = GetFullPathNameW(path, length, full.data(), nullptr);
    full.resize(length < full.size() ? length : 0);
    return full;
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

// A new empty file under a free name of the folder, opened as asked; false with the last error.
bool createNew(const std::wstring& folder, const Opening& opening, std::wstring& name, FileHandle& handle)
{
    for (int i = 0; i < Attempts; ++i) {
        std::wstring candidate = candidateName(folder);
        handle.reset(CreateFileW(candidate.c_str(), opening.access, opening.sharing, nullptr, CREATE_NEW,
                                 FILE_ATTRIBUTE_NORMAL | NoLinkFollowed, nullptr));
        if (handle.isValid()) {
            name = candidate;
            return true;
        }
        if (GetLastError() != ERROR_FILE_EXISTS && GetLastError() != ERROR_ALREADY_EXISTS)
            return false;
    }
    return false;
}

// The user's own temporary folder, where no one else can put a file.
std::wstring privateFolder()
{
    wchar_t folder[MAX_PATH + 1];
    DWORD length = GetTempPathW(MAX_PATH + 1, folder);
    if (length == 0 || length > MAX_PATH)
        return std::wstring();
    return folder;
}

bool moveByHandle(HANDLE file, const std::wstring& target)
{
    DWORD nameBytes = static_cast<DWORD>(target.size() * sizeof(wchar_t));
    DWORD size = sizeof(FILE_RENAME_INFO) + nameBytes;
    std::unique_ptr<BYTE[]> buffer(new (std::nothrow) BYTE[size]());
    if (!buffer) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return false;
    }
    auto* rename = reinterpret_cast<FILE_RENAME_INFO*>(buffer.get());
    rename->ReplaceIfExists = TRUE;
    rename->RootDirectory = nullptr;
    rename->FileNameLength = nameBytes;
    CopyMemory(rename->FileName, target.c_str(), nameBytes);
    return SetFileInformationByHandle(file, FileRenameInfo, rename, size) != FALSE;
}

} // namespace

bool TemporaryOutputFile::create(const wchar_t* targetPath, Writer how)
{
    discard();
    if (!targetPath || !*targetPath) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    try {
        target = fullPathOf(targetPath);
        writer = how;
        bool created = !target.empty() &&
                       createNew(folderOf(target), how == Writer::SharedName ? Pinning : Exclusive, temporary, held);
        if (created && how == Writer::PrivateName) {
            // Made here and closed again: the writer opens it by name.
            FileHandle made(INVALID_HANDLE_VALUE);
            std::wstring folder = privateFolder();
            created = !folder.empty() && createNew(folder, Exclusive, privateFile, made);
        }
        if (created) {
            failures = std::make_shared<FileHandleStream::WriteFailure>();
            return true;
        }
    } catch (const std::bad_alloc&) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    }
    discard();
    return false;
}

const wchar_t* TemporaryOutputFile::path() const
{
    if (!held.isValid())
        return nullptr;
    return writer == Writer::PrivateName ? privateFile.c_str() : temporary.c_str();
}

IStream* TemporaryOutputFile::stream() const
{
    if (!held.isValid() || writer != Writer::Handle) {
        SetLastError(ERROR_INVALID_FUNCTION);
        return nullptr;
    }
    return FileHandleStream::create(held.get(), failures);
}

bool TemporaryOutputFile::write(const void* bytes, DWORD count)
{
    if (!held.isValid() || writer != Writer::Handle) {
        SetLastError(ERROR_INVALID_FUNCTION);
        return false;
    }
    if (File::writeAll(held.get(), bytes, count))
        return true;
    DWORD error = GetLastError();
    failures->note(error);
    SetLastError(error);
    return false;
}

bool TemporaryOutputFile::commit()
{
    if (!held.isValid()) {
        SetLastError(ERROR_INVALID_FUNCTION);
        return false;
    }
    // A file that refused some of the writer's bytes is not the file the writer meant.
    DWORD refused = failures ? failures->error() : ERROR_SUCCESS;
    if (refused == ERROR_SUCCESS && holdForMove() && moveByHandle(held.get(), target)) {
        held.reset();
        temporary.clear();
        return true;
    }
    DWORD error = refused != ERROR_SUCCESS ? refused : GetLastError();
    discard();
    SetLastError(error);
    return false;
}

void TemporaryOutputFile::discard()
{
    DWORD error = GetLastError();
    if (!privateFile.empty())
        DeleteFileW(privateFile.c_str());
    privateFile.clear();
    // Only a file that is still the program's own is removed.
    if (held.isValid() && writer == Writer::SharedName)
        reopenShared();
    if (held.isValid())
        remove();
    temporary.clear();
    writer = Writer::Handle;
    failures.reset();
    SetLastError(error);
}

// Afterwards the file is held exclusively and holds what the writer wrote.
bool TemporaryOutputFile::holdForMove()
{
    switch (writer) {
    case Writer::SharedName:
        return reopenShared();
    case Writer::PrivateName:
        return copyPrivateFile();
    default:
        return true;
    }
}

// The writers have let go of the name: the file is opened again by it, exclusively, and kept only when the name
// still leads to the file that was made. Between the two opens someone may have put another file there, which
// is left alone.
bool TemporaryOutputFile::reopenShared()
{
    FileIdentity made;
    FileIdentity found;
    bool known = identify(held.get(), made);
    // The held handle reads, which an exclusive open would not let it do: it goes first.
    held.reset();
    held.reset(CreateFileW(temporary.c_str(), Exclusive.access, Exclusive.sharing, nullptr, OPEN_EXISTING,
                           NoLinkFollowed, nullptr));
    if (!held.isValid())
        return false;
    if (!known || !identify(held.get(), found) || !(found == made)) {
        held.reset();
        SetLastError(ERROR_FILE_INVALID);
        return false;
    }
    writer = Writer::Handle;
    return true;
}

// The copy in the user's temporary folder holds what the user saved: it goes once the last of the handles
// opened here is closed, whether the copy into the held file succeeds or not.
bool TemporaryOutputFile::copyPrivateFile()
{
    FileHandle source(CreateFileW(privateFile.c_str(), GENERIC_READ | DELETE, FILE_SHARE_READ | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN | FILE_FLAG_DELETE_ON_CLOSE,
                                  nullptr));
    if (!source.isValid())
        return false;
    privateFile.clear();
    ComPtr<IStream> from(FileHandleStream::create(source.get()));
    ComPtr<IStream> into(FileHandleStream::create(held.get()));
    ULARGE_INTEGER all;
    all.QuadPart = ~0ull;
    if (!from || !into || FAILED(from->CopyTo(into.get(), all, nullptr, nullptr)))
        return false;
    writer = Writer::Handle;
    return true;
}

void TemporaryOutputFile::remove()
{
    FILE_DISPOSITION_INFO disposition = {TRUE};
    SetFileInformationByHandle(held.get(), FileDispositionInfo, &disposition, sizeof(disposition));
    held.reset();
}
