#pragma once
#include "settings/formatCommandIds.h"
// The main window's commands and the menus and keys that give them, shared by resources/mainwindow.rc,
// resources/preview.rc and the code. The id of a command of the menus is also the id of its help line, which
// the status bar shows while the item is highlighted. The main window runs them (MyMainWindow::runCommand);
// the preview pane's own items run in PPView::onCommand.

#define IDR_MAIN_ACCELERATORS 4020
#define IDR_MAIN_MENU 4031
// The preview pane's popup of where it lies beside the list.
#define IDR_PREVIEW_POSITION_MENU 4032

// File menu.
#define IDM_CLEAR_LIST 4102
#define IDM_ADD_FILES 4103
#define IDM_RELEASE_SELECTED 4104
#define IDM_CONVERT_ALL 4105
#define IDM_CONVERT_SELECTED 4106
#define IDM_THUMBNAIL_SHEET 4107
#define IDM_SPLIT_PICTURE 4108
#define IDM_JOIN_PICTURES 4109
#define IDM_MULTI_FRAME_TIFF 4110
#define IDM_ANIMATED_GIF 4111
#define IDM_MOVIE 4112
#define IDM_SCREEN_SAVER 4113
#define IDM_OPEN_LAYOUT 4114
#define IDM_SAVE_LAYOUT 4115
#define IDM_EXIT 4116

// Edit menu.
#define IDM_COPY_LIST 4121
#define IDM_SELECT_ALL 4122
#define IDM_PICTURE_PROPERTIES 4123
// The output format, one of them checked: IDM_FORMAT_JPEG to IDM_FORMAT_BITMAP.

// View menu: the bars, panes and windows shown or hidden.
#define IDM_TOGGLE_TOOLBAR 4143
#define IDM_TOGGLE_STATUSBAR 4144
#define IDM_TOGGLE_PREVIEW 4145
#define IDM_TOGGLE_LOG_WINDOW 4146
// The notification code with which IDM_TOGGLE_LOG_WINDOW only shows the log window: a job that starts
// logging never hides it.
#define CODE_SHOW_LOG_ONLY 1
#define IDM_PREVIEW_WINDOWS 4147
#define IDM_CLOSE_PREVIEW_WINDOWS 4148
#define IDM_ALWAYS_ON_TOP 4149
#define IDM_REFRESH_LIST 4150
#define IDM_CONVERTED_PREVIEW_WINDOWS 4151
// The file list's view modes, in the order of IFileListView's, and its grouping.
#define IDM_LIST_PATHS 4152
#define IDM_LIST_FILE_NAMES 4153
#define IDM_LIST_COMPACT 4154
#define IDM_LIST_CONTENT 4155
#define IDM_LIST_ICONS 4156
#define IDM_LIST_GROUPING 4159
// How the preview draws its picture; also in the preview pane's context menu.
#define IDM_PREVIEW_ACTUAL_SIZE 4160
#define IDM_PREVIEW_STRETCH 4161
#define IDM_PREVIEW_FIT 4162
// Where the preview lies beside the list, in the order of MyMainWindow::PreviewPosition.
#define IDM_PREVIEW_LEFT 4301
#define IDM_PREVIEW_TOP 4302
#define IDM_PREVIEW_RIGHT 4303
#define IDM_PREVIEW_BOTTOM 4304
// The external viewers of the selected picture: entry n of the viewer list is IDM_FIRST_VIEWER + n.
#define IDM_FIRST_VIEWER 13001
#define IDM_LAST_VIEWER 13101

// Settings menu.
#define IDM_ENVIRONMENT_SETTINGS 4163
#define IDM_CONVERSION_SETTINGS 4164
#define IDM_PLUGIN_SETTINGS 4165
#define IDM_RENAME_SETTINGS 4166
#define IDM_ASSOCIATE_LAYOUTS 4167
#define IDM_SAVE_SETTINGS 4168
#define IDM_DELETE_SETTINGS 4169
#define IDM_FORMAT_SETTINGS 4170
#define IDM_SAVE_SETTINGS_AS 4171
#define IDM_LOAD_SETTINGS 4172
#define IDM_VIEWER_SETTINGS 4173

// Help menu.
#define IDM_HELP 4181
#define IDM_VERSION 4182

// Only in the file list's context menu.
#define IDM_START_EXPLORER 4201

// Only in the preview pane's and the preview windows' context menu.
#define IDM_COPY_COLOUR_HEX 4202
#define IDM_COPY_COLOUR_DECIMAL 4203
#define IDM_COPY_PICTURE 4204
#define IDM_PRINT 4205
#define IDM_NEXT_FRAME 4206
#define IDM_PREVIOUS_FRAME 4207
#define IDM_PLAY_ANIMATION 4208
#define IDM_STOP_ANIMATION 4209
