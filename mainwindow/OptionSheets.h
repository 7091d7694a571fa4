#pragma once
#include <windows.h>
#include <functional>
#include "foundation/wstring.h"

class PictureProperties;

// The option sheets and dialogs that the main window's settings commands open. They belong to the option
// pages, a part of the program above the main window, so the program's entry point hands them over at
// start-up; a command whose window is not handed over tells the user that it is not available. Each shows
// its window modally over the owner and returns when the user has closed it. The two conversion sheets post
// the owner SummaryTipMessage (mainWindowMessages.h) themselves once they have closed, however they closed.
struct OptionSheets {
    std::function<void(HWND owner)> environment;
    // samplePath: the first picture of the list, which the pages preview (empty when the list is empty).
    std::function<void(HWND owner, const wstring& samplePath)> conversion;
    // The conversion sheet without Apply before converting, with the page of the output format (0-6) last;
    // true when the user confirmed the settings.
    std::function<bool(HWND owner, const wstring& samplePath, int format)> confirmConversion;
    // The format sheet, opened on the page of the pane's output format (0-6).
    std::function<void(HWND owner, int outputFormat)> format;
    std::function<void(HWND owner)> rename;
    std::function<void(HWND owner)> viewers;
    std::function<void(HWND owner)> plugins;
    std::function<void(HWND owner)> version;
    // The picture's properties; the sheet sets the record's changed flag when it renamed the file or changed
    // its times.
    std::function<void(HWND owner, PictureProperties& picture)> pictureProperties;
};

// Replaces the sheets of the run; called before the main window opens.
void setOptionSheets(const OptionSheets& sheets);
const OptionSheets& getOptionSheets();
