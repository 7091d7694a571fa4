#pragma once

class Application;
class AppSetting;
class wstringArray;

// The command-line batch mode: converts the pictures that the options name, without a window, and returns the
// exit code of the process: 0 when every picture was written, 1 for anything else (options that are invalid
// or incomplete, a settings file or folder that is missing, a picture that failed, an error). "/par" and
// "/format" change the settings record in memory only; nothing is saved. With "/u" the outcome is shown in a
// message box once the options are known to be valid.
int runCommandLineMode(Application& application, AppSetting& setting, const wstringArray& arguments);
