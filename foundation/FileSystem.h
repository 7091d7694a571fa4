#pragma once
#include <windows.h>
#include "foundation/wstring.h"

class wstringArray;

// File-system functions on path texts. Failures throw Exception with the system's last error.

// True when the path exists and is a directory; never throws.
bool isDirectory(const wstring& path);
// True when both names lead to the same file or directory (same volume and file index).
bool isSameFile(const wstring& a, const wstring& b);
// True when the two names may lead to one file: the same full path without regard to case; for two files that
// exist, the same file under any spelling (a short name, a link, another spelling of its folder); for two that do
// not, the same name in the same folder. A question that cannot be answered counts as one file.
bool mayBeSameFile(const wstring& a, const wstring& b);
void createDirectory(const wstring& path);
// Creates the directory and every missing parent; an existing directory is left as it is, a file in its place
// throws Exception ERROR_ALREADY_EXISTS. Each directory made is added to `made`, outermost first, also when a
// later one fails.
void createDirectoryTree(const wstring& path, wstringArray* made = nullptr);
// Fails when the target exists.
void moveFile(const wstring& from, const wstring& to);
