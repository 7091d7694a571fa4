#pragma once
// The strings of the rename sheet, shared by the string table of resources/rename.rc and the pages.

#define IDS_RENAME_SHEET 2229
