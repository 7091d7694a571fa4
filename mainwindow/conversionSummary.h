#pragma once
#include <windows.h>
#include "foundation/wstring.h"

class AppSetting;

// The names of the enabled conversion steps in the user's order, joined by "/" ("リサイズ/回転"), for the
// status bar's tip; names the module's strings lack throw Exception 87.
wstring conversionSummary(const AppSetting& setting, HMODULE module);
