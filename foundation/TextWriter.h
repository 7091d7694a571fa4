#pragma once
#include "foundation/MaybeOwned.h"
#include "foundation/OutputStream.h"
#include "foundation/TextConverter.h"

class OutputMemoryStream;

// Writes UTF-16 text to a stream, unchanged or encoded by a text converter.
class TextWriter {
public:
    // Either pointer may be owned; the converter may be null (text goes out as UTF-16 units).
    TextWriter(OutputStream* stream, TextConverter* converter, bool ownsStream, bool ownsConverter);
    TextWriter(const TextWriter&) = delete;
    TextWriter& operator=(const TextWriter&) = delete;
    virtual ~TextWriter() = default;

    // Returns the bytes written; null text throws Exception 87.
    int write(const wchar_t* text);
    // The converter's byte-order mark; nothing without a converter. Returns the bytes written.
    int writeBom();
    void newLine() { write(L"\r\n"); }
    void writeLine(const wchar_t* text);

private:
    int writeCollected(const OutputMemoryStream& bytes);

    MaybeOwned<OutputStream> stream;
    MaybeOwned<TextConverter> converter;
};
