#include <gtest/gtest.h>
#include "jobs/JoinExtent.h"
#include "settings/Messages.h"
#include "support/ComTesting.h"

namespace {

// Whether adding the picture is refused with the "too large" message.
bool refused(JoinExtent& extent, int width, int height)
{
    try {
        extent.add(width, height);
    } catch (const ApplicationException& e) {
        return e.getText() && wcscmp(e.getText(), Messages::E0015.get()) == 0;
    }
    return false;
}

TEST(JoinExtent, TheLimitItselfIsAllowedAndOnePixelMoreIsNot)
{
    ComApartment apartment;
    loadMessages(GetModuleHandleW(nullptr));
    JoinExtent sideBySide(false, 4096);
    sideBySide.add(3000, 200);
    sideBySide.add(1096, 300);
    EXPECT_EQ(sideBySide.width(), 4096);
    EXPECT_EQ(sideBySide.height(), 300);
    EXPECT_TRUE(refused(sideBySide, 1, 1));
    EXPECT_EQ(sideBySide.width(), 4096) << "the refused picture is not counted";

    // Side by side, a picture taller than the limit fails though the total width is small.
    JoinExtent narrow(false, 1024);
    EXPECT_TRUE(refused(narrow, 10, 1025));
    // Stacked, heights add up and the widest counts.
    JoinExtent stacked(true, 1024);
    stacked.add(1024, 1000);
    stacked.add(10, 24);
    EXPECT_EQ(stacked.width(), 1024);
    EXPECT_EQ(stacked.height(), 1024);
    EXPECT_TRUE(refused(stacked, 1, 1));

    // The largest limit allows sides that together make more pixels than a picture may have.
    JoinExtent largest(false, 32768);
    largest.add(32768, 4096);
    EXPECT_TRUE(refused(largest, 0, 4097));
    EXPECT_EQ(largest.height(), 4096);
}

} // namespace
