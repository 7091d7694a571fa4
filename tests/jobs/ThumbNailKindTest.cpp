#include <gtest/gtest.h>
#include "jobs/ThumbNailKind.h"

TEST(ThumbNailKind, NamesAndKindsMatchBothWays)
{
    for (int kind = 1; kind <= 6; ++kind)
        EXPECT_EQ(thumbnailmaker::kindFromName(thumbnailmaker::kindName(kind)), kind);
    EXPECT_STREQ(thumbnailmaker::kindName(4).buffer(), L"join");
    EXPECT_STREQ(thumbnailmaker::kindName(6).buffer(), L"joinv");
    EXPECT_STREQ(thumbnailmaker::kindName(0).buffer(), L"");
    EXPECT_STREQ(thumbnailmaker::kindName(7).buffer(), L"");
}

TEST(ThumbNailKind, UnknownNamesAreTiles)
{
    EXPECT_EQ(thumbnailmaker::kindFromName(L""), 1);
    EXPECT_EQ(thumbnailmaker::kindFromName(L"Album"), 1);
    EXPECT_EQ(thumbnailmaker::kindFromName(L"joinh "), 1);
    EXPECT_EQ(thumbnailmaker::kindFromName(L"joinh"), 5);
}
