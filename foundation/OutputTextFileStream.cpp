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
    if (ownsConverter && newConverter != converter)
        delete converter;
    converter = newConverter;
    ownsConverter = newConverter != nullptr;
}

int OutputTextFileStream::writeBom()
{
    return TextWriter(this, converter, false, false).writeBom();
}

int OutputTextFileStream::write(const wchar_t* text)
{
    return TextWriter(this, converter, false, false).write(text);
}
