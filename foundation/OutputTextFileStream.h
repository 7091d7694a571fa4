#pragma once
#include "foundation/FileStream.h"
#include "foundation/MaybeOwned.h"
#include "foundation/TextConverter.h"

// A text file that others may read while it is written (created or truncated), in the encoding of its
// converter, or as UTF-16 units without one. Set the converter first, then write the mark once if wanted.
class OutputTextFileStream : public OutputFileStream {
public:
    explicit OutputTextFileStream(const wchar_t* path);
    ~OutputTextFileStream() override;

    // Takes ownership of the converter (null: none); an earlier owned one is deleted.
    void setConverter(TextConverter* newConverter);
    int writeBom();
    // Returns the bytes written.
    int write(const wchar_t* text);
    using OutputFileStream::write;

private:
    MaybeOwned<TextConverter> converter;
};
