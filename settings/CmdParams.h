#pragma once
#include "foundation/Decimal.h"
#include "foundation/wstringArray.h"

class AppSetting;
class TextConverter;

// The batch options of the command-line mode. Options are matched in lower case with "/" or "-" in front;
// their values keep their case. Only the last of "/file", "/dir" and "/fileindirect" counts.
class CmdParams {
public:
    enum InputMode { NoInput = 0, FileInput = 1, FileIndirectInput = 2, DirInput = 3 };

    // The format and encoding lists come from strings IDS_FORMAT_NAMES and IDS_ENCODING_NAMES of the program's
    // resources (settings/settingsStrings.h); a missing string throws with the last error. The log encoding
    // starts as Command/LogEncoding of the settings.
    explicit CmdParams(const AppSetting& setting);
    CmdParams(const CmdParams&) = delete;
    CmdParams& operator=(const CmdParams&) = delete;
    virtual ~CmdParams() = default;

    // True for a complete, valid line. Otherwise every option is cleared again (the log encoding back to the
    // setting's) and the result is false. A "/dpi" value of 0 or less throws Exception 87, one that is no
    // number the error of Decimal::parse; the options are cleared in the same way first.
    bool parse(const wstringArray& arguments, const AppSetting& setting);
    // Without "/le" the log is written in the encoding that Command/LogEncoding of the settings names when the
    // log writer knows it (jis and euc-jp too, which "/le" refuses), in UTF-8 otherwise. A parse takes it from
    // the settings it is given; a run that loads other settings afterwards ("/par") asks again.
    void followStoredLogEncoding(const AppSetting& setting);

    wstring settingsName() const { return parName; }
    Decimal dpiX() const { return horizontalDpi; }
    Decimal dpiY() const { return verticalDpi; }
    wstring logPath() const { return logFile; }
    // The format's position in the valid-format list, which is also its output-format index; the list's
    // count when the format is not there.
    int formatIndex() const;
    // A new converter for the log encoding, owned by the caller; no memory throws Exception 8.
    TextConverter* logConverter() const;

    wstringArray sources;
    wstringArray targets;
    // Upper case after a valid parse: "JPEG", "GIF", "TIFF", "PNG", "BMP", "WDP" or "HDP".
    wstring format;
    bool formatGiven = false;
    bool overwrite = false;
    bool deleteSources = false;
    int inputMode = NoInput;
    bool unicode = false;
    bool logGiven = false;
    // Lower case after a valid parse.
    wstring logEncoding;

private:
    // What the next argument is: an option, or the value that an option waits for.
    enum State {
        ExpectOption,
        ParValue,
        FormatValue,
        FileSource,
        FileTarget,
        DirSource,
        DirTarget,
        FileIndirectValue,
        DpiXValue,
        DpiYValue,
        LogValue,
        LogEncodingValue,
    };

    // False for a word that is no option.
    bool beginOption(const wstring& argument, State& state);
    State takeValue(State state, const wstring& value);
    void startInput(InputMode mode);
    bool isComplete(State state) const;
    void clear(const AppSetting& setting);

    wstring parName;
    wstringArray validFormats;
    wstringArray validEncodings;
    Decimal horizontalDpi{0};
    Decimal verticalDpi{0};
    wstring logFile;
    bool logEncodingGiven = false;
};
