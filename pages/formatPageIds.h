#pragma once
// Dialog templates and control ids of the output-format pages, shared by resources/formatpages.rc
// and the pages. The templates follow the format sheet's tab order except that HD Photo (1215) comes
// before Bitmap (1216) while PNG (1214) comes after TIFF (1213).

#define IDD_JPEG_FORMAT 1211
#define IDD_GIF_FORMAT 1212
#define IDD_TIFF_FORMAT 1213
#define IDD_PNG_FORMAT 1214
#define IDD_HDP_FORMAT 1215
#define IDD_BMP_FORMAT 1216

// Every format page: the box that switches its options on.
#define IDC_FORMAT_ENABLE 1002

// JPEG and HD Photo.
#define IDC_QUALITY_ASSIGN 1170
#define IDC_SIZE_ASSIGN 1171
#define IDC_QUALITY_LABEL 1006
#define IDC_QUALITY 1003
#define IDC_QUALITY_VALUE 1005
#define IDC_FILE_SIZE_LABEL 1172
#define IDC_FILE_SIZE 1173
#define IDC_FILE_SIZE_UNIT 1174
#define IDC_JPEG_EXIF 1090
#define IDC_HDP_LOSSLESS 1227

// GIF, PNG and TIFF: the transparent colour.
#define IDC_FORMAT_ASSIGN_COLOR 1061
#define IDC_FORMAT_SWATCH 1062
#define IDC_FORMAT_CHOOSE_COLOR 1028
#define IDC_PNG_ALPHA_LABEL 1123
#define IDC_PNG_ALPHA 1124

// TIFF.
#define IDC_TIFF_COMPRESSION_LABEL 1038
#define IDC_TIFF_COMPRESSION 1029
#define IDC_TIFF_TRANSPARENT 1205
#define IDC_TIFF_ALPHA_LABEL 1206
#define IDC_TIFF_ALPHA 1207

// TIFF and Bitmap.
#define IDC_ERROR_DIFFUSION 1089

// Bitmap.
#define IDC_BPP_24 1085
#define IDC_BPP_8 1086
#define IDC_BPP_4 1087
#define IDC_BPP_1 1088
#define IDC_PAL8 1082
#define IDC_PAL4 1083
