#pragma once
#include <windows.h>
#include "foundation/wstring.h"
#include "foundation/wstringArray.h"
#include "imaging/Dib.h"

// Reads pictures through the user's Susie plug-in DLLs. Every question loads the DLL, calls its exports and
// frees it again, so no plug-in stays resident. A plug-in whose DLL cannot be loaded, or that lacks an export
// the question needs, contributes nothing. An index outside the list throws Exception 87; the out lists are
// cleared first. No locks: each call works on its own instance of the DLL.
class SusiePlugin {
public:
    SusiePlugin() = default;
    SusiePlugin(const SusiePlugin&) = delete;
    SusiePlugin& operator=(const SusiePlugin&) = delete;
    virtual ~SusiePlugin() = default;

    wstring path(int index) const;
    // The plug-in's own description; empty when it gives none.
    wstring description(int index) const;
    // File-dialog entries "name tag (pattern)|pattern" of a picture-reading plug-in; without a tag the name is
    // followed directly by " (".
    void filters(int index, const wstring& tag, wstringArray& entries) const;
    void allFilters(const wstring& tag, wstringArray& entries) const;
    // The wildcard patterns of the file names a picture-reading plug-in reads.
    void patterns(int index, wstringArray& result) const;
    void allPatterns(wstringArray& result) const;
    // The Dib receives the picture of the first plug-in in list order that reads the file; the result is that
    // plug-in's index, or -1 (the Dib then empty). Throws Exception 8 when the file head cannot be buffered and
    // with the system's error when reading it fails.
    int load(const wchar_t* picturePath, Dib& dib) const;

    // The DLL paths, in the order in which the plug-ins are asked; callers fill it.
    wstringArray paths;

private:
    // The patterns and names of a picture-reading plug-in, handed to the visitor as (pattern, name) pairs.
    template <typename Visitor>
    void forEachFormat(int index, Visitor visit) const;
};
