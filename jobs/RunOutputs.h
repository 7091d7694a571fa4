#pragma once
#include <string>
#include <unordered_map>
#include <unordered_set>
#include "foundation/wstring.h"
#include "foundation/wstringArray.h"

// What one conversion run has written, and the sources it is to delete at its end. A rename rule may give a
// picture the name of another source of the run, and a source may be read after an earlier picture wrote it:
// by the end such a path holds a picture of this run, so it is never deleted as a source. Paths are compared
// as the file system compares them: names without regard to case, and one file reached through two spellings
// of its folder as that one file.
class RunOutputs {
public:
    void clear();
    // The target holds the source's picture now. With deleteSource the source is to go at the end, unless it
    // is the target's own file.
    void add(const wstring& source, const wstring& target, bool deleteSource);
    // Whether the run wrote a file of that name.
    bool isOutput(const wstring& path) const;
    // Adds the sources to delete to the list, in the order their pictures were written: those that hold no
    // output.
    void sourcesToDelete(wstringArray& deletions) const;

private:
    bool holdsOutput(const wstring& source) const;

    // Lower-case full paths, and each output by its lower-case file name.
    std::unordered_set<std::wstring> outputs;
    std::unordered_multimap<std::wstring, wstring> outputsByName;
    wstringArray sources;
};
