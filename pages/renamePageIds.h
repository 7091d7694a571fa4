#pragma once
// Dialog templates, control ids and the help page of the rename sheet's pages, shared by resources/rename.rc
// and the pages. Template and control ids share numbers (IDD_ and IDC_ keep them apart).

#define IDD_RENAME 1221
#define IDD_FILTER 1222
#define IDD_OUTPUT_EXT 1223

// Rename.
#define IDC_RENAME_HELP_FAILED 1213
#define IDC_RENAME_HELP 1214
#define IDC_RENAME_ENABLE 1215
#define IDC_RENAME_RULE_LABEL 1216
#define IDC_RENAME_RULE 1217

// Sorting into sub-folders.
#define IDC_FILTER_ENABLE 1218
#define IDC_FILTER_BY_FOLDER 1219
#define IDC_FILTER_BY_YEAR 1220
#define IDC_FILTER_BY_MONTH 1221
#define IDC_FILTER_BY_DAY 1222
#define IDC_FILTER_BY_NAME 1223
#define IDC_FILTER_LENGTH_LABEL 1224
#define IDC_FILTER_LENGTH 1225

// Output extensions: a label and an edit per format, in screen order.
#define IDC_EXT_ENABLE 1228
#define IDC_EXT_JPEG_LABEL 1229
#define IDC_EXT_JPEG 1230
#define IDC_EXT_GIF_LABEL 1231
#define IDC_EXT_GIF 1232
#define IDC_EXT_TIFF_LABEL 1233
#define IDC_EXT_TIFF 1234
#define IDC_EXT_PNG_LABEL 1235
#define IDC_EXT_PNG 1236
#define IDC_EXT_HDPHOTO_LABEL 1237
#define IDC_EXT_HDPHOTO 1238
#define IDC_EXT_BITMAP_LABEL 1239
#define IDC_EXT_BITMAP 1240
#define IDC_EXT_RESET 1241
