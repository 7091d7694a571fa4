#include <gtest/gtest.h>
#include <string>
#include <vector>
#include "foundation/wstringArray.h"
#include "jobs/RunOutputs.h"
#include "support/ScratchFolder.h"
#include "support/fileBytes.h"

namespace {

class RunOutputsTest : public testing::Test {
protected:
    // A file of the test's folder, made when it is not there.
    wstring file(const wchar_t* name)
    {
        std::wstring path = folder.file(name);
        if (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES)
            writeText(path, "picture");
        return path.c_str();
    }
    std::vector<std::wstring> deletions() const
    {
        wstringArray list;
        outputs.sourcesToDelete(list);
        std::vector<std::wstring> paths;
        for (int i = 0; i < list.count(); ++i)
            paths.push_back(list.at(i).buffer());
        return paths;
    }

    ScratchFolder folder{L"korvilane-outputs"};
    RunOutputs outputs;
};

} // namespace

TEST_F(RunOutputsTest, ASourceThatHoldsAnOutputOfTheRunIsNeverDeleted)
{
    // a goes to o1 and b over a, named in other letters; c goes to o2, named with the long-path prefix, which is
    // then read as a source under its plain name. By the end a and o2 hold outputs.
    outputs.add(file(L"a.bmp"), file(L"o1.png"), true);
    outputs.add(file(L"b.bmp"), file(L"A.BMP"), true);
    outputs.add(file(L"c.bmp"), (L"\\\\?\\" + std::wstring(file(L"o2.png").buffer())).c_str(), true);
    outputs.add(file(L"o2.png"), file(L"d.png"), true);
    // A source written in place is its own output.
    outputs.add(file(L"e.png"), file(L"e.png"), true);
    outputs.add(file(L"f.bmp"), file(L"o3.png"), false);

    EXPECT_EQ(deletions(), (std::vector<std::wstring>{folder.file(L"b.bmp"), folder.file(L"c.bmp")}));
    EXPECT_TRUE(outputs.isOutput(file(L"O1.PNG")));
    EXPECT_FALSE(outputs.isOutput(file(L"b.bmp")));

    outputs.clear();
    EXPECT_TRUE(deletions().empty());
    EXPECT_FALSE(outputs.isOutput(file(L"o1.png")));
}
