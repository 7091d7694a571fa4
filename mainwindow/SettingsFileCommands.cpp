#include "mainwindow/SettingsFileCommands.h"
#include "foundation/Application.h"
#include "foundation/ISetting.h"
#include "foundation/Mutex.h"
#include "jobs/LogMessages.h"
#include "mainwindow/commandDialogs.h"
#include "mainwindow/mainWindowStrings.h"
#include "settings/AppSetting.h"
#include "settings/Messages.h"

SettingsFileCommands::SettingsFileCommands(const MainWindowServices& services)
    : services(services), opening(nullptr, OpenDialogFlags), saving(nullptr, SaveDialogFlags)
{
}

void SettingsFileCommands::prepare(HWND window)
{
    owner = window;
    wstring filter = services.program.loadString(IDS_SETTINGS_FILTER);
    prepareFileDialog(saving, owner, filter, L"xml");
    prepareFileDialog(opening, owner, filter);
}

bool SettingsFileCommands::save(bool toFile)
{
    requireOwner(owner);
    wstring path;
    if (toFile) {
        path = askSaveName(saving);
        if (path.isEmpty())
            return false;
        opening.setFileName(path.buffer());
    }
    Application& program = services.program;
    AppSetting& setting = services.setting;
    AppSetting::UnopenedFile unopened = AppSetting::UnopenedFile::Keep;
    if (!toFile && setting.getUnopenedFileError() != ERROR_SUCCESS) {
        // The file this run could not open still holds the user's own settings.
        if (!askToReplace(setting.getPath()))
            return false;
        unopened = AppSetting::UnopenedFile::Replace;
    }
    MutexLock hold(program.getNamedMutex());
    try {
        setting.save(program.getName(), toFile ? path.buffer() : nullptr, unopened);
    } catch (const UnstorableSettingValue& refused) {
        throwRefusal(IDS_UNSTORABLE_VALUE, refused);
    }
    return true;
}

void SettingsFileCommands::throwRefusal(UINT text, const UnstorableSettingValue& refused) const
{
    wstring key = L"[" + refused.getSection() + L"] " + refused.getKey();
    throw ApplicationException(services.program.loadString(text).replace(L"%s", key.buffer()).buffer());
}

bool SettingsFileCommands::askToReplace(const wstring& file) const
{
    return services.program.messageBox(owner, fillIn(Messages::W0002, file).buffer(), MB_YESNO | MB_ICONWARNING) ==
           IDYES;
}

void SettingsFileCommands::load()
{
    requireOwner(owner);
    if (!opening.showOpen())
        return;
    wstring path = opening.getPath(0);
    saving.setFileName(path.buffer());
    Application& program = services.program;
    try {
        services.setting.load(program.getName(), path.buffer(), program.getResourceModule(), &program.getNamedMutex());
    } catch (const UnstorableSettingValue& refused) {
        throwRefusal(IDS_UNIMPORTABLE_VALUE, refused);
    }
}
