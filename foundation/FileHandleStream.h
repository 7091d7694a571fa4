#pragma once
#include <windows.h>
#include <objidl.h>
#include <atomic>
#include <memory>
#include "foundation/FileHandle.h"
#include "foundation/IUnknownImpl.h"

// A COM stream over an open file, for writers that take a stream where the program holds the file itself:
// reads, writes and seeks go to the file at its file pointer. The stream works on a duplicate of the handle, so
// it may outlive the one it was made from while still reaching the same open file, with its access and sharing.
class FileHandleStream : public IUnknownImpl<IStream> {
public:
    // The first error of a write that did not go through, shared by the streams over one file: some encoders go
    // on and report success after the stream refused their bytes, so the file's owner asks here before it
    // takes the file as written. ERROR_SUCCESS while every write went through.
    class WriteFailure {
    public:
        void note(DWORD error);
        DWORD error() const { return first.load(); }

    private:
        std::atomic<DWORD> first{ERROR_SUCCESS};
    };

    // A new stream (the caller's reference) at the file's current position, noting its failed writes in
    // failures when given; null with the last error when the handle cannot be duplicated or there is no memory.
    static IStream* create(HANDLE file, std::shared_ptr<WriteFailure> failures = nullptr);

    STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
    STDMETHODIMP Read(void* buffer, ULONG count, ULONG* done) override;
    STDMETHODIMP Write(const void* buffer, ULONG count, ULONG* done) override;
    STDMETHODIMP Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* position) override;
    // The position stays where it was, as IStream wants.
    STDMETHODIMP SetSize(ULARGE_INTEGER size) override;
    STDMETHODIMP CopyTo(IStream* target, ULARGE_INTEGER count, ULARGE_INTEGER* read, ULARGE_INTEGER* written) override;
    // Writes go straight to the file: there is nothing to commit or revert, and no regions to lock.
    STDMETHODIMP Commit(DWORD) override { return S_OK; }
    STDMETHODIMP Revert() override { return S_OK; }
    STDMETHODIMP LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override { return STG_E_INVALIDFUNCTION; }
    STDMETHODIMP UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override { return STG_E_INVALIDFUNCTION; }
    // The size and times; the stream has no name.
    STDMETHODIMP Stat(STATSTG* stat, DWORD) override;
    STDMETHODIMP Clone(IStream** copy) override;

private:
    FileHandleStream(HANDLE file, std::shared_ptr<WriteFailure> failures) : file(file), failures(std::move(failures)) {}
    // The result of a write that failed, noted.
    HRESULT writeFailed();

    FileHandle file;
    std::shared_ptr<WriteFailure> failures;
};
