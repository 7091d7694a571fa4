#include <gtest/gtest.h>
#include <memory>
#include <string>
#include "foundation/Exception.h"
#include "foundation/TextConverter.h"
#include "jobs/LogFile.h"
#include "support/SmallDisk.h"

// The disk takes the first page of a long line and then has no room: the log must not end there as if the line
// had been written.
TEST(LogFileTest, OnAFullDiskALineThatDoesNotFitFails)
{
    std::wstring disk = smallDiskFolder();
    if (disk.empty())
        GTEST_SKIP() << "needs the small disk that the full_disk entry mounts as root";
    std::wstring path = disk + L"\\log.txt";
    DiskFiller filler(disk, 4096);
    {
        LogFile log(path.c_str(), std::make_unique<Utf8Converter>());
        EXPECT_THROW(log.write(wstring(std::wstring(6000, L'a').c_str())), Exception);
    }
    DeleteFileW(path.c_str());
}
