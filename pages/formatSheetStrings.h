#pragma once
// The strings of the format sheet, shared by the string table of resources/formatpages.rc and the pages.
// The sheet's title (IDS_FORMAT_SHEET) is named with the main window's strings, since the toolbar shows it too.
#include "mainwindow/mainWindowStrings.h"

// The lists of the drop-down boxes.
#define IDS_TIFF_COMPRESSIONS 2311
#define IDS_PAL8_PALETTES 2314
#define IDS_PAL4_PALETTES 2315
