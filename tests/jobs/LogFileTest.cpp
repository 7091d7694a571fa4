#include <gtest/gtest.h>
#include <memory>
#include <string>
#include "foundation/Exception.h"
#include "foundation/TextConverter.h"
#include "jobs/LogFile.h"
#include "support/fileBytes.h"

// The disk takes the first page of a long line and then has no room: the log must not end there as if the line
// had been written.
TEST(LogFileTest, OnAFullDiskALineThatDoesNotFitFails)
{
    const wchar_t* full = _wgetenv(L"KORVILANE_FULL_FOLDER");
    if (!full)
        GTEST_SKIP() << "needs the small disk that the full_disk entry mounts as root";
    std::wstring filler = std::wstring(full) + L"\\filler", path = std::wstring(full) + L"\\log.txt";
    writeText(filler, std::string(12288, 'x'));
    {
        LogFile log(path.c_str(), std::make_unique<Utf8Converter>());
        EXPECT_THROW(log.write(wstring(std::wstring(6000, L'a').c_str())), Exception);
    }
    DeleteFileW(path.c_str());
    DeleteFileW(filler.c_str());
}
