#include "jobs/LogFile.h"
#include "foundation/astring.h"
#include "foundation/wstring.h"

LogFile::LogFile(const wstring& path, std::unique_ptr<TextConverter> converter) : file(path.buffer())
{
    file.setConverter(converter.release());
    file.writeBom();
}

void LogFile::write(const wstring& text)
{
    file.write(text.buffer());
}

void LogFile::write(const astring& text)
{
    write(wstring(text));
}
