#pragma once
#include <new>
#include "foundation/Exception.h"
#include "foundation/SimpleString.h"
#include "foundation/wstring.h"
#include "jobs/JobLog.h"

class ProgressDialog;

// The frame that the jobs making sheets, tiles and picture files share in the log, and how an error ends them.
// Every line goes to the application's log window and is dropped while there is none.
class JobReport {
public:
    explicit JobReport(ProgressDialog& dialog) : dialog(dialog) {}

    // The start line with the date and time, then an empty line.
    void start(const SimpleString& text);
    // The label and the number on a line.
    void count(const SimpleString& label, int value);
    // "source -> target"; the target is left empty where the job makes no file of its own per picture.
    void done(const wstring& source, const wstring& target = wstring());
    // After a stop the note that the user stopped; then the end line with the date and time and the label with
    // the value (the output, or a count), each followed by an empty line.
    void end(bool stopped, const SimpleString& endText, const SimpleString& label, const wstring& value);
    // The error that ended the job: its line with the date and time, then its message over the progress dialog.
    // Returns the job's result, Failed.
    int fail(const Exception& exception);
    // Runs the job's body: its result, or fail's after an Exception or memory that ran out (error 8) anywhere
    // in it.
    template <typename Body>
    int runReportingErrors(Body body)
    {
        try {
            return body();
        } catch (const Exception& exception) {
            return fail(exception);
        } catch (const std::bad_alloc&) {
            return fail(Exception(ErrorCode::NoMemory));
        }
    }

    JobLog log;

private:
    ProgressDialog& dialog;
};

// The job's own failure text as the error that ends it.
[[noreturn]] void throwJobFailure(const SimpleString& text);
// The same, followed by the file and the system's reason when the failure was the file's (fileError other than
// ERROR_SUCCESS); memory that ran out is no fault of the file's, and ends the job as such.
[[noreturn]] void throwJobFailure(const SimpleString& text, DWORD fileError, const wstring& path);

// Runs the step; the user learns that the job failed (its text), not which inner call refused.
template <typename Step>
auto withFailureText(const SimpleString& text, Step step) -> decltype(step())
{
    try {
        return step();
    } catch (const Exception&) {
        throwJobFailure(text);
    }
}

// The output path or, when the job was stopped and wrote none, "-".
wstring outputOrNone(bool stopped, const wstring& path);

// The number in decimal.
wstring decimal(int value);

// An existing output is replaced only once the new file is complete. Whether it can be replaced at all is asked
// before the work starts, so that a file the user may not replace ends the job at once with the system's
// reason. Throws Exception with the system's error; a file that does not exist passes.
void checkReplaceable(const wstring& path);
// The same, but an output that cannot be reached at all, as in a folder that does not exist, ends the job with
// its failure text, the file and the system's reason.
void checkReplaceable(const wstring& path, const SimpleString& failureText);
