#pragma once
#include <memory>
#include "foundation/MessageWriter.h"
#include "foundation/OutputTextFileStream.h"

class TextConverter;

// The "/log" file of the command-line mode: the encoding's byte-order mark, then the log text in that
// encoding. Others may read the file while the batch runs.
class LogFile : public MessageWriter {
public:
    // Creates the file anew (a missing folder is not made) and writes the mark. A file that cannot be created
    // throws Exception with the system's error.
    LogFile(const wstring& path, std::unique_ptr<TextConverter> converter);

    void write(const wstring& text) override;
    // 8-bit text in the ANSI code page, written in the log's encoding like any other text.
    void write(const astring& text) override;

private:
    OutputTextFileStream file;
};
