#pragma once
// The strings that the jobs load, shared by the string table of resources/strings.rc and the code.

// The labels of a report sheet's lines about a picture.
#define IDS_REPORT_LABELS 2341
