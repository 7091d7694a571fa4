#include "jobs/PathRenamer.h"
#include "foundation/Exception.h"
#include "foundation/FindFiles.h"
#include "foundation/Path.h"

namespace {

const wchar_t keywordList[] = L"$path/$shortpath/$name/$drive/$dir/$fname/$ext/$size/$kbsize/$date/$year/$month/"
                              L"$day/$time/$hour/$minute/$second/$index/$nowdate/$nowyear/$nowmonth/$nowday/"
                              L"$nowtime/$nowhour/$nowminute/$nowsecond";

// Patterns of the seven macros from $year (or $nowyear) on; $time and $nowtime have no part of their own.
const wchar_t* const datePartPatterns[] = {L"yyyy", L"MM", L"dd", nullptr, L"HH", L"mm", L"ss"};
constexpr int DatePartCount = sizeof(datePartPatterns) / sizeof(datePartPatterns[0]);

} // namespace

PathRenamer::PathRenamer()
{
    keywords.split(keywordList, L"/", false);
    templateText = keywords.at(MacroPath);
    enableAll(true);
}

DateTime PathRenamer::updateTime(const wstring& path)
{
    FindFiles found;
    if (!found.findFirst(path.buffer()))
        Exception::throwLastError();
    SYSTEMTIME local;
    if (!found.getLocalTime(FindFiles::LastWrite, local))
        Exception::throwLastError();
    return DateTime(local);
}

void PathRenamer::setEnabled(int macro, bool on)
{
    if (macro < 0 || macro >= MacroCount)
        Exception::throwInvalidArgument();
    enabled[macro] = on;
}

void PathRenamer::enableAll(bool on)
{
    for (bool& flag : enabled)
        flag = on;
}

bool PathRenamer::isPresent(const wstring& text, int macro) const
{
    return enabled[macro] && text.find(keywords.at(macro).buffer()) >= 0;
}

bool PathRenamer::isAnyDatePartPresent(const wstring& text, int year) const
{
    for (int part = 0; part < DatePartCount; ++part) {
        if (datePartPatterns[part] && isPresent(text, year + part))
            return true;
    }
    return false;
}

void PathRenamer::replaceMacro(wstring& text, int macro, const wstring& value) const
{
    if (isPresent(text, macro))
        text = text.replace(keywords.at(macro).buffer(), value.buffer());
}

void PathRenamer::replaceDateParts(wstring& text, int year, const DateTime& moment) const
{
    for (int part = 0; part < DatePartCount; ++part) {
        if (datePartPatterns[part])
            replaceMacro(text, year + part, moment.format(datePartPatterns[part]));
    }
}

wstring PathRenamer::expand(const wstring& outputName, const wstring& sourcePath)
{
    wstring result = templateText;
    Path output(outputName);
    replaceMacro(result, MacroName, output.getFileName());
    replaceMacro(result, MacroFName, output.getBaseName());
    replaceMacro(result, MacroExt, output.getExtension(true));

    if (isAnyDatePartPresent(result, MacroYear))
        replaceDateParts(result, MacroYear, updateTime(sourcePath));

    if (isPresent(result, MacroIndex)) {
        wstring number;
        number.setInt(counter);
        replaceMacro(result, MacroIndex, number.padLeft(indexDigits));
    }
    counter += increment;

    if (isAnyDatePartPresent(result, MacroNowYear))
        replaceDateParts(result, MacroNowYear, DateTime());
    return result;
}
