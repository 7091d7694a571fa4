#pragma once
// The main window's strings, shared by the string tables of resources/*.rc, the main window and the pages.

// The splitter's tips: over the list and over the preview pane.
#define IDS_LIST_TIP 2221
#define IDS_PREVIEW_TIP 2222
// The toolbar's tips. The two settings buttons show the titles of their sheets, which the sheets' string tables
// hold (resources/pages.rc, resources/formatpages.rc).
#define IDS_ADD_FILES_TIP 2301
#define IDS_RELEASE_FILES_TIP 2302
#define IDS_CONVERT_ALL_TIP 2303
#define IDS_JPEG_TIP 2330
#define IDS_GIF_TIP 2331
#define IDS_TIFF_TIP 2332
#define IDS_PNG_TIP 2333
#define IDS_HD_PHOTO_TIP 2334
#define IDS_BITMAP_TIP 2335
#define IDS_CONVERSION_SHEET 2225
#define IDS_FORMAT_SHEET 2228

// The file filters of the dialogs; the layout files' is the environment sheet's too (resources/strings.rc).
#define IDS_ALL_FILES_FILTER 2232
#define IDS_HTML_FILTER 2233
#define IDS_LAYOUT_FILTER 2234
#define IDS_SETTINGS_FILTER 2236
#define IDS_PNG_FILTER 2237
#define IDS_TIFF_FILTER 2238
#define IDS_GIF_FILTER 2239
#define IDS_AVI_FILTER 2240
#define IDS_SCREEN_SAVER_FILTER 2241

// The file list's context menu, its item of the external viewers, the folder dialogs' title, the log window's.
#define IDS_LIST_MENU 2308
#define IDS_VIEWER_MENU 2701
#define IDS_FOLDER_TITLE 2401
#define IDS_LOG_TITLE 2402

// The status bar.
#define IDS_SELECTED_STATUS 2502
#define IDS_NO_FILE_STATUS 2503
#define IDS_CONVERT_TO_STATUS 2504
#define IDS_ESCAPE_STATUS 2505
#define IDS_SUMMARY_TIP 2510

// What a command answers while the window it opens is not part of the program yet.
#define IDS_NOT_YET 2990

// The preview pane and windows (resources/preview.rc).
#define IDS_PREVIEW_KEYS_TIP 2223
#define IDS_CONVERTED_TITLE 2227
#define IDS_PREVIEW_MENU 2309
#define IDS_NO_PRINTER 2390
#define IDS_PRINT_FAILED 2391

// What the window says of a settings file that it cannot read or write (resources/settingsfile.rc).
#define IDS_SETTINGS_KEPT_ASIDE 2610
#define IDS_SETTINGS_UNOPENED 2611
#define IDS_UNSTORABLE_VALUE 2612
#define IDS_UNIMPORTABLE_VALUE 2613

// The names of the conversion steps, also the conversion sheet's (resources/strings.rc).
#define IDS_STEP_LABELS 2340
