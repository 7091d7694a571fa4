#pragma once
#include "foundation/SimpleString.h"
#include "foundation/wstring.h"
#include "foundation/wstringArray.h"

class ProgressDialog;

// One file of frames, one picture after the other: the format's side of the TIFF, GIF and AVI jobs.
class FrameFileWriter {
public:
    virtual ~FrameFileWriter() = default;
    // Reads the picture; a picture that cannot be read throws the job's failure text.
    virtual void load(const wstring& path) = 0;
    // The picture just read becomes the frame (the first opens the file) and is released.
    virtual void write(int index) = 0;
    // After the last picture the file takes the output's name; after a stop it never does, so the output is
    // either complete or as it was before.
    virtual void finish(bool stopped) = 0;
};

// The texts of such a job: in the log its start, end, the label of the input count and of the output name;
// the message of its failure.
struct FrameFileTexts {
    const SimpleString& start;
    const SimpleString& end;
    const SimpleString& count;
    const SimpleString& output;
    const SimpleString& failure;
};

// The pictures in list order through the writer, each after a look at the dialog's Cancel, with the job's log
// lines. Returns 0, or the job's Cancelled or Failed (the error shown over the dialog).
int writeFrameFile(ProgressDialog& dialog, const FrameFileTexts& texts, const wstring& outputFile,
                   const wstringArray& files, FrameFileWriter& writer);
