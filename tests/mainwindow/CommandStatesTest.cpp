#include <gtest/gtest.h>
#include "mainwindow/commandStates.h"

TEST(CommandStatesTest, JobsOfSeveralPicturesNeedTwoAndAScreenSaverAtMostAHundred)
{
    for (int selected : {0, 1, 2, 100, 101}) {
        ListState state{101, selected, 0};
        bool several = selected >= 2;
        for (int job : {IDM_JOIN_PICTURES, IDM_MULTI_FRAME_TIFF, IDM_ANIMATED_GIF, IDM_MOVIE})
            EXPECT_EQ(isCommandEnabled(job, state), several) << job << " with " << selected;
        EXPECT_EQ(isCommandEnabled(IDM_SCREEN_SAVER, state), several && selected <= 100) << selected;
        EXPECT_EQ(isCommandEnabled(IDM_SPLIT_PICTURE, state), selected == 1) << selected;
        EXPECT_EQ(isViewerMenuEnabled(state), selected == 1) << selected;
    }
    EXPECT_FALSE(isCommandEnabled(IDM_CLOSE_PREVIEW_WINDOWS, ListState{3, 1, 0}));
    EXPECT_TRUE(isCommandEnabled(IDM_CLOSE_PREVIEW_WINDOWS, ListState{0, 0, 1})) << "a window outlives its item";
    EXPECT_TRUE(isCommandEnabled(IDM_ADD_FILES, ListState{})) << "adding needs nothing";
}
