#include <gtest/gtest.h>
#include <string>
#include <vector>
#include "foundation/MessageWriter.h"
#include "foundation/astring.h"
#include "jobs/LogMessages.h"
#include "imaging/ICanceller.h"
#include "jobs/ThumbNailJobObserver.h"
#include "support/ComTesting.h"

namespace {

class CollectingLog : public MessageWriter {
public:
    void write(const wstring& line) override { text += line.buffer(); }
    void write(const astring&) override {}
    std::wstring text;
};

class SwitchCanceller : public ICanceller {
public:
    bool isCancelled() override { return cancel; }
    bool cancel = false;
};

TEST(ThumbNailJobObserver, LogsProgressAndKeepsACancel)
{
    ComApartment apartment;
    loadLogMessages(GetModuleHandleW(nullptr));
    SwitchCanceller canceller;
    CollectingLog log;
    thumbnailmaker::ThumbNailJobObserver observer(&canceller, &log);
    observer.fileDone(L"C:\\a.png", L"C:\\t\\thumbnail0.jpg");
    observer.started();
    EXPECT_EQ(log.text, L"C:\\a.png -> C:\\t\\thumbnail0.jpg\r\nサムネイルファイルを作成中...\r\n");

    EXPECT_FALSE(observer.isCancelled(0));
    canceller.cancel = true;
    EXPECT_TRUE(observer.isCancelled(1));
    canceller.cancel = false;
    EXPECT_TRUE(observer.isCancelled(2)) << "a cancel, once seen, stays";
    EXPECT_TRUE(observer.wasCancelled());

    // Without a log window nothing is written, and nothing fails.
    thumbnailmaker::ThumbNailJobObserver silent(nullptr, nullptr);
    silent.fileDone(L"a", L"b");
    silent.started();
    EXPECT_FALSE(silent.isCancelled(0));
}

} // namespace
