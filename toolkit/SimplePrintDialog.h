#pragma once
#include <windows.h>
#include <commdlg.h>

// The printer choice of the system's print dialog, kept between dialogs: a PRINTDLGW record that callers fill
// and pass to the dialog. The printer's device-mode and device-names memory belong to the object.
class SimplePrintDialog {
public:
    SimplePrintDialog();
    SimplePrintDialog(const SimplePrintDialog&) = delete;
    SimplePrintDialog& operator=(const SimplePrintDialog&) = delete;
    virtual ~SimplePrintDialog();

    // Shows the dialog the record describes; false when the user cancelled it or it failed (the dialog's
    // error code then tells which: CommDlgExtendedError).
    bool show();
    // Takes the system's default printer into the record without asking, replacing the choice held; false
    // when there is no default printer (then no choice is held).
    bool takeDefaultPrinter();
    bool hasPrinter() const { return record.hDevMode && record.hDevNames; }
    // A device context of the chosen printer, the caller's to delete; null before a printer was chosen or
    // when it cannot be made.
    HDC createDC() const;

    PRINTDLGW record{};

private:
    void freeChoice();
};
