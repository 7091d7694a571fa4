#include "foundation/OutputTextFileStream.h"
#include "foundation/TextWriter.h"

OutputTextFileStream::OutputTextFileStream(const wchar_t* path) : OutputFileStream(path, 0, 0)
{
}

OutputTextFileStream::~OutputTextFileStream()
{
    setConverter(nullptr);
    close();
}

void OutputTextFileStream::setConverter(TextConverter* newConverter)
{
    converter.reset(newConverter, newConverter != nullptr);
}

int OutputTextFileStream::writeBom()
{
    return TextWriter(this, converter.get(), false, false).writeBom();
}

int OutputTextFileStream::write(const wchar_t* text)
{
    return TextWriter(this, converter.get(), false, false).write(text);
}
