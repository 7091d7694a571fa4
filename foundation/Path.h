#pragma once
#include <windows.h>
#include "foundation/wstring.h"

// A full file path split into its directory (always ending in a backslash) and its last component, which is
// empty for a directory given with a trailing backslash. The text is normalised by the system's full-path
// function: relative text is resolved against the current directory, "." and ".." steps disappear.
// Failures throw Exception with the system's error.
class Path {
public:
    // The empty path: no directory, no file name, never exists.
    Path() = default;
    // Empty text throws Exception 87.
    Path(const wstring& text);
    Path(const wchar_t* text) : Path(wstring(text)) {}
    Path(const Path& other) = default;
    Path& operator=(const Path& other) = default;
    virtual ~Path() = default;

    wstring getPath() const { return directory + fileName; }
    wstring getDirectory() const { return directory; }
    wstring getFileName() const { return fileName; }
    // The file name before its last "."; the whole name when it has none.
    wstring getBaseName() const;
    // From the last "." of the file name on (after it when withoutDot); empty when the name has none.
    wstring getExtension(bool withoutDot = false) const;

    bool exists() const;
    bool isRoot() const;
    Path getParent() const;
    wstring getRoot() const;
    // At most 48 visible characters, shortened with the shell's ellipsis.
    wstring getCompactPath() const;
    // The first of this path, then name<separator>1.ext, name<separator>2.ext ... that does not exist; a
    // directory path numbers the directory itself (out_1\, out_2\ ...).
    Path makeUnique(const wchar_t* separator) const;

    // Makes this the path of the running program.
    void getModulePath();
    // A folder of CSIDL_* as a directory path with an empty file name; a failure throws its HRESULT.
    static Path getSpecialFolder(int csidl);

private:
    Path(const wstring& directory, const wstring& fileName) : directory(directory), fileName(fileName) {}
    int lastDot() const;

    wstring directory;
    wstring fileName;
};

// The folder with a backslash appended when it lacks one, as a prefix of the paths inside it.
wstring withBackslash(const wstring& folder);
// The directory with a backslash appended when it lacks one, then the name, normalised.
wstring combinePath(const wstring& directory, const wstring& name);
// A relative path joined to the base directory, an absolute one taken as it is; either way normalised. An
// empty path or base throws Exception 87.
wstring resolveRelativePath(const wstring& path, const wstring& base);
