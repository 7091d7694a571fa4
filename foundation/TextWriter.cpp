#include "foundation/TextWriter.h"
#include "foundation/Exception.h"
#include "foundation/MemoryStream.h"
#include "foundation/wstring.h"

TextWriter::TextWriter(OutputStream* stream, TextConverter* converter, bool ownsStream, bool ownsConverter)
    : stream(stream, ownsStream), converter(converter, ownsConverter)
{
}

int TextWriter::write(const wchar_t* text)
{
    if (!text)
        Exception::throwInvalidArgument();
    if (!converter)
        return static_cast<int>(stream->write(text, static_cast<DWORD>(lstrlenW(text)) * sizeof(wchar_t)));
    OutputMemoryStream bytes(1024);
    bytes.open();
    converter->encodeText(text, bytes);
    return writeCollected(bytes);
}

int TextWriter::writeBom()
{
    if (!converter)
        return 0;
    OutputMemoryStream bytes(1024);
    bytes.open();
    converter->writeBom(bytes);
    return writeCollected(bytes);
}

void TextWriter::writeLine(const wchar_t* text)
{
    if (!text)
        Exception::throwInvalidArgument();
    write((wstring(text) + L"\r\n").buffer());
}

// The converter's bytes are gathered first, so that the stream gets them in one write.
int TextWriter::writeCollected(const OutputMemoryStream& bytes)
{
    if (!bytes.getBuffer())
        throw Exception(ErrorCode::InvalidState);
    if (!bytes.getLength())
        return 0;
    return static_cast<int>(stream->write(bytes.getBuffer(), static_cast<DWORD>(bytes.getLength())));
}
