#pragma once
#include "toolkit/Control.h"

inline constexpr wchar_t StaticClassName[] = L"Static";

// A label, picture or frame of a dialog.
class Static : public ClassControl<StaticClassName> {};
