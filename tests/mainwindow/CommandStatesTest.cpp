#include <gtest/gtest.h>
#include <set>
#include "mainwindow/commandStates.h"

namespace {

// The lists a user meets, in the order of the table's columns: nothing listed, pictures but none selected,
// one, two and more than a screen saver takes, and a preview window left open after its list was emptied.
const ListState States[] = {{0, 0, 0}, {120, 0, 0}, {120, 1, 0}, {120, 2, 0}, {120, 101, 0}, {0, 0, 1}};
const char* const StateNames[] = {"empty", "none selected", "one", "two", "101", "only a preview open"};

struct Expected {
    int command;
    const char* enabled;
};

// clang-format off
const Expected Table[] = {
    {IDM_CLEAR_LIST, "-yyyy-"},                {IDM_ADD_FILES, "yyyyyy"},                 {IDM_RELEASE_SELECTED, "--yyy-"},
    {IDM_CONVERT_ALL, "-yyyy-"},               {IDM_CONVERT_SELECTED, "--yyy-"},          {IDM_THUMBNAIL_SHEET, "-yyyy-"},
    {IDM_SPLIT_PICTURE, "--y---"},             {IDM_JOIN_PICTURES, "---yy-"},             {IDM_MULTI_FRAME_TIFF, "---yy-"},
    {IDM_ANIMATED_GIF, "---yy-"},              {IDM_MOVIE, "---yy-"},                     {IDM_SCREEN_SAVER, "---y--"},
    {IDM_OPEN_LAYOUT, "yyyyyy"},               {IDM_SAVE_LAYOUT, "-yyyy-"},               {IDM_EXIT, "yyyyyy"},
    {IDM_COPY_LIST, "-yyyy-"},                 {IDM_SELECT_ALL, "-yyyy-"},                {IDM_PICTURE_PROPERTIES, "--y---"},
    {IDM_PREVIEW_WINDOWS, "--yyy-"},           {IDM_CONVERTED_PREVIEW_WINDOWS, "--yyy-"}, {IDM_CLOSE_PREVIEW_WINDOWS, "-----y"},
    {IDM_REFRESH_LIST, "-yyyy-"},              {IDM_START_EXPLORER, "yyyyyy"},            {IDM_CONVERSION_SETTINGS, "yyyyyy"},
};
// clang-format on

} // namespace

TEST(CommandStatesTest, EachCommandCanBeChosenExactlyWhenItsPicturesAreThere)
{
    for (const Expected& row : Table)
        for (int state = 0; state < 6; ++state)
            EXPECT_EQ(isCommandEnabled(row.command, States[state]), row.enabled[state] == 'y')
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
