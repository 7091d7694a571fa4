#include "settings/CmdParams.h"
#include "settings/AppSetting.h"
#include "settings/ProgramResources.h"
#include "settings/TextEncoding.h"
#include "settings/settingsStrings.h"

namespace {

// Exact position in the list; the count when absent.
int positionOf(const wstringArray& list, const wstring& text)
{
    int n = list.count();
    for (int i = 0; i < n; ++i) {
        if (list.at(i).equals(text))
            return i;
    }
    return n;
}

// Digits with at most one "." among them. The platform's number reading would also take grouping commas, signs,
// currency and exponents, and read "1,5" as 15.
bool isPlainDecimal(const wstring& text)
{
    int digits = 0;
    int points = 0;
    for (const wchar_t* unit = text.buffer(); *unit; ++unit) {
        if (*unit >= L'0' && *unit <= L'9')
            ++digits;
        else if (*unit != L'.' || ++points > 1)
            return false;
    }
    return digits > 0;
}

// A resolution of zero or less cannot be written into a picture, so it fails the run instead of being ignored,
// and so does any text that is not a plain decimal number.
Decimal positiveDecimal(const wstring& text)
{
    if (!isPlainDecimal(text.trim()))
        Exception::throwInvalidArgument();
    Decimal value(0);
    value.parse(text);
    if (value.compare(Decimal(0)) != VARCMP_GT)
        Exception::throwInvalidArgument();
    return value;
}

} // namespace

CmdParams::CmdParams(const AppSetting& setting) : format(L"JPEG"), logEncoding(setting.commandLogEncoding)
{
    HMODULE module = programResourceModule();
    validFormats.splitResourceString(module, IDS_FORMAT_NAMES, L"/");
    validEncodings.splitResourceString(module, IDS_ENCODING_NAMES, L"/");
}

bool CmdParams::parse(const wstringArray& arguments, const AppSetting& setting)
{
    logEncodingGiven = false;
    State state = ExpectOption;
    bool unknownWord = false;
    try {
        for (int i = 0; i < arguments.count() && !unknownWord; ++i) {
            const wstring& argument = arguments.at(i);
            if (state != ExpectOption)
                state = takeValue(state, argument);
            else
                unknownWord = !beginOption(argument.toLower(), state);
        }
    } catch (const Exception&) {
        // A caller that goes on after the error must not see half a line.
        clear(setting);
        throw;
    }
    format = format.toUpper();
    logEncoding = logEncoding.toLower();
    followStoredLogEncoding(setting);
    if (!unknownWord && isComplete(state))
        return true;
    clear(setting);
    return false;
}

bool CmdParams::beginOption(const wstring& argument, State& state)
{
    if (!argument.startsWith(L"/") && !argument.startsWith(L"-"))
        return false;
    wstring name = argument.mid(1);
    if (name.equals(L"par")) {
        parName = L"";
        state = ParValue;
    } else if (name.equals(L"format")) {
        format = L"JPEG";
        formatGiven = false;
        state = FormatValue;
    } else if (name.equals(L"overwrite")) {
        overwrite = true;
    } else if (name.equals(L"delsrc")) {
        deleteSources = true;
    } else if (name.equals(L"file")) {
        startInput(FileInput);
        state = FileSource;
    } else if (name.equals(L"dir")) {
        startInput(DirInput);
        state = DirSource;
    } else if (name.equals(L"fileindirect")) {
        startInput(FileIndirectInput);
        state = FileIndirectValue;
    } else if (name.equals(L"dpi")) {
        horizontalDpi = Decimal(0);
        verticalDpi = Decimal(0);
        state = DpiXValue;
    } else if (name.equals(L"u")) {
        unicode = true;
    } else if (name.equals(L"log")) {
        logFile = L"";
        logGiven = false;
        state = LogValue;
    } else if (name.equals(L"le")) {
        state = LogEncodingValue;
    } else {
        return false;
    }
    return true;
}

CmdParams::State CmdParams::takeValue(State state, const wstring& value)
{
    switch (state) {
    case ParValue:
        parName = value;
        break;
    case FormatValue:
        format = value;
        formatGiven = true;
        break;
    case FileSource:
    case DirSource:
        if (!value.isEmpty())
            sources.add(value);
        return state == FileSource ? FileTarget : DirTarget;
    case FileTarget:
    case DirTarget:
        if (!value.isEmpty())
            targets.add(value);
        break;
    case FileIndirectValue:
        if (!value.isEmpty()) {
            sources.add(value);
            targets.add(value);
        }
        break;
    case DpiXValue:
        horizontalDpi = positiveDecimal(value);
        return DpiYValue;
    case DpiYValue:
        verticalDpi = positiveDecimal(value);
        break;
    case LogValue:
        logFile = value;
        logGiven = true;
        break;
    case LogEncodingValue:
        logEncoding = value;
        logEncodingGiven = true;
        break;
    case ExpectOption:
        break;
    }
    return ExpectOption;
}

void CmdParams::startInput(InputMode mode)
{
    sources.removeAll();
    targets.removeAll();
    inputMode = mode;
}

bool CmdParams::isComplete(State state) const
{
    return state == ExpectOption && sources.count() > 0 && targets.count() > 0 &&
           validFormats.contains(format, false) && (!logEncodingGiven || validEncodings.contains(logEncoding, false));
}

void CmdParams::followStoredLogEncoding(const AppSetting& setting)
{
    if (logEncodingGiven)
        return;
    wstring stored = setting.commandLogEncoding.toLower();
    logEncoding = isKnownEncoding(stored) ? stored : wstring(L"utf-8");
}

void CmdParams::clear(const AppSetting& setting)
{
    logFile = L"";
    format = L"";
    parName = L"";
    sources.removeAll();
    targets.removeAll();
    inputMode = NoInput;
    unicode = false;
    logGiven = false;
    overwrite = false;
    deleteSources = false;
    formatGiven = false;
    logEncoding = setting.commandLogEncoding;
    logEncodingGiven = false;
}

int CmdParams::formatIndex() const
{
    return positionOf(validFormats, format);
}

TextConverter* CmdParams::logConverter() const
{
    return createTextConverter(logEncoding);
}
