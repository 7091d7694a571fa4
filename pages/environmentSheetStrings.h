#pragma once
// The strings of the environment sheet, shared by the string table of resources/envpages.rc and the pages.
// The layout files' filter (IDS_LAYOUT_FILTER) is named with the main window's strings, since its dialogs use it
// too.
#include "mainwindow/mainWindowStrings.h"

#define IDS_ENVIRONMENT_SHEET 2224
// The lists of the drop-down boxes.
#define IDS_THUMBNAIL_KINDS 2313
#define IDS_THUMBNAIL_SIZES 2318
#define IDS_PREVIEW_BACKS 2319
#define IDS_THUMBNAIL_CHARSETS 2321
