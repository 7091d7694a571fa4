#pragma once
// The strings that the picture readers load, shared by the string table of resources/strings.rc and the code.

// The open-file dialog's first filter, "画像ファイル (*.bmp;...)|*.bmp;...": the pictures that the program reads
// itself.
#define IDS_PICTURE_FILTER 2231
// The word after a plug-in's name in its file-dialog filter.
#define IDS_PLUGIN_FILTER_TAG 2310
