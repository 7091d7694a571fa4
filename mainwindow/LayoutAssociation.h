#pragma once
#include <windows.h>
#include "foundation/Exception.h"
#include "foundation/wstring.h"

// The association of layout files (".lay") with the program under HKEY_CLASSES_ROOT, and the menu command
// that toggles it. Writing there needs administrator rights on current systems: when the system refuses, the
// command starts the program again elevated with "-regist" or "-unregist" and reads its exit code.
class LayoutAssociation {
public:
    // The program's name (the document class becomes "<name in lower case>.lay") and its full path.
    LayoutAssociation(const wstring& applicationName, const wstring& executablePath);
    LayoutAssociation(const LayoutAssociation&) = delete;
    LayoutAssociation& operator=(const LayoutAssociation&) = delete;
    virtual ~LayoutAssociation() = default;

    // Registers (true) or removes (false) the association. Throws Exception with the registry's error: 5
    // without the right to write. A failed registration leaves nothing behind.
    virtual void setAssociation(bool registering);
    // ".lay" names this program's document class.
    bool isAssociatedHere() const;
    // ".lay" names another class, or none (an empty value).
    bool isAssociatedElsewhere() const;

    // The menu command: removes an association of this program, warns about another program's (and
    // changes nothing), or registers. Failures are shown in message boxes owned by the window.
    void toggle(HWND owner);

protected:
    // Runs the program elevated with the option and waits for its end; true when it ended with exit code 0.
    virtual bool runElevated(HWND owner, const wchar_t* option);
    virtual void warn(HWND owner, const wchar_t* text);
    virtual void showException(HWND owner, const Exception& exception);

private:
    wstring name;
    wstring executablePath;
};
