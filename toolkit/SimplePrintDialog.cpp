#include "toolkit/SimplePrintDialog.h"
#include "foundation/LockedBlock.h"

SimplePrintDialog::SimplePrintDialog()
{
    record.lStructSize = sizeof(record);
}

SimplePrintDialog::~SimplePrintDialog()
{
    freeChoice();
}

void SimplePrintDialog::freeChoice()
{
    if (record.hDevMode)
        GlobalFree(record.hDevMode);
    if (record.hDevNames)
        GlobalFree(record.hDevNames);
    record.hDevMode = nullptr;
    record.hDevNames = nullptr;
}

bool SimplePrintDialog::show()
{
    return PrintDlgW(&record) != FALSE;
}

bool SimplePrintDialog::takeDefaultPrinter()
{
    // The dialog fills the handles only when both come in empty.
    freeChoice();
    DWORD flags = record.Flags;
    record.Flags = PD_RETURNDEFAULT;
    bool found = PrintDlgW(&record) != FALSE;
    record.Flags = flags;
    if (!found)
        freeChoice();
    return found && hasPrinter();
}

HDC SimplePrintDialog::createDC() const
{
    if (!hasPrinter())
        return nullptr;
    LockedBlock names(record.hDevNames);
    LockedBlock mode(record.hDevMode);
    if (!names.get() || !mode.get())
        return nullptr;
    const auto* offsets = static_cast<const DEVNAMES*>(names.get());
    const auto* text = static_cast<const wchar_t*>(names.get());
    return CreateDCW(text + offsets->wDriverOffset, text + offsets->wDeviceOffset, nullptr,
                     static_cast<const DEVMODEW*>(mode.get()));
}
