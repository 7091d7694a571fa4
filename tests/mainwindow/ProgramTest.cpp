// The real korvilane.exe, started as a separate process without a display.
#include <windows.h>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include "foundation/Path.h"
#include "support/ProgramCopy.h"

namespace {

class ProgramTest : public testing::Test {
protected:
    static void SetUpTestSuite() { copy = std::make_unique<ProgramCopy>(L"korvilane-program"); }
    static void TearDownTestSuite() { copy.reset(); }

    static int exitCodeOf(const std::wstring& arguments) { return copy->run(arguments); }

    static inline std::unique_ptr<ProgramCopy> copy;
};

} // namespace

TEST_F(ProgramTest, AssociationSwitchesAnswerWithAnErrorUntilTheyCanBeCarriedOut)
{
    EXPECT_EQ(exitCodeOf(L"-regist"), 1);
    EXPECT_EQ(exitCodeOf(L"-UNREGIST"), 1);
}

TEST_F(ProgramTest, CommandLineOptionsEndWithTheBatchModesErrorCode)
{
    EXPECT_EQ(exitCodeOf(L"a.jpg /format 3"), 1);
}

TEST_F(ProgramTest, WindowedStartThatCannotCompleteIsNoSuccess)
{
    EXPECT_EQ(exitCodeOf(L""), 1);
    EXPECT_EQ(exitCodeOf(L"\"C:\\pictures\\a b.jpg\""), 1);
    // Nothing was saved: the settings file is written only on request.
    EXPECT_EQ(GetFileAttributesW((Path(copy->path().c_str()).getDirectory() + L"korvilane.xml").buffer()),
              INVALID_FILE_ATTRIBUTES);
}
