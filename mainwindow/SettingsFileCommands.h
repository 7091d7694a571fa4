#pragma once
#include "foundation/ISetting.h"
#include "foundation/wstring.h"
#include "mainwindow/MainWindowServices.h"
#include "toolkit/FileDialog.h"

// The main window's commands on settings files: save the settings to the program's settings file or to a
// file the user picks, and load the conversion settings from a file the user picks. The two dialogs hand
// each other the last name. The settings file is written only while the program's named mutex is held.
//
// Both throw Exception 1400 when the owner given to prepare is no window (before it, or once it is gone).
class SettingsFileCommands {
public:
    explicit SettingsFileCommands(const MainWindowServices& services);
    SettingsFileCommands(const SettingsFileCommands&) = delete;
    SettingsFileCommands& operator=(const SettingsFileCommands&) = delete;

    // The dialogs are owned by `owner`.
    void prepare(HWND owner);

    // To the settings file, or to a file the user picks (toFile); false when the user cancelled, or would not
    // have a settings file that this run could not open replaced. A value that the file cannot hold throws
    // ApplicationException naming its key, and the file stays as it was.
    bool save(bool toFile);
    // A file that cannot be read, or holds no settings, throws Exception with the reason and changes nothing; one
    // with a value that the settings file could not hold throws ApplicationException naming its key.
    void load();

private:
    bool askToReplace(const wstring& file) const;
    [[noreturn]] void throwRefusal(UINT text, const UnstorableSettingValue& refused) const;

    MainWindowServices services;
    HWND owner = nullptr;
    FileDialog opening;
    FileDialog saving;
};
