#pragma once
#include "foundation/Path.h"
#include "foundation/wstring.h"
#include "foundation/wstringArray.h"
#include "jobs/PathRenamer.h"

class AppSetting;
class IShotDateReader;

// Filter/Type: how outputs are sorted into sub-folders of their folder.
enum class FolderSortMode {
    SourceFolder,  // the name of the source's folder
    Year,          // the source's update time, "yyyy"
    YearMonth,     // "yyyyMM"
    YearMonthDay,  // "yyyyMMdd"
    OutputName,    // the first Filter/NameLength characters of the output's name without its extension
};

// Applies the rename rule (section Rename) and the sorting into sub-folders (section Filter) to the output
// names of one run, whose outputs its counter numbers. The rule may also use the shooting date of the source:
// "$orgyear", "$orgmonth", "$orgday", "$orghour", "$orgminute", "$orgsecond", which fall back to the
// source's update time when the picture does not tell.
class RenameUtil {
public:
    // The settings are read at every call and must outlive the instance; shotDates may be null (no shooting
    // dates: the update time is used). Counter settings out of range throw Exception 87.
    RenameUtil(const AppSetting& setting, IShotDateReader* shotDates);
    RenameUtil(const RenameUtil&) = delete;
    RenameUtil& operator=(const RenameUtil&) = delete;
    virtual ~RenameUtil() = default;

    // The output name under the rule, in the output's folder; unchanged when renaming is off or the rule is
    // empty. Empty when the rule yields no usable file name for this picture (a character that a file name
    // cannot hold, or nothing but dots and blanks): that picture cannot be written, the others may.
    wstring rename(const wstring& outputName, const wstring& sourcePath);
    // The output name moved into its sub-folder when sorting is on; the output's folder is created either way.
    wstring sortIntoFolder(const wstring& sourcePath, const Path& outputName) const;
    // The same name without making its folder; empty when the sub-folder would have a name no folder can have
    // (a device name): that picture cannot be written.
    wstring sortedName(const wstring& sourcePath, const Path& outputName) const;

private:
    wstring expandShotDate(const wstring& rule, const wstring& sourcePath) const;
    wstring subFolderName(const wstring& sourcePath, const Path& outputName) const;

    const AppSetting& setting;
    IShotDateReader* shotDates;
    PathRenamer renamer;
    wstringArray shotDateTokens;
};
