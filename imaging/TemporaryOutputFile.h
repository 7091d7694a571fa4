#pragma once
#include <windows.h>
#include <string>
#include "foundation/Exception.h"

// A file written under a temporary name in its target's folder and moved over the target only once it is
// complete, so a failed write leaves neither a partial file nor a damaged target. The class throws nothing.
class TemporaryOutputFile {
public:
    TemporaryOutputFile() = default;
    TemporaryOutputFile(const TemporaryOutputFile&) = delete;
    TemporaryOutputFile& operator=(const TemporaryOutputFile&) = delete;
    virtual ~TemporaryOutputFile() { discard(); }

    // Reserves a new empty file beside the target; false with the last error when the folder takes none (a
    // pending file is discarded first).
    bool create(const wchar_t* target);
    // The temporary file's path for the writer; null when none is pending.
    const wchar_t* path() const { return temporary.empty() ? nullptr : temporary.c_str(); }
    // Moves the file over the target, replacing it. When the move fails the temporary file is removed, the
    // target is left as it was and the last error tells why.
    bool commit();
    // Removes the pending file; the target is never touched.
    void discard();

private:
    std::wstring target;
    std::wstring temporary;
};

// Runs write (const wchar_t* temporaryPath) -> bool on a temporary file and moves the result over the target
// when it succeeds.
template <typename Write>
bool writeThroughTemporaryFile(const wchar_t* target, Write write)
{
    TemporaryOutputFile file;
    if (!file.create(target) || !write(file.path()))
        return false;
    return file.commit();
}

// The same for a writer that throws, write (const wchar_t* temporaryPath): its exception passes on, and a
// temporary file that cannot be made or put in place throws Exception with the system's error. Either way the
// target stays as it was and no temporary file is left.
template <typename Write>
void replaceThroughTemporaryFile(const wchar_t* target, Write write)
{
    TemporaryOutputFile file;
    if (!file.create(target))
        Exception::throwLastError();
    write(file.path());
    if (!file.commit())
        Exception::throwLastError();
}
