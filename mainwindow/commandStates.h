#pragma once
#include <span>
#include "mainwindow/mainCommandIds.h"

// When the main window's commands can be chosen, read alike by the main menu, the toolbar and the file
// list's context menu, and which item of a choice is checked.

// What the enabled commands depend on.
struct ListState {
    int listed = 0;
    int selected = 0;
    int openPreviews = 0;
};

enum class CommandNeed {
    ListedPictures,
    Selection,
    OneSelected,
    // Two or more selected.
    SeveralSelected,
    // Two to a hundred selected.
    SaverSelection,
    OpenPreviews,
};

struct CommandRule {
    int command;
    CommandNeed need;
};

// Every command that needs something; the others can always be chosen.
std::span<const CommandRule> commandRules();
bool isCommandEnabled(int command, const ListState& state);
// The external viewers' submenu: for the one selected picture.
bool isViewerMenuEnabled(const ListState& state);

// A PictureView draw mode's command; the modes that have none are shown as fitting.
int previewModeCommand(int drawMode);
// An id that is no draw mode's command gives fitting.
int drawModeOfCommand(int command);
// The draw mode of a View/PreviewMode or View/PreviewInitMode value (0 actual size, 1 stretch, 2 stretch keeping
// the aspect), the commands' order; other values show the actual size.
int drawModeOfPreviewSetting(int setting);
// The setting of a draw mode; the modes that have none are stored as actual size.
int previewSettingOfDrawMode(int drawMode);
