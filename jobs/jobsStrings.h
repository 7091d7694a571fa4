#pragma once
// The strings that the jobs load, shared by the string table of resources/strings.rc and the code.

// The labels of a report sheet's lines about a picture.
#define IDS_REPORT_LABELS 2341

// Why the command line refuses a "/log" that names a file of the run, each with the log's path for "%s": a
// source, a target, the settings file of "/par", the program's own settings file.
#define IDS_LOG_IS_SOURCE 2620
#define IDS_LOG_IS_TARGET 2621
#define IDS_LOG_IS_PAR_FILE 2622
#define IDS_LOG_IS_SETTINGS_FILE 2623
