#include <gtest/gtest.h>
#include <set>
#include "mainwindow/commandStates.h"

namespace {

// The lists a user meets: nothing listed, pictures but none selected, one, two and more than a screen saver
// takes; and, apart, a preview window left open after its list was emptied.
const ListState Empty{0, 0, 0};
const ListState NoneSelected{120, 0, 0};
const ListState OneSelected{120, 1, 0};
const ListState TwoSelected{120, 2, 0};
const ListState ManySelected{120, 101, 0};
const ListState OnlyAPreviewOpen{0, 0, 1};

struct Expected {
    int command;
    // Enabled in Empty, NoneSelected, OneSelected, TwoSelected, ManySelected, OnlyAPreviewOpen.
    bool enabled[6];
};

constexpr bool Y = true;
constexpr bool N = false;

const Expected Table[] = {
    {IDM_CLEAR_LIST, {N, Y, Y, Y, Y, N}},
    {IDM_ADD_FILES, {Y, Y, Y, Y, Y, Y}},
    {IDM_RELEASE_SELECTED, {N, N, Y, Y, Y, N}},
    {IDM_CONVERT_ALL, {N, Y, Y, Y, Y, N}},
    {IDM_CONVERT_SELECTED, {N, N, Y, Y, Y, N}},
    {IDM_THUMBNAIL_SHEET, {N, Y, Y, Y, Y, N}},
    {IDM_SPLIT_PICTURE, {N, N, Y, N, N, N}},
    {IDM_JOIN_PICTURES, {N, N, N, Y, Y, N}},
    {IDM_MULTI_FRAME_TIFF, {N, N, N, Y, Y, N}},
    {IDM_ANIMATED_GIF, {N, N, N, Y, Y, N}},
    {IDM_MOVIE, {N, N, N, Y, Y, N}},
    {IDM_SCREEN_SAVER, {N, N, N, Y, N, N}},
    {IDM_OPEN_LAYOUT, {Y, Y, Y, Y, Y, Y}},
    {IDM_SAVE_LAYOUT, {N, Y, Y, Y, Y, N}},
    {IDM_EXIT, {Y, Y, Y, Y, Y, Y}},
    {IDM_COPY_LIST, {N, Y, Y, Y, Y, N}},
    {IDM_SELECT_ALL, {N, Y, Y, Y, Y, N}},
    {IDM_PICTURE_PROPERTIES, {N, N, Y, N, N, N}},
    {IDM_PREVIEW_WINDOWS, {N, N, Y, Y, Y, N}},
    {IDM_CONVERTED_PREVIEW_WINDOWS, {N, N, Y, Y, Y, N}},
    {IDM_CLOSE_PREVIEW_WINDOWS, {N, N, N, N, N, Y}},
    {IDM_REFRESH_LIST, {N, Y, Y, Y, Y, N}},
    {IDM_START_EXPLORER, {Y, Y, Y, Y, Y, Y}},
    {IDM_CONVERSION_SETTINGS, {Y, Y, Y, Y, Y, Y}},
};

const ListState States[] = {Empty, NoneSelected, OneSelected, TwoSelected, ManySelected, OnlyAPreviewOpen};
const char* const StateNames[] = {"empty list", "none selected", "one selected", "two selected",
                                  "101 selected", "only a preview open"};

} // namespace

TEST(CommandStatesTest, EachCommandCanBeChosenExactlyWhenItsPicturesAreThere)
{
    for (const Expected& row : Table)
        for (int state = 0; state < 6; ++state)
            EXPECT_EQ(isCommandEnabled(row.command, States[state]), row.enabled[state])
                << "command " << row.command << " with " << StateNames[state];
    for (int state = 0; state < 6; ++state)
        EXPECT_EQ(isViewerMenuEnabled(States[state]), state == 2) << StateNames[state];
    EXPECT_TRUE(isCommandEnabled(IDM_SCREEN_SAVER, ListState{120, 100, 0})) << "a saver takes a hundred";
}

// A rule the table above does not state would go untested.
TEST(CommandStatesTest, EveryRuleIsInTheTable)
{
    std::set<int> stated;
    for (const Expected& row : Table)
        stated.insert(row.command);
    for (const CommandRule& rule : commandRules())
        EXPECT_TRUE(stated.count(rule.command)) << "command " << rule.command;
}
