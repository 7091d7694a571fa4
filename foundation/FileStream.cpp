#include "foundation/FileStream.h"
#include "foundation/Exception.h"

void BaseFile::openOrThrow(const wchar_t* path, int mode)
{
    if (!file.open(path, mode))
        Exception::throwLastError();
}

HANDLE BaseFile::openHandle() const
{
    if (!file.isOpen())
        throw Exception(ERROR_INVALID_HANDLE);
    return file.getHandle();
}

InputFileStream::InputFileStream(const wchar_t* path)
{
    openOrThrow(path, File::Read);
}

void InputFileStream::open(const wchar_t* path)
{
    openOrThrow(path, File::Read);
}

DWORD InputFileStream::read(void* buffer, DWORD count, bool& endOfData)
{
    endOfData = false;
    if (!buffer && count)
        Exception::throwInvalidArgument();
    HANDLE handle = openHandle();
    if (count)
        ZeroMemory(buffer, count);
    DWORD done = 0;
    if (!ReadFile(handle, buffer, count, &done, nullptr))
        Exception::throwLastError();
    endOfData = done < count;
    return done;
}

OutputFileStream::OutputFileStream(const wchar_t* path)
{
    openOrThrow(path, File::Write);
}

OutputFileStream::OutputFileStream(const wchar_t* path, int, int)
{
    openOrThrow(path, File::WriteShareRead);
}

void OutputFileStream::open(const wchar_t* path)
{
    openOrThrow(path, File::Write);
}

DWORD OutputFileStream::write(const void* buffer, DWORD count)
{
    if (!buffer && count)
        Exception::throwInvalidArgument();
    // A disk that fills up takes part of the bytes without a word: asked for the rest, it says why it cannot.
    if (!File::writeAll(openHandle(), buffer, count))
        Exception::throwLastError();
    return count;
}

void OutputFileStream::flush()
{
    if (!FlushFileBuffers(openHandle()))
        Exception::throwLastError();
}
