#include "foundation/Cabinet.h"
#include <fdi.h>
#include <climits>
#include "foundation/CriticalSection.h"
#include "foundation/Exception.h"
#include "foundation/LoadedLibrary.h"
#include "foundation/MemoryAllocator.h"
#include "imaging/ComStream.h"

namespace {

// The extraction callbacks have no context argument, so they find the streams of the extraction in progress
// here; the lock makes sure there is only one.
CriticalSection extractionLock;
IStream* extractionInput = nullptr;
IStream* extractionOutput = nullptr;

[[noreturn]] void throwFailure()
{
    throw Exception(static_cast<int>(E_FAIL));
}

IStream* streamOf(INT_PTR handle)
{
    return reinterpret_cast<IStream*>(handle);
}

void* DIAMONDAPI allocate(ULONG bytes)
{
    return bytes > INT_MAX ? nullptr : MemoryAllocator::alloc(static_cast<int>(bytes));
}

void DIAMONDAPI release(void* block)
{
    MemoryAllocator::free(block);
}

INT_PTR DIAMONDAPI openInput(char*, int, int)
{
    return reinterpret_cast<INT_PTR>(extractionInput);
}

UINT DIAMONDAPI readStream(INT_PTR handle, void* buffer, UINT count)
{
    ULONG done = 0;
    return SUCCEEDED(streamOf(handle)->Read(buffer, count, &done)) ? done : 0;
}

UINT DIAMONDAPI writeStream(INT_PTR handle, void* buffer, UINT count)
{
    ULONG done = 0;
    return SUCCEEDED(streamOf(handle)->Write(buffer, count, &done)) ? done : 0;
}

// The streams belong to the extraction, not to the library.
int DIAMONDAPI closeStream(INT_PTR)
{
    return 0;
}

// The seek origins of the library (SEEK_SET, SEEK_CUR, SEEK_END) are those of IStream.
LONG DIAMONDAPI seekStream(INT_PTR handle, LONG distance, int origin)
{
    LARGE_INTEGER move;
    move.QuadPart = distance;
    ULARGE_INTEGER position;
    if (FAILED(streamOf(handle)->Seek(move, static_cast<DWORD>(origin), &position)))
        return -1;
    return static_cast<LONG>(position.LowPart);
}

INT_PTR DIAMONDAPI notify(FDINOTIFICATIONTYPE type, PFDINOTIFICATION)
{
    switch (type) {
    case fdintCOPY_FILE:
        return reinterpret_cast<INT_PTR>(extractionOutput);
    case fdintCLOSE_FILE_INFO:
        return TRUE;
    default:
        return 0;
    }
}

// The decompression functions of cabinet.dll, which exports them by ordinal.
class CabinetLibrary {
public:
    CabinetLibrary() : library(LoadedLibrary::fromSystemFolder(L"cabinet.dll"))
    {
        if (!library.get())
            Exception::throwLastError();
        create = reinterpret_cast<decltype(&FDICreate)>(exported(20));
        isCabinet = reinterpret_cast<decltype(&FDIIsCabinet)>(exported(21));
        copy = reinterpret_cast<decltype(&FDICopy)>(exported(22));
        destroy = reinterpret_cast<decltype(&FDIDestroy)>(exported(23));
    }

    decltype(&FDICreate) create;
    decltype(&FDIIsCabinet) isCabinet;
    decltype(&FDICopy) copy;
    decltype(&FDIDestroy) destroy;

private:
    FARPROC exported(WORD ordinal) const
    {
        FARPROC found = GetProcAddress(library.get(), MAKEINTRESOURCEA(ordinal));
        if (!found)
            Exception::throwLastError();
        return found;
    }

    LoadedLibrary library;
};

// One decompression context, destroyed on every way out.
class Decompressor {
public:
    explicit Decompressor(CabinetLibrary& library) : library(library)
    {
        context = library.create(allocate, release, openInput, readStream, writeStream, closeStream, seekStream,
                                 cpuUNKNOWN, &errors);
        if (!context)
            throwFailure();
    }
    Decompressor(const Decompressor&) = delete;
    Decompressor& operator=(const Decompressor&) = delete;
    ~Decompressor() { library.destroy(context); }

    bool isCabinet(IStream* stream)
    {
        FDICABINETINFO info{};
        return library.isCabinet(context, reinterpret_cast<INT_PTR>(stream), &info);
    }
    bool copyAll()
    {
        char none[] = "";
        return library.copy(context, none, none, 0, notify, nullptr, nullptr);
    }

private:
    CabinetLibrary& library;
    ERF errors{};
    HFDI context = nullptr;
};

// Makes the streams visible to the callbacks for one scope; the caller holds the extraction lock.
class PublishedStreams {
public:
    PublishedStreams(IStream* input, IStream* output)
    {
        extractionInput = input;
        extractionOutput = output;
    }
    PublishedStreams(const PublishedStreams&) = delete;
    PublishedStreams& operator=(const PublishedStreams&) = delete;
    ~PublishedStreams()
    {
        extractionInput = nullptr;
        extractionOutput = nullptr;
    }
};

} // namespace

IStream* extractCabinet(IStream* cabinet)
{
    if (!cabinet)
        Exception::throwInvalidArgument();
    CabinetLibrary library;
    Decompressor decompressor(library);
    // The library reads the archive from the current position: a stream just written is at its end.
    rewindComStream(cabinet);
    if (!decompressor.isCabinet(cabinet))
        throwFailure();
    CriticalSectionLock lock(extractionLock);
    rewindComStream(cabinet);
    OutputComStream output;
    output.create();
    PublishedStreams published(cabinet, output.get());
    if (!decompressor.copyAll())
        throwFailure();
    return output.detach();
}
