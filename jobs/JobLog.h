#pragma once
#include "foundation/MessageWriter.h"
#include "foundation/wstring.h"

class LogWindow;

// Where a job writes its log lines: the application's log window, while it is a live window (it may be
// hidden). Without one every write is dropped, so a job writes the same way either way. Colours are COLORREF
// values; -1 is the system's text colour. A MessageWriter, so it serves whatever takes a job's log.
class JobLog : public MessageWriter {
public:
    // The application's log window, as lent when the job starts.
    JobLog();
    explicit JobLog(LogWindow* window) : window(window) {}

    bool isPresent() const;
    void write(const wstring& text) override;
    void write(const astring& text) override;
    // The colour of the text written from now on.
    void setColor(int color);
    // The mark in its colour, then the text in the system's colour: "(failure)" or "(skip)" before a path.
    void writeMarked(const wchar_t* mark, int color, const wstring& text);

private:
    LogWindow* window;
};
