#pragma once
// The strings that the settings load, shared by the string table of resources/strings.rc and the code.

// The font faces to try, first installed first, for the text overlay and the log window.
#define IDS_FONT_FACES 2210
// The faces of the dialogs' font when the settings file names none (Window/UiFontFaces).
#define IDS_UI_FONT_FACES 2211
// The extensions of each output format, a group of ":"-separated ones per format.
#define IDS_OUTPUT_EXTENSIONS 2343
// The output formats' names and the text encodings' names that the command line takes.
#define IDS_FORMAT_NAMES 2344
#define IDS_ENCODING_NAMES 2345
