#include "mainwindow/SettingsFileCommands.h"
#include "foundation/ISetting.h"
#include "foundation/Mutex.h"
#include "jobs/LogMessages.h"
#include "mainwindow/MyApp.h"
#include "mainwindow/commandDialogs.h"
#include "settings/Messages.h"

namespace {

constexpr UINT SettingsFilterString = 2236;
constexpr UINT UnstorableValueString = 2612;

} // namespace

SettingsFileCommands::SettingsFileCommands() : opening(nullptr, OpenDialogFlags), saving(nullptr, SaveDialogFlags)
{
}

void SettingsFileCommands::prepare(HWND window)
{
    owner = window;
    prepareFileDialog(saving, owner, SettingsFilterString, L"xml");
    prepareFileDialog(opening, owner, SettingsFilterString);
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
    MyApp& app = myApp();
    AppSetting& setting = app.getSetting();
    AppSetting::UnopenedFile unopened = AppSetting::UnopenedFile::Keep;
    if (!toFile && setting.getUnopenedFileError() != ERROR_SUCCESS) {
        // The file this run could not open still holds the user's own settings.
        if (!askToReplace(setting.getPath()))
            return false;
        unopened = AppSetting::UnopenedFile::Replace;
    }
    MutexLock hold(app.getNamedMutex());
    try {
        setting.save(app.getName(), toFile ? path.buffer() : nullptr, unopened);
    } catch (const UnstorableSettingValue& refused) {
        wstring key = L"[" + refused.getSection() + L"] " + refused.getKey();
        throw ApplicationException(app.loadString(UnstorableValueString).replace(L"%s", key.buffer()).buffer());
    }
    return true;
}

bool SettingsFileCommands::askToReplace(const wstring& file) const
{
    return myApp().messageBox(owner, fillIn(Messages::W0002, file).buffer(), MB_YESNO | MB_ICONWARNING) == IDYES;
}

void SettingsFileCommands::load()
{
    requireOwner(owner);
    if (!opening.showOpen())
        return;
    wstring path = opening.getPath(0);
    saving.setFileName(path.buffer());
    MyApp& app = myApp();
    app.getSetting().load(app.getName(), path.buffer(), app.getResourceModule(), &app.getNamedMutex());
}
