#pragma once
#include <exception>
#include "toolkit/DialogTemplate.h"
#include "toolkit/PriorityFont.h"
#include "toolkit/Window.h"

// A dialog box from a DIALOG resource, shown in the first installed face of its priority-font list. The
// object is bound from WM_INITDIALOG to WM_DESTROY and can show its dialog again afterwards. Commands
// reach onCommand, then handleMessage; a dialog ends itself (endDialog) when it wants to.
class Dialog : public Window {
public:
    using PriorityFont = ::PriorityFont;

    Dialog() = default;
    // Ends a dialog that is still open.
    ~Dialog() override;

    // Ends a modal dialog with 2 (IDCANCEL); destroys a modeless one.
    BOOL destroy() override;
    LRESULT handleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override;

    // Shows template `templateId` of the module (null: the program) modally over the parent and returns the
    // result given to endDialog. The raw handler sees initParam as WM_INITDIALOG's lParam (getInitParam).
    // Exception 1 while the dialog is open, 1400 when it cannot be shown. A dialog whose setting up on
    // WM_INITDIALOG throws ends at once, and this throws what stopped it: the user reads why the dialog did
    // not open.
    INT_PTR doModal(HMODULE module, UINT templateId, HWND parent, LPARAM initParam);
    // The same dialog without a modal loop of its own: the caller's loop serves it until destroy.
    HWND create(HMODULE module, UINT templateId, HWND parent, LPARAM initParam);
    // Ends a modal dialog that is open; nothing otherwise.
    void endDialog(INT_PTR result);

    // Out of memory throws Exception 8.
    void addPriorityFont(const wstring& face, int points) { fonts.add(face, points); }
    bool isModal() const { return modal; }
    LPARAM getInitParam() const { return initParam; }

protected:
    PriorityFontList fonts;

private:
    // Ends the dialog that could not open; the cause waits for doModal or create.
    void abandon(std::exception_ptr cause);
    // What stopped the dialog from opening, rethrown once; nothing when it opened.
    void rethrowOpeningFailure();

    // The template to show for a dialog that is not open; a null module becomes the program's.
    DialogTemplate prepare(HMODULE& module, UINT templateId);
    static INT_PTR CALLBACK dialogProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR dispatch(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR opened(HWND window, WPARAM focus);
    void unbind(HWND window);

    bool modal = false;
    LPARAM initParam = 0;
    std::exception_ptr openingFailure;
};

// The default answer of dialogs and property pages: commands are handled, and a new palette repaints the
// window; everything else is left to the system (0).
INT_PTR answerDialogMessage(HWND window, UINT message);

// The program's dialogs: their faces are the user's list of dialog faces (Window/UiFontFaces). A
// malformed list throws Exception 87, a missing settings record Exception 1.
class AppDialog : public Dialog {
public:
    AppDialog() { fonts.addFromUserSetting(); }
};
