#pragma once
#include "toolkit/Control.h"

inline constexpr wchar_t EditClassName[] = L"Edit";

// A text field.
class Edit : public ClassControl<EditClassName> {
public:
    void limitText(int characters) { sendMessage(EM_LIMITTEXT, static_cast<WPARAM>(characters)); }
};
