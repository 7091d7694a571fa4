#pragma once
#include "toolkit/Control.h"

inline constexpr wchar_t ButtonClassName[] = L"Button";

// A push button, check box, radio button or group box.
class Button : public ClassControl<ButtonClassName> {
public:
    void setCheck(bool checked) { sendMessage(BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED); }
    bool getCheck() const { return sendMessage(BM_GETCHECK) != BST_UNCHECKED; }
};
