#pragma once
#include <windows.h>
#include <objidl.h>
#include <atomic>
#include <memory>
#include <optional>
#include "foundation/FileHandle.h"
#include "foundation/IStreamImpl.h"

// A COM stream over an open file, for writers that take a stream where the program holds the file itself:
// reads, writes and seeks go to the file at its file pointer. The stream works on a duplicate of the handle, so
// it may outlive the one it was made from while still reaching the same open file, with its access and sharing.
//
// A stream that notes its failed writes for the file's owner never lets the writer see one: the platform's
// encoders are not safe on a write that fails (Wine's TIFF encoder then closes a file it never opened). From the
// first write that the file refuses, its own or another stream's over the file, the stream takes every write
// and size change without the disk, keeping the place and size that the writer believes in; reads give what
// the disk holds and zeros beyond it. The owner, told of the failure, never takes the file as written.
class FileHandleStream : public IStreamImpl {
public:
    // The first error of a write that did not go through, shared by the streams over one file, which the
    // file's owner asks before it takes the file as written. ERROR_SUCCESS while every write went through.
    class WriteFailure {
    public:
        void note(DWORD error);
        DWORD error() const { return first.load(); }

    private:
        std::atomic<DWORD> first{ERROR_SUCCESS};
    };

    // A new stream (the caller's reference) at the file's current position, noting its failed writes in
    // failures when given, and then answering as written; without failures a write that fails fails. Null
    // with the last error when the handle cannot be duplicated or there is no memory.
    static IStream* create(HANDLE file, std::shared_ptr<WriteFailure> failures = nullptr);

    STDMETHODIMP Read(void* buffer, ULONG count, ULONG* done) override;
    STDMETHODIMP Write(const void* buffer, ULONG count, ULONG* done) override;
    STDMETHODIMP Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* position) override;
    // The position stays where it was, as IStream wants.
    STDMETHODIMP SetSize(ULARGE_INTEGER size) override;
    // The size and times; the stream has no name.
    STDMETHODIMP Stat(STATSTG* stat, DWORD) override;
    STDMETHODIMP Clone(IStream** copy) override;

private:
    // What the writer was told since the file took no more: its place and size as if every byte had been
    // written, and how much of the file is really there.
    struct Unwritten {
        ULONGLONG position;
        ULONGLONG size;
        ULONGLONG onDisk;
    };

    FileHandleStream(HANDLE file, std::shared_ptr<WriteFailure> failures) : file(file), failures(std::move(failures)) {}
    // The result of a write that failed, noted.
    HRESULT writeFailed();
    // Whether writes no longer reach the disk, which they stop doing once a write over the file has failed.
    bool isUnwritten();
    // From here on writes go nowhere, the place being ahead bytes past the file pointer; false with the last
    // error when the file cannot tell its place or size.
    bool stopWriting(ULONGLONG ahead);
    HRESULT readUnwritten(void* buffer, ULONG count, ULONG* done);
    HRESULT seekUnwritten(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* position);

    FileHandle file;
    std::shared_ptr<WriteFailure> failures;
    std::optional<Unwritten> unwritten;
};
