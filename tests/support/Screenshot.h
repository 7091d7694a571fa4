#pragma once
// Pictures of windows for people to look at after a test run: PNG files in a "screenshots" folder beside
// the running test program's working folder (the build folder), never in the sources.
#include <windows.h>
#include <string>

// Draws the window and its children as they look now (the window's own painting, so other windows lying
// over it do not show) and writes screenshots/<name>.png. Returns the path written; empty when the window
// could not be drawn or the file not written.
std::wstring saveWindowScreenshot(HWND window, const std::wstring& name);
// The whole screen, once this program's windows have painted, into screenshots/<name>.png.
std::wstring saveScreenScreenshot(const std::wstring& name);
// The whole screen as it shows now, without asking any window to paint first: what is stale stays so.
std::wstring saveScreenAsShown(const std::wstring& name);
