#include <gtest/gtest.h>
#include "foundation/ComTesting.h"
#include "imaging/dibTiling.h"
#include "jobs/JoinExtent.h"
#include "settings/Messages.h"

namespace {

constexpr int DefaultLimit = 4096;

// The text of the ApplicationException that `call` throws; null when it throws none.
template <typename Call>
std::wstring thrownText(Call call)
{
    try {
        call();
    } catch (const ApplicationException& e) {
        return e.getText() ? e.getText() : L"";
    }
    return L"(none)";
}

class JoinExtentTest : public testing::Test {
protected:
    void SetUp() override { loadMessages(GetModuleHandleW(nullptr)); }
    ComApartment apartment;
};

TEST_F(JoinExtentTest, TheLimitItselfIsAllowedAndOnePixelMoreIsNot)
{
    JoinExtent sideBySide(false, DefaultLimit);
    sideBySide.add(3000, 200);
    sideBySide.add(1096, 300);
    EXPECT_EQ(sideBySide.width(), 4096);
    EXPECT_EQ(sideBySide.height(), 300);
    EXPECT_EQ(thrownText([&] { sideBySide.add(1, 1); }), Messages::E0015.get());
    EXPECT_EQ(sideBySide.width(), 4096) << "the refused picture is not counted";

    // The joined picture of the widest allowed size is really made.
    ObjectArray<Dib> pictures;
    for (auto [width, height] : {std::pair{3000, 200}, {1096, 300}}) {
        auto picture = new Dib;
        ASSERT_TRUE(picture->create(width, height, 24, RGB(9, 9, 9)));
        pictures.add(picture);
    }
    Dib joined;
    ASSERT_TRUE(joinDibs(pictures, joined, false, RGB(0, 0, 0)));
    EXPECT_EQ(joined.width(), 4096);
    EXPECT_EQ(joined.height(), 300);

    JoinExtent wider(false, DefaultLimit);
    wider.add(3000, 200);
    EXPECT_EQ(thrownText([&] { wider.add(1097, 300); }), Messages::E0015.get());
}

TEST_F(JoinExtentTest, TheOtherSideCountsToo)
{
    // Side by side, one picture taller than the limit fails though the total width is small.
    JoinExtent sideBySide(false, 1024);
    EXPECT_EQ(thrownText([&] { sideBySide.add(10, 1025); }), Messages::E0015.get());
    // Stacked, heights add up and the widest counts.
    JoinExtent stacked(true, 1024);
    stacked.add(1024, 1000);
    stacked.add(10, 24);
    EXPECT_EQ(stacked.width(), 1024);
    EXPECT_EQ(stacked.height(), 1024);
    EXPECT_EQ(thrownText([&] { stacked.add(1, 1); }), Messages::E0015.get());
}

} // namespace
