#pragma once
#include <windows.h>
#include <objidl.h>
#include <memory>
#include <new>
#include "foundation/IStreamImpl.h"

// A COM stream over memory of its own, for the encoders that write a whole file into memory and the decoders that
// read one. Its block grows by doubling, so that a file costs time in proportion to its size whatever the pieces
// an encoder writes it in: Wine reallocates its streams on global memory, and the shell's memory stream, to the
// exact size at every write, and a file of many megabytes written in pieces of a kilobyte then takes minutes.
// A read past the end gives nothing, and a write past the end fills the gap with zeros. A clone shares the bytes
// and has a position of its own; the stream and its clones are used by one thread at a time.
class ComMemoryStream : public IStreamImpl {
public:
    // A new empty stream (the caller's reference); null with error 8 when there is no memory.
    static IStream* create();
    // A new stream holding a copy of the bytes, positioned at its start; null with error 8 when there is no memory.
    static IStream* create(const void* bytes, size_t size);

    // The stream and its bytes take their memory straight from the process heap, as the platform's streams do,
    // and not from the program's own allocations.
    static void* operator new(size_t size, const std::nothrow_t&) noexcept;
    static void operator delete(void* object) noexcept;
    static void operator delete(void* object, const std::nothrow_t&) noexcept { operator delete(object); }

    // S_FALSE when the end comes first.
    STDMETHODIMP Read(void* buffer, ULONG count, ULONG* done) override;
    // STG_E_MEDIUMFULL, with nothing written, when there is no memory for the bytes.
    STDMETHODIMP Write(const void* buffer, ULONG count, ULONG* done) override;
    // A position past the end is allowed; one before the start is STG_E_INVALIDFUNCTION.
    STDMETHODIMP Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* position) override;
    // The position stays where it was, as IStream wants; STG_E_MEDIUMFULL when there is no memory.
    STDMETHODIMP SetSize(ULARGE_INTEGER size) override;
    // The size; the stream has no name and no times.
    STDMETHODIMP Stat(STATSTG* stat, DWORD) override;
    STDMETHODIMP Clone(IStream** copy) override;

private:
    struct Bytes;

    ComMemoryStream(std::shared_ptr<Bytes> bytes, ULONGLONG position) : bytes(std::move(bytes)), position(position) {}
    // Null with error 8 when there is no memory.
    static IStream* make(std::shared_ptr<Bytes> bytes, ULONGLONG position);

    std::shared_ptr<Bytes> bytes;
    ULONGLONG position;
};
