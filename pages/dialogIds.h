#pragma once
// Dialog templates, control ids, strings and the icon of the plug-in, viewer, picture-properties and version
// dialogs, shared by resources/dialogs.rc and the dialogs. Template and control ids share numbers (IDD_ and
// IDC_ keep them apart).

#define IDD_SPI 1301
#define IDD_VIEWER 1302
#define IDD_VIEWER_ENTRY 1303
#define IDD_PICTURE_GENERAL 1401
#define IDD_PICTURE_PALETTE 1402
#define IDD_PICTURE_HISTOGRAM 1403
#define IDD_VERSION 1501

// The list dialogs: the list and its buttons.
#define IDC_LIST 1031
#define IDC_ADD 1032
#define IDC_DELETE 1034
#define IDC_UP 1036
#define IDC_DOWN 1037
#define IDC_EDIT_ENTRY 1248

// A viewer's entry.
#define IDC_VIEWER_EXTS 1245
#define IDC_VIEWER_NAME 1246
#define IDC_VIEWER_PATH 1247
#define IDC_VIEWER_CHOOSE 1042

// General page of the picture properties.
#define IDC_PICTURE_THUMBNAIL 1102
#define IDC_PICTURE_NAME 1103
#define IDC_PICTURE_SIZE 1104
#define IDC_PICTURE_CREATED 1105
#define IDC_PICTURE_MODIFIED 1106
#define IDC_PICTURE_DIMENSIONS 1107
#define IDC_PICTURE_DEPTH 1108
#define IDC_PICTURE_MODEL 1109
#define IDC_PICTURE_MAKER 1110
#define IDC_PICTURE_SHOT_DATE 1111
#define IDC_PICTURE_USE_SHOT_DATE 1122
#define IDC_PICTURE_FRAMES 1204
#define IDC_PICTURE_RESOLUTION 1258

// Palette page.
#define IDC_PALETTE_COUNT 1112
#define IDC_PALETTE_RED 1113
#define IDC_PALETTE_GREEN 1114
#define IDC_PALETTE_BLUE 1115
#define IDC_PALETTE_VALUE 1116
#define IDC_PALETTE 1117

// Histogram page.
#define IDC_HISTOGRAM 1164
#define IDC_HISTOGRAM_LUMINANCE 1165
#define IDC_HISTOGRAM_RED 1166
#define IDC_HISTOGRAM_GREEN 1167
#define IDC_HISTOGRAM_BLUE 1168
#define IDC_HISTOGRAM_STRIP 1169

// Version dialog.
#define IDC_VERSION_TITLE 1011
#define IDC_VERSION_LEGAL 1014
#define IDI_VERSION 2

#define IDS_PICTURE_PROPERTIES_SHEET 2226
#define IDS_SPI_FILTER 2235
#define IDS_VIEWER_FILTER 2242
#define IDS_SPI_COLUMNS 2304
#define IDS_SPI_STATES 2305
#define IDS_SPI_UNKNOWN 2306
#define IDS_VIEWER_COLUMNS 2307
#define IDS_VIEWER_EDIT_TITLE 2703
