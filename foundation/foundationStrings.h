#pragma once
// The strings that the foundation loads, shared by the string table of resources/strings.rc and the code.

// What an exception says when a resource cannot be loaded.
#define IDS_RESOURCE_LOAD_FAILED 2600
