#include "imaging/ComStream.h"
#include "foundation/ComMemoryStream.h"
#include "foundation/Exception.h"

namespace {

[[noreturn]] void throwNoStream()
{
    throw Exception(ErrorCode::InvalidState);
}

ULONGLONG seekStream(IStream* stream, LONGLONG offset, DWORD origin)
{
    LARGE_INTEGER move;
    move.QuadPart = offset;
    ULARGE_INTEGER position;
    position.QuadPart = 0;
    Exception::check(stream->Seek(move, origin, &position));
    return position.QuadPart;
}

} // namespace

void InputComStream::attach(IStream* other)
{
    close();
    stream = other;
}

void InputComStream::close()
{
    if (stream)
        stream->Release();
    stream = nullptr;
}

IStream* InputComStream::requireStream() const
{
    if (!stream)
        throwNoStream();
    return stream;
}

DWORD InputComStream::read(void* buffer, DWORD count, bool& endOfData)
{
    IStream* source = requireStream();
    endOfData = false;
    if (!count)
        return 0;
    if (!buffer)
        Exception::throwInvalidArgument();
    ZeroMemory(buffer, count);
    ULONG done = 0;
    HRESULT result = source->Read(buffer, count, &done);
    Exception::check(result);
    endOfData = done < count;
    return done;
}

void InputComStream::rewind()
{
    seekStream(requireStream(), 0, STREAM_SEEK_SET);
}

ULONGLONG InputComStream::seek(LONGLONG offset, DWORD origin)
{
    return seekStream(requireStream(), offset, origin);
}

void OutputComStream::create()
{
    close();
    stream = ComMemoryStream::create();
    if (!stream)
        throw Exception(ErrorCode::NoMemory);
}

void OutputComStream::attach(IStream* other)
{
    close();
    stream = other;
}

void OutputComStream::close()
{
    if (stream)
        stream->Release();
    stream = nullptr;
}

DWORD OutputComStream::write(const void* buffer, DWORD count)
{
    if (!stream)
        throwNoStream();
    if (!buffer)
        Exception::throwInvalidArgument();
    ULONG done = 0;
    Exception::check(stream->Write(buffer, count, &done));
    return done;
}

void OutputComStream::flush()
{
    if (!stream)
        throwNoStream();
}

IStream* OutputComStream::detach()
{
    IStream* taken = stream;
    stream = nullptr;
    return taken;
}

void rewindComStream(IStream* stream)
{
    if (!stream)
        Exception::throwInvalidArgument();
    seekStream(stream, 0, STREAM_SEEK_SET);
}

IStream* createMemoryStream(const void* bytes, UINT size)
{
    IStream* stream = ComMemoryStream::create(bytes, size);
    if (!stream)
        throw Exception(ErrorCode::NoMemory);
    return stream;
}
