#include "jobs/RenameUtil.h"
#include <cwchar>
#include "foundation/DateTime.h"
#include "foundation/Exception.h"
#include "foundation/FileSystem.h"
#include "imaging/IShotDateReader.h"
#include "settings/AppSetting.h"

namespace {

const wchar_t shotDateTokenList[] = L"$orgyear/$orgmonth/$orgday/$orghour/$orgminute/$orgsecond";
// Per shot-date token: its part of the shooting date, and the macro of the update time that stands in for it.
const wchar_t* const shotDatePatterns[] = {L"yyyy", L"MM", L"dd", L"HH", L"mm", L"ss"};
const wchar_t* const shotDateFallbacks[] = {L"$year", L"$month", L"$day", L"$hour", L"$minute", L"$second"};

const int renameMacros[] = {
    PathRenamer::MacroName,    PathRenamer::MacroFName,    PathRenamer::MacroExt,       PathRenamer::MacroYear,
    PathRenamer::MacroMonth,   PathRenamer::MacroDay,      PathRenamer::MacroHour,      PathRenamer::MacroMinute,
    PathRenamer::MacroSecond,  PathRenamer::MacroIndex,    PathRenamer::MacroNowYear,   PathRenamer::MacroNowMonth,
    PathRenamer::MacroNowDay,  PathRenamer::MacroNowHour,  PathRenamer::MacroNowMinute, PathRenamer::MacroNowSecond,
};

bool isFolderSeparator(wchar_t c)
{
    return c == L'\\' || c == L'/';
}

// Names that open a device instead of a file, with any extension, in any folder ("con.png", "aux.txt").
bool isDeviceName(const wchar_t* start, const wchar_t* end)
{
    static const wchar_t* const devices[] = {L"CON",  L"PRN",  L"AUX",  L"NUL",  L"COM1",   L"COM2",
                                             L"COM3", L"COM4", L"COM5", L"COM6", L"COM7",   L"COM8",
                                             L"COM9", L"LPT1", L"LPT2", L"LPT3", L"LPT4",   L"LPT5",
                                             L"LPT6", L"LPT7", L"LPT8", L"LPT9", L"CONIN$", L"CONOUT$"};
    const wchar_t* stem = start;
    while (stem < end && *stem != L'.')
        ++stem;
    while (stem > start && stem[-1] == L' ')
        --stem;
    size_t length = static_cast<size_t>(stem - start);
    for (const wchar_t* device : devices) {
        if (wcslen(device) == length && _wcsnicmp(start, device, length) == 0)
            return true;
    }
    return false;
}

// A rule may lead into sub-folders with "\" or "/", but a character that the file system refuses would make
// the save fail (and ":" would write into a hidden stream of another file), a device name would write to the
// device, and a name that ends in a separator or holds only dots and blanks names no file at all.
bool isUsableFileName(const wstring& name)
{
    const wchar_t* text = name.buffer();
    int nameStart = 0;
    for (int i = 0;; ++i) {
        if (!text[i] || isFolderSeparator(text[i])) {
            if (isDeviceName(text + nameStart, text + i))
                return false;
            if (!text[i])
                break;
            nameStart = i + 1;
            continue;
        }
        if (text[i] < 32 || wcschr(L"<>:\"|?*", text[i]))
            return false;
    }
    for (int i = nameStart; text[i]; ++i) {
        if (text[i] != L'.' && text[i] != L' ')
            return true;
    }
    return false;
}

} // namespace

RenameUtil::RenameUtil(const AppSetting& setting, IShotDateReader* shotDates) : setting(setting), shotDates(shotDates)
{
    if (setting.renameIndexBase < 0 || setting.renameIndexIncrement <= 0 || setting.renameIndexPadding < 0)
        Exception::throwInvalidArgument();
    shotDateTokens.split(shotDateTokenList, L"/", false);
    renamer.setCounter(setting.renameIndexBase);
    renamer.setIncrement(setting.renameIndexIncrement);
    renamer.setIndexDigits(setting.renameIndexPadding);
    renamer.enableAll(false);
    for (int macro : renameMacros)
        renamer.setEnabled(macro, true);
}

wstring RenameUtil::rename(const wstring& outputName, const wstring& sourcePath)
{
    // Only a rule in use reads the picture's metadata: a rule that is switched off must not fail the run on
    // a picture whose metadata cannot be read.
    if (!setting.renameEnable || setting.renameDefinition.isEmpty())
        return outputName;
    renamer.setTemplate(expandShotDate(setting.renameDefinition, sourcePath));
    wstring name = renamer.expand(outputName, sourcePath);
    if (!isUsableFileName(name))
        return wstring();
    return Path(outputName).getDirectory() + name;
}

wstring RenameUtil::expandShotDate(const wstring& rule, const wstring& sourcePath) const
{
    bool hasToken = false;
    for (int i = 0; i < shotDateTokens.count() && !hasToken; ++i)
        hasToken = rule.find(shotDateTokens.at(i).buffer()) >= 0;
    if (!hasToken)
        return rule;
    DateTime taken;
    bool available = shotDates && shotDates->readDateTaken(sourcePath, taken);
    wstring result = rule;
    for (int i = 0; i < shotDateTokens.count(); ++i) {
        wstring value = available ? taken.format(shotDatePatterns[i]) : wstring(shotDateFallbacks[i]);
        result = result.replace(shotDateTokens.at(i).buffer(), value.buffer());
    }
    return result;
}

wstring RenameUtil::subFolderName(const wstring& sourcePath, const Path& outputName) const
{
    switch (static_cast<FolderSortMode>(setting.filterType)) {
    case FolderSortMode::SourceFolder: {
        Path source(sourcePath);
        return source.isRoot() ? wstring() : source.getParent().getFileName();
    }
    case FolderSortMode::Year:
        return PathRenamer::updateTime(sourcePath).format(L"yyyy");
    case FolderSortMode::YearMonth:
        return PathRenamer::updateTime(sourcePath).format(L"yyyyMM");
    case FolderSortMode::YearMonthDay:
        return PathRenamer::updateTime(sourcePath).format(L"yyyyMMdd");
    case FolderSortMode::OutputName:
        return outputName.getBaseName().left(setting.filterNameLength).trimRight();
    }
    return wstring();
}

wstring RenameUtil::sortIntoFolder(const wstring& sourcePath, const Path& outputName) const
{
    Path output(sortedName(sourcePath, outputName));
    createDirectoryTree(output.getDirectory());
    return output.getPath();
}

wstring RenameUtil::sortedName(const wstring& sourcePath, const Path& outputName) const
{
    if (!setting.filterEnable)
        return outputName.getPath();
    wstring folder = subFolderName(sourcePath, outputName);
    if (folder.isEmpty())
        return outputName.getPath();
    // The start of a name such as "console.png" may be one that no folder can have.
    if (!isUsableFileName(folder))
        return wstring();
    return outputName.getDirectory() + folder + L"\\" + outputName.getFileName();
}
