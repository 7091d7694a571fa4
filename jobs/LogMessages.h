#pragma once
#include <windows.h>
#include "foundation/SimpleString.h"
#include "foundation/wstring.h"

// The texts of the job logs, one buffer per id of the "LogMessages" table: start and end lines (with "%s" for
// the date and time), count labels and the notes on stops and deleted sources. Filled once at start-up, before
// any job runs, and only read afterwards.
namespace LogMessages {
extern SimpleString M001, M002, M003, M004, M005, M006, M007;
extern SimpleString M101, M102, M103, M104;
extern SimpleString M201, M202, M203, M204;
extern SimpleString M301, M302, M303, M304;
extern SimpleString M401, M402, M403, M404;
extern SimpleString M501, M502, M503, M504;
extern SimpleString M601, M602, M603, M604;
extern SimpleString M701, M702, M703, M704;
extern SimpleString C001, C002, C003, C004, C005, C006, C007;
} // namespace LogMessages

// Fills every buffer from the "LogMessages" table of the module, in id order. A missing id throws Exception 87
// and leaves it and the later buffers as they were; a missing table throws Exception with the system error.
void loadLogMessages(HMODULE module);

// A message text with its "%s" replaced by the value (a path or a count).
wstring fillIn(const SimpleString& text, const wstring& value);
// A start or end line: the text with the current local date and time ("yyyy:MM:dd HH:mm:ss") in place of "%s".
wstring stampedLogText(const SimpleString& text);
