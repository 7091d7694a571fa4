#include "mainwindow/SettingsFileCommands.h"
#include "foundation/Mutex.h"
#include "mainwindow/MyApp.h"
#include "mainwindow/commandDialogs.h"

namespace {

constexpr UINT SettingsFilterString = 2236;

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
    MutexLock hold(app.getNamedMutex());
    app.getSetting().save(app.getName(), toFile ? path.buffer() : nullptr);
    return true;
}

void SettingsFileCommands::load()
{
    requireOwner(owner);
    if (!opening.showOpen())
        return;
    wstring path = opening.getPath(0);
    saving.setFileName(path.buffer());
    MyApp& app = myApp();
    try {
        app.getSetting().load(app.getName(), path.buffer(), app.getResourceModule(), &app.getNamedMutex());
    } catch (const Exception&) {
        // A file that is no settings file leaves the settings as they were.
    }
}
