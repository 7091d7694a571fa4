#pragma once
#include "foundation/wstringArray.h"

// Layout files (".lay"): the main window's file list saved so that it can be opened again, by the menu, by a
// drop, at start-up or from the shell. The file is an XmlProperties document (root "setting") of two entries:
// "application", the program's name in the entry's value attribute, and "files", the full path of every
// listed picture in list order as the entry's text, each path on a line of its own indented by four spaces.

// Writes the document beside the path and then puts it in the path's place, so a save that fails leaves the
// file that was there as it was; an error of the XML writer, or one of putting the file in place, throws
// Exception.
void writeLayout(const wstring& path, const wstring& applicationName, const wstringArray& files);

// Replaces `files` with the pictures the layout lists, in its order; blank lines and the indentation around
// each path are ignored, and a layout without "files" lists none. A missing file throws ApplicationException
// "E0022" and a layout of another program (the name compared with its letter case) or a damaged one "E0002",
// both with code ErrorCode::LayoutFileMessage.
void readLayout(const wstring& path, const wstring& applicationName, wstringArray& files);

// What every add of the main window goes through; `result` is cleared first. In order, per path: a folder
// gives the readable pictures directly inside it; with expandLayouts a ".lay" file gives the pictures it lists
// (one level: a layout inside it is taken as a plain file); with filterByType a path is kept only when its
// extension (any letter case) is readable, and one without an extension is dropped; otherwise it is kept.
void expandPaths(const wstringArray& paths, bool filterByType, bool expandLayouts, const wstring& applicationName,
                 wstringArray& result);
