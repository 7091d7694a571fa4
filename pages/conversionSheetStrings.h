#pragma once
// The strings of the conversion sheet, shared by the string table of resources/pages.rc and the pages.

#define IDS_CONVERSION_SHEET 2225
// The lists of the pages' drop-down boxes.
#define IDS_FILTERS 2312
#define IDS_ADJUSTS 2316
#define IDS_ORIENTATIONS 2317
#define IDS_RENDER_POSITIONS 2320
#define IDS_TEXT_POSITIONS 2322
#define IDS_SHAPES 2323
// The names of the conversion steps, which the main window's string table holds (resources/strings.rc).
#define IDS_STEP_LABELS 2340
