#include <gtest/gtest.h>
#include <string>
#include "toolkit/EscapeKeyCanceller.h"
#include "toolkit/PrintDocument.h"
#include "toolkit/SimplePrintDialog.h"

namespace {

// A document that writes down every hook and spooler call in order; the spooler calls answer as told
// (or go to the system when not told).
class RecordingDocument : public PrintDocument {
public:
    std::string calls;
    bool cancelInPrepare = false;
    bool fakeSpooler = true;
    int startDocAnswer = 1;
    int startPageAnswer = 1;
    int endPageAnswer = 1;
    int endDocAnswer = 1;

protected:
    void onBeginPrint(HDC) override { calls += "begin "; }
    void onPrepare(HDC, bool& cancel) override
    {
        calls += "prepare ";
        cancel = cancelInPrepare;
    }
    void onPrintPage(HDC, int page, INT_PTR user) override
    {
        calls += "page" + std::to_string(page) + ":" + std::to_string(user) + " ";
    }
    void onEndPrint(HDC) override { calls += "end"; }

    int startDocument(HDC printer, const DOCINFOW& document) override
    {
        calls += "startdoc" + std::to_string(document.cbSize == sizeof(DOCINFOW)) + " ";
        return fakeSpooler ? startDocAnswer : PrintDocument::startDocument(printer, document);
    }
    int startPage(HDC) override
    {
        calls += "startpage ";
        return startPageAnswer;
    }
    int endPage(HDC) override
    {
        calls += "endpage ";
        return endPageAnswer;
    }
    int endDocument(HDC) override
    {
        calls += "enddoc ";
        return endDocAnswer;
    }
};

// A device context that is no printer.
class MemoryDC {
public:
    MemoryDC() : dc(CreateCompatibleDC(nullptr)) {}
    ~MemoryDC() { DeleteDC(dc); }
    HDC dc;
};

void pressEscape(bool down)
{
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = VK_ESCAPE;
    input.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
    SendInput(1, &input, sizeof(input));
}

} // namespace

TEST(PrintDocumentTest, APageRunsBetweenTheHooksAndTheEndHookAlwaysRuns)
{
    MemoryDC memory;
    RecordingDocument document;
    EXPECT_TRUE(document.print(memory.dc, L"写真", 42));
    EXPECT_EQ(document.calls, "begin startdoc1 prepare startpage page1:42 endpage enddoc end");

    RecordingDocument skipped;
    skipped.cancelInPrepare = true;
    EXPECT_TRUE(skipped.print(memory.dc, L"写真", 0)) << "a job without pages is no failure";
    EXPECT_EQ(skipped.calls, "begin startdoc1 prepare enddoc end");

    // A memory DC is no printer: the system refuses the job.
    RecordingDocument refused;
    refused.fakeSpooler = false;
    EXPECT_FALSE(refused.print(memory.dc, L"写真", 0));
    EXPECT_EQ(refused.calls, "begin startdoc1 end");
}

TEST(PrintDocumentTest, APageOrJobThePrinterDidNotTakeIsReportedAsFailed)
{
    MemoryDC memory;
    RecordingDocument noPage;
    noPage.startPageAnswer = -1;
    EXPECT_FALSE(noPage.print(memory.dc, L"写真", 0));
    EXPECT_EQ(noPage.calls, "begin startdoc1 prepare startpage enddoc end") << "the job is still ended";

    RecordingDocument lostPage;
    lostPage.endPageAnswer = 0;
    EXPECT_FALSE(lostPage.print(memory.dc, L"写真", 0));
    EXPECT_EQ(lostPage.calls, "begin startdoc1 prepare startpage page1:0 endpage enddoc end");

    RecordingDocument lostJob;
    lostJob.endDocAnswer = -1;
    EXPECT_FALSE(lostJob.print(memory.dc, L"写真", 0));
}

TEST(SimplePrintDialogTest, WithoutAChosenPrinterThereIsNoDeviceContext)
{
    SimplePrintDialog dialog;
    EXPECT_EQ(dialog.createDC(), nullptr);
    // A machine without a default printer (as the test prefix) answers at once, without a box.
    bool found = dialog.takeDefaultPrinter();
    EXPECT_EQ(found, dialog.hasPrinter());
    if (!found) {
        EXPECT_EQ(dialog.createDC(), nullptr);
        return;
    }
    HDC printer = dialog.createDC();
    EXPECT_NE(printer, nullptr);
    DeleteDC(printer);
}

TEST(EscapeKeyCancellerTest, OneEscapeCancelsForTheRestOfTheOperation)
{
    EscapeKeyCanceller canceller;
    EXPECT_FALSE(canceller.isCancelled());
    pressEscape(true);
    EXPECT_TRUE(canceller.isCancelled());
    pressEscape(false);
    EXPECT_TRUE(canceller.isCancelled()) << "the key is up again, the operation stays cancelled";
    EXPECT_FALSE(EscapeKeyCanceller().isCancelled()) << "the next operation starts afresh";
}
