#include "toolkit/PrintDocument.h"

bool PrintDocument::print(HDC printer, const wchar_t* documentName, INT_PTR userValue)
{
    DOCINFOW document{};
    document.cbSize = sizeof(document);
    document.lpszDocName = documentName;
    onBeginPrint(printer);
    bool printed = false;
    if (startDocument(printer, document) > 0) {
        bool cancel = false;
        onPrepare(printer, cancel);
        if (cancel) {
            printed = true;
        } else if (startPage(printer) > 0) {
            onPrintPage(printer, 1, userValue);
            // A page the printer did not take is not printed, whatever was drawn.
            printed = endPage(printer) > 0;
        }
        if (endDocument(printer) <= 0)
            printed = false;
    }
    onEndPrint(printer);
    return printed;
}
