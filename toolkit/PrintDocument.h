#pragma once
#include <windows.h>

// One print job of one page on a printer's device context. The class that derives from it draws the page;
// the hooks run in this order: onBeginPrint, (the job starts) onPrepare, (the page starts) onPrintPage, (the
// page and the job end) onEndPrint. onEndPrint runs in every case, also when the job could not start.
class PrintDocument {
public:
    PrintDocument() = default;
    PrintDocument(const PrintDocument&) = delete;
    PrintDocument& operator=(const PrintDocument&) = delete;
    virtual ~PrintDocument() = default;

    // True when the page went to the printer, or when onPrepare skipped it; false when the job or the page
    // could not start, or the printer refused to end the page or the job: then nothing usable was printed.
    bool print(HDC printer, const wchar_t* documentName, INT_PTR userValue);

protected:
    virtual void onBeginPrint(HDC) {}
    // Setting cancel skips the page: the job starts and ends empty.
    virtual void onPrepare(HDC, bool& /*cancel*/) {}
    virtual void onPrintPage(HDC, int /*page*/, INT_PTR /*userValue*/) {}
    virtual void onEndPrint(HDC) {}

    // The spooler's calls, each answering as the system's function does (above 0 for success).
    virtual int startDocument(HDC printer, const DOCINFOW& document) { return StartDocW(printer, &document); }
    virtual int startPage(HDC printer) { return StartPage(printer); }
    virtual int endPage(HDC printer) { return EndPage(printer); }
    virtual int endDocument(HDC printer) { return EndDoc(printer); }
};
