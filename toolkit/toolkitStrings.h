#pragma once
// The strings that the toolkit loads, shared by the string table of resources/strings.rc and the code.

// The shell list view's column captions where the system's shell library has none.
#define IDS_NAME_COLUMN 2351
#define IDS_SIZE_COLUMN 2352
#define IDS_TYPE_COLUMN 2353
#define IDS_MODIFIED_COLUMN 2354
