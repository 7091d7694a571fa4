#pragma once
// The strings that the conversion loads, shared by the string table of resources/strings.rc and the code.

// The MIME types of the output formats, in format order.
#define IDS_MIME_TYPES 2342
