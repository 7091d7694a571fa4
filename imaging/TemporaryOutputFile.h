#pragma once
#include <windows.h>
#include <objidl.h>
#include <string>
#include "foundation/ComPtr.h"
#include "foundation/Exception.h"
#include "foundation/FileHandle.h"
#include "foundation/FileHandleStream.h"

// A file written under a temporary name in its target's folder and moved over the target only once it is
// complete, so a failed write leaves neither a partial file nor a damaged target. The temporary file is made
// with a handle that is held until the file is moved into place, and the move goes by that handle: whoever can
// write the folder cannot put another file or a link under the temporary name meanwhile, so the program never
// writes into nor moves a file that is not its own. The class throws nothing.
class TemporaryOutputFile {
public:
    // How the writer reaches the file.
    enum class Writer {
        // Through stream() or write(): no one else can open the file.
        Handle,
        // By opening path() itself, sharing reading and writing (AVIFile). The file stays open for reading, so
        // its name cannot be taken from it, and it is moved only when the name still leads to it.
        SharedName,
        // By opening path() as it pleases, unshared too (the resource updater): path() is then a file of its
        // own in the user's temporary folder, which others cannot write, copied into the held file on commit.
        PrivateName,
    };

    TemporaryOutputFile() = default;
    TemporaryOutputFile(const TemporaryOutputFile&) = delete;
    TemporaryOutputFile& operator=(const TemporaryOutputFile&) = delete;
    virtual ~TemporaryOutputFile() { discard(); }

    // Reserves a new empty file beside the target; false with the last error when the folder takes none (a
    // pending file is discarded first).
    bool create(const wchar_t* target, Writer writer = Writer::Handle);
    // The file the writer opens by name; for Writer::Handle the temporary file's name, which no one can open.
    // Null when none is pending.
    const wchar_t* path() const;
    // A new stream (the caller's reference) over the file at its current position; null with the last error
    // when none is pending or the writer goes by name. Once the file refuses a write, the stream answers every
    // write as done without the disk (FileHandleStream), so that no encoder meets a failed one, and commit
    // refuses the file.
    IStream* stream() const;
    // Writes every byte at the file's current position; false with the last error as stream().
    bool write(const void* bytes, DWORD count);
    // Moves the file over the target, replacing it. When the move fails, or a write through stream() or write()
    // failed whatever the writer made of it, the temporary file is removed, the target is left as it was and
    // the last error tells why; ERROR_FILE_INVALID when the temporary name no longer leads to the file that was
    // made (which is then left to whoever put it there).
    bool commit();
    // Removes the pending file; the target is never touched.
    void discard();

private:
    bool holdForMove();
    bool reopenShared();
    bool copyPrivateFile();
    void remove();

    std::wstring target;
    std::wstring temporary;
    // Writer::PrivateName: the writer's file in the user's temporary folder.
    std::wstring privateFile;
    Writer writer = Writer::Handle;
    FileHandle held{INVALID_HANDLE_VALUE};
    std::shared_ptr<FileHandleStream::WriteFailure> failures;
};

// Runs write (IStream* staged) -> bool on a temporary file and moves the result over the target when it
// succeeds.
template <typename Write>
bool writeThroughTemporaryFile(const wchar_t* target, Write write)
{
    TemporaryOutputFile file;
    if (!file.create(target))
        return false;
    ComPtr<IStream> stream(file.stream());
    if (!stream || !write(stream.get()))
        return false;
    stream.release();
    return file.commit();
}

// Throws the system's reason why the file staged for the target could not be made or put in place, naming the
// target; memory that ran out is no fault of a file's.
[[noreturn]] inline void throwStagingFailure(const wchar_t* target)
{
    DWORD error = GetLastError();
    if (error == ERROR_NOT_ENOUGH_MEMORY)
        throwOutOfMemory();
    throw ApplicationException::forFile(error, target);
}

// The same for a writer that throws and opens the file by name, write (const wchar_t* path), where path is
// a file of its own in the user's temporary folder (Writer::PrivateName): its exception passes on, and a
// temporary file that cannot be made or put in place throws the system's reason naming the target. Either way
// the target stays as it was and no temporary file is left.
template <typename Write>
void replaceThroughTemporaryFile(const wchar_t* target, Write write)
{
    TemporaryOutputFile file;
    if (!file.create(target, TemporaryOutputFile::Writer::PrivateName))
        throwStagingFailure(target);
    write(file.path());
    if (!file.commit())
        throwStagingFailure(target);
}
