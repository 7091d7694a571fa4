#pragma once
// The strings of the conversion sheet, shared by the string table of resources/pages.rc and the pages.
// The sheet's title (IDS_CONVERSION_SHEET) and the names of the conversion steps (IDS_STEP_LABELS) are named
// with the main window's strings, since the toolbar and the status bar show them too.
#include "mainwindow/mainWindowStrings.h"

// The lists of the pages' drop-down boxes.
#define IDS_FILTERS 2312
#define IDS_ADJUSTS 2316
#define IDS_ORIENTATIONS 2317
#define IDS_RENDER_POSITIONS 2320
#define IDS_TEXT_POSITIONS 2322
#define IDS_SHAPES 2323
