#include "mainwindow/LayoutAssociation.h"
#include "foundation/Application.h"
#include "foundation/Environment.h"
#include "foundation/FileAssociation.h"
#include "foundation/Process.h"
#include "settings/Messages.h"

namespace {

constexpr wchar_t Extension[] = L"lay";

// The program's icon for its documents: the shell before Vista counts the icons one further.
int documentIconIndex()
{
    return isWindowsVistaOrLater() ? 2 : 3;
}

} // namespace

LayoutAssociation::LayoutAssociation(const wstring& applicationName, const wstring& executablePath)
    : name(applicationName), executablePath(executablePath)
{
}

void LayoutAssociation::setAssociation(bool registering)
{
    if (registering)
        registerFileType(name, executablePath, Extension, name + L" Layout File", documentIconIndex());
    else
        unregisterFileType(name, Extension);
}

bool LayoutAssociation::isAssociatedHere() const
{
    return isFileTypeRegistered(name, Extension);
}

bool LayoutAssociation::isAssociatedElsewhere() const
{
    return isFileTypeRegisteredElsewhere(name, Extension);
}

void LayoutAssociation::toggle(HWND owner)
{
    bool removing = isAssociatedHere();
    if (!removing && isAssociatedElsewhere()) {
        warn(owner, Messages::E0007.get());
        return;
    }
    try {
        setAssociation(!removing);
    } catch (const Exception& exception) {
        if (exception.getCode() != ERROR_ACCESS_DENIED) {
            warn(owner, removing ? Messages::E0006.get() : Messages::E0005.get());
            return;
        }
        // Refused for want of rights: an elevated instance of the program may do it.
        if (isWindowsVistaOrLater() && runElevated(owner, removing ? L"-unregist" : L"-regist"))
            return;
        showException(owner, exception);
    }
}

bool LayoutAssociation::runElevated(HWND owner, const wchar_t* option)
{
    Process elevated;
    if (!elevated.run(owner, executablePath.buffer(), option))
        return false;
    DWORD exitCode = 1;
    if (WaitForSingleObject(elevated.handle(), INFINITE) != WAIT_OBJECT_0 ||
        !GetExitCodeProcess(elevated.handle(), &exitCode))
        return false;
    return exitCode == 0;
}

void LayoutAssociation::warn(HWND owner, const wchar_t* text)
{
    if (Application* application = getApplication())
        application->warn(owner, text);
}

void LayoutAssociation::showException(HWND owner, const Exception& exception)
{
    if (Application* application = getApplication())
        application->showException(owner, exception);
}
