#include "mainwindow/commandStates.h"
#include <algorithm>
#include <iterator>
#include "toolkit/PictureView.h"

namespace {

constexpr CommandRule Rules[] = {
    {IDM_CLEAR_LIST, CommandNeed::ListedPictures},
    {IDM_CONVERT_ALL, CommandNeed::ListedPictures},
    {IDM_THUMBNAIL_SHEET, CommandNeed::ListedPictures},
    {IDM_SAVE_LAYOUT, CommandNeed::ListedPictures},
    {IDM_COPY_LIST, CommandNeed::ListedPictures},
    {IDM_SELECT_ALL, CommandNeed::ListedPictures},
    {IDM_REFRESH_LIST, CommandNeed::ListedPictures},
    {IDM_RELEASE_SELECTED, CommandNeed::Selection},
    {IDM_CONVERT_SELECTED, CommandNeed::Selection},
    {IDM_PREVIEW_WINDOWS, CommandNeed::Selection},
    {IDM_CONVERTED_PREVIEW_WINDOWS, CommandNeed::Selection},
    {IDM_SPLIT_PICTURE, CommandNeed::OneSelected},
    {IDM_PICTURE_PROPERTIES, CommandNeed::OneSelected},
    {IDM_JOIN_PICTURES, CommandNeed::SeveralSelected},
    {IDM_MULTI_FRAME_TIFF, CommandNeed::SeveralSelected},
    {IDM_ANIMATED_GIF, CommandNeed::SeveralSelected},
    {IDM_MOVIE, CommandNeed::SeveralSelected},
    {IDM_SCREEN_SAVER, CommandNeed::SaverSelection},
    {IDM_CLOSE_PREVIEW_WINDOWS, CommandNeed::OpenPreviews},
};

constexpr int MostSaverPictures = 100;

bool isMet(CommandNeed need, const ListState& state)
{
    switch (need) {
    case CommandNeed::ListedPictures:
        return state.listed > 0;
    case CommandNeed::Selection:
        return state.selected > 0;
    case CommandNeed::OneSelected:
        return state.selected == 1;
    case CommandNeed::SeveralSelected:
        return state.selected >= 2;
    case CommandNeed::SaverSelection:
        return state.selected >= 2 && state.selected <= MostSaverPictures;
    case CommandNeed::OpenPreviews:
        return state.openPreviews > 0;
    }
    return true;
}

// What each command of the draw modes stands for, in the order of the group's commands and of the preview
// mode settings.
constexpr int DrawModeChoices[] = {PictureView::ActualSize, PictureView::Stretch, PictureView::FitCentred};

// The group's command of the choice; its last command for a choice it has none of.
int commandOfChoice(int firstCommand, std::span<const int> choices, int choice)
{
    for (size_t i = 0; i < choices.size(); ++i)
        if (choices[i] == choice)
            return firstCommand + static_cast<int>(i);
    return firstCommand + static_cast<int>(choices.size()) - 1;
}

// What the group's command stands for; the last choice for a command outside the group.
int choiceOfCommand(int firstCommand, std::span<const int> choices, int command)
{
    int index = command - firstCommand;
    return index >= 0 && index < static_cast<int>(choices.size()) ? choices[index] : choices.back();
}

} // namespace

std::span<const CommandRule> commandRules()
{
    return Rules;
}

bool isCommandEnabled(int command, const ListState& state)
{
    for (const CommandRule& rule : Rules)
        if (rule.command == command)
            return isMet(rule.need, state);
    return true;
}

bool isViewerMenuEnabled(const ListState& state)
{
    return isMet(CommandNeed::OneSelected, state);
}

int previewModeCommand(int drawMode)
{
    return commandOfChoice(IDM_PREVIEW_ACTUAL_SIZE, DrawModeChoices, drawMode);
}

int drawModeOfCommand(int command)
{
    return choiceOfCommand(IDM_PREVIEW_ACTUAL_SIZE, DrawModeChoices, command);
}

int drawModeOfPreviewSetting(int setting)
{
    return setting >= 0 && setting < static_cast<int>(std::size(DrawModeChoices)) ? DrawModeChoices[setting]
                                                                                  : PictureView::ActualSize;
}

int previewSettingOfDrawMode(int drawMode)
{
    const int* found = std::find(std::begin(DrawModeChoices), std::end(DrawModeChoices), drawMode);
    return found == std::end(DrawModeChoices) ? 0 : static_cast<int>(found - std::begin(DrawModeChoices));
}
