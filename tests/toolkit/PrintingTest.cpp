#include <gtest/gtest.h>
#include <string>
#include "toolkit/EscapeKeyCanceller.h"
#include "toolkit/PrintDocument.h"
#include "toolkit/SimplePrintDialog.h"

namespace {

// Writes down every hook and spooler call in order. The spooler calls answer as told, or go to the system.
class RecordingDocument : public PrintDocument {
public:
    std::string calls;
    bool cancelInPrepare = false;
    bool realSpooler = false;
    int answers[4] = {1, 1, 1, 1}; // start of job, start of page, end of page, end of job

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
        calls += document.cbSize == sizeof(DOCINFOW) ? "startdoc " : "startdoc(bad size) ";
        return realSpooler ? PrintDocument::startDocument(printer, document) : answers[0];
    }
    int startPage(HDC) override { return record("startpage ", answers[1]); }
    int endPage(HDC) override { return record("endpage ", answers[2]); }
    int endDocument(HDC) override { return record("enddoc ", answers[3]); }

private:
    int record(const char* call, int answer)
    {
        calls += call;
        return answer;
    }
};

struct MemoryDC {
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
    EXPECT_EQ(document.calls, "begin startdoc prepare startpage page1:42 endpage enddoc end");

    RecordingDocument skipped;
    skipped.cancelInPrepare = true;
    EXPECT_TRUE(skipped.print(memory.dc, L"写真", 0)) << "a job without pages is no failure";
    EXPECT_EQ(skipped.calls, "begin startdoc prepare enddoc end");

    RecordingDocument refused; // a memory DC is no printer: the system refuses the job
    refused.realSpooler = true;
    EXPECT_FALSE(refused.print(memory.dc, L"写真", 0));
    EXPECT_EQ(refused.calls, "begin startdoc end");
}

TEST(PrintDocumentTest, APageOrJobThePrinterDidNotTakeIsReportedAsFailed)
{
    MemoryDC memory;
    const char* expected[] = {"begin startdoc prepare startpage enddoc end",
                              "begin startdoc prepare startpage page1:0 endpage enddoc end",
                              "begin startdoc prepare startpage page1:0 endpage enddoc end"};
    for (int failing = 1; failing <= 3; ++failing) {
        RecordingDocument document;
        document.answers[failing] = failing == 2 ? 0 : -1;
        EXPECT_FALSE(document.print(memory.dc, L"写真", 0)) << "spooler call " << failing << " failed";
        EXPECT_EQ(document.calls, expected[failing - 1]) << "the job is ended all the same";
    }
}

TEST(SimplePrintDialogTest, WithoutAChosenPrinterThereIsNoDeviceContext)
{
    SimplePrintDialog dialog;
    EXPECT_EQ(dialog.createDC(), nullptr);
    // Without a default printer (as in the test prefix) the answer comes at once, without a box, and the
    // dialog's reason is the missing printer, not a record it could not read.
    if (!dialog.takeDefaultPrinter()) {
        EXPECT_EQ(CommDlgExtendedError(), DWORD(PDERR_NODEFAULTPRN));
        EXPECT_FALSE(dialog.hasPrinter());
        EXPECT_EQ(dialog.createDC(), nullptr);
        return;
    }
    HDC printer = dialog.createDC();
    EXPECT_NE(printer, nullptr) << "the default printer's context";
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
