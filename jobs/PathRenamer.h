#pragma once
#include "foundation/DateTime.h"
#include "foundation/wstring.h"
#include "foundation/wstringArray.h"

// Turns a file-name template such as "image$index.$ext" into the file name of one output. Macros are replaced
// by parts of the output's name, date parts of the source's update time or of the current time, and a running
// counter. A macro whose flag is off stays in the name as it is written.
class PathRenamer {
public:
    // Indices of the macros in `keywords`.
    enum Macro {
        MacroPath,
        MacroShortPath,
        MacroName,
        MacroDrive,
        MacroDir,
        MacroFName,
        MacroExt,
        MacroSize,
        MacroKbSize,
        MacroDate,
        MacroYear,
        MacroMonth,
        MacroDay,
        MacroTime,
        MacroHour,
        MacroMinute,
        MacroSecond,
        MacroIndex,
        MacroNowDate,
        MacroNowYear,
        MacroNowMonth,
        MacroNowDay,
        MacroNowTime,
        MacroNowHour,
        MacroNowMinute,
        MacroNowSecond,
        MacroCount
    };

    PathRenamer();
    PathRenamer(const PathRenamer&) = delete;
    PathRenamer& operator=(const PathRenamer&) = delete;
    virtual ~PathRenamer() = default;

    // The template expanded for the output (a full path; only its file name counts). Every call advances the
    // counter by the increment, whether or not the template holds "$index". A source-date macro on a source
    // that cannot be found throws Exception with the system's error.
    wstring expand(const wstring& outputName, const wstring& sourcePath);

    void setTemplate(const wstring& text) { templateText = text; }
    void setCounter(int value) { counter = value; }
    void setIncrement(int value) { increment = value; }
    void setIndexDigits(int value) { indexDigits = value; }
    int getCounter() const { return counter; }
    // A macro index outside 0 to MacroCount - 1 throws Exception 87.
    void setEnabled(int macro, bool on);
    void enableAll(bool on);

    // The last-write time of the file at the path, in local time: the "update time" of the date macros. A
    // file that cannot be found throws Exception with the system's error.
    static DateTime updateTime(const wstring& path);

private:
    // Whether the macro is enabled and occurs in the text.
    bool isPresent(const wstring& text, int macro) const;
    // The same for the date-part macros that start at `year` ($year ... or $nowyear ...).
    bool isAnyDatePartPresent(const wstring& text, int year) const;
    void replaceDateParts(wstring& text, int year, const DateTime& moment) const;
    void replaceMacro(wstring& text, int macro, const wstring& value) const;

    wstringArray keywords;
    wstring templateText;
    int counter = 0;
    int increment = 1;
    int indexDigits = 0;
    bool enabled[MacroCount];
};
