#include <gtest/gtest.h>
#include "toolkit/ImageList.h"

TEST(ImageList, HoldsOneListUntilDestroyed)
{
    ImageList holder;
    EXPECT_EQ(holder.handle(), nullptr);
    holder.destroyList();

    HIMAGELIST first = ImageList_Create(16, 16, ILC_COLOR32, 1, 1);
    ASSERT_NE(first, nullptr);
    holder.attach(first);
    EXPECT_EQ(holder.handle(), first);
    EXPECT_EQ(ImageList_GetImageCount(holder.handle()), 0);

    HIMAGELIST second = ImageList_Create(32, 32, ILC_COLOR32, 1, 1);
    holder.attach(second);
    EXPECT_EQ(holder.handle(), second);
    holder.destroyList();
    EXPECT_EQ(holder.handle(), nullptr);
}
