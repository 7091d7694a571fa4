#pragma once
#include "foundation/wstring.h"

// The running system and the process environment.

// The text with its %NAME% references expanded; unknown names stay as they are. Failures throw Exception with
// the last error.
wstring expandEnvironmentStrings(const wstring& text);

bool isWindowsVistaOrLater();
bool isWindows7OrLater();
