#include "toolkit/NumericEdit.h"
#include <commctrl.h>
#include <algorithm>
#include "toolkit/ControlState.h"
#include "toolkit/ControlClass.h"
#include "toolkit/UserWindow.h"

namespace {

constexpr wchar_t PropertyName[] = L"NumericEdit";
// The text read from the edit box is cut at this length.
constexpr int MaxTextLength = 99;
// Until the first range: "0" to "100".
constexpr int InitialTextLimit = 3;
constexpr DWORD SpinStyle = WS_CHILD | WS_VISIBLE | UDS_ALIGNRIGHT | UDS_AUTOBUDDY | UDS_ARROWKEYS | UDS_NOTHOUSANDS;

using Controller = NumericEdit::Controller;

Controller* controllerOf(HWND window)
{
    return controlState<Controller>(window, PropertyName);
}

HWND editOf(HWND window)
{
    return GetDlgItem(window, NumericEdit::EditId);
}

Decimal powerOfTen(int exponent)
{
    Decimal power(1);
    for (int i = 0; i < exponent; ++i)
        power *= Decimal(10);
    return power;
}

wstring editText(HWND edit)
{
    wchar_t text[MaxTextLength + 1] = L"";
    GetWindowTextW(edit, text, MaxTextLength + 1);
    return text;
}

LRESULT created(HWND window)
{
    RECT client;
    GetClientRect(window, &client);
    HINSTANCE instance = GetModuleHandleW(nullptr);
    HWND edit = CreateWindowExW(WS_EX_CLIENTEDGE, L"Edit", L"0", WS_CHILD | WS_VISIBLE | ES_RIGHT, 0, 0,
                                client.right, client.bottom, window,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(NumericEdit::EditId)), instance,
                                nullptr);
    if (!edit)
        return -1;
    // The spin control's position means nothing: every arrow is a step of the value, whatever it says.
    if (!CreateUpDownControl(SpinStyle, 0, 0, GetSystemMetrics(SM_CXVSCROLL), client.bottom, window,
                             NumericEdit::SpinId, instance, edit, 1, 0, 0))
        return -1;
    if (HWND parent = GetParent(window))
        if (LRESULT font = SendMessageW(parent, WM_GETFONT, 0, 0))
            SendMessageW(edit, WM_SETFONT, static_cast<WPARAM>(font), FALSE);
    SendMessageW(edit, EM_LIMITTEXT, InitialTextLimit, 0);
    return createControlState<Controller>(window, PropertyName);
}

void resized(HWND window)
{
    RECT client;
    GetClientRect(window, &client);
    HWND edit = editOf(window);
    MoveWindow(edit, 0, 0, client.right, client.bottom, TRUE);
    // Setting the buddy again places the arrows at the right edge of the resized box.
    SendDlgItemMessageW(window, NumericEdit::SpinId, UDM_SETBUDDY, reinterpret_cast<WPARAM>(edit), 0);
}

void step(HWND window, int direction)
{
    Controller* state = controllerOf(window);
    try {
        state->normalize(true, direction, true);
        notifyParent(window, NumericEdit::ChangedCode);
    } catch (const Exception&) {
        // A value beyond the decimal type's range: the field keeps what it showed.
    }
}

void editCommand(HWND window, WPARAM wParam)
{
    WORD code = HIWORD(wParam);
    HWND edit = editOf(window);
    if (code == EN_KILLFOCUS && SendMessageW(edit, EM_GETMODIFY, 0, 0)) {
        SendMessageW(window, NumericEdit::StepMessage, 0, 0);
        SendMessageW(edit, EM_SETMODIFY, TRUE, 0);
    }
    notifyParent(window, code);
}

LRESULT CALLBACK numericEditProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CREATE)
        return created(window);
    Controller* state = controllerOf(window);
    if (!state)
        return DefWindowProcW(window, message, wParam, lParam);
    switch (message) {
    case WM_DESTROY:
        destroyControlState<Controller>(window, PropertyName);
        return 0;
    case WM_SIZE:
        resized(window);
        return 0;
    case WM_SETFOCUS:
        SetFocus(editOf(window));
        SendMessageW(editOf(window), EM_SETSEL, 0, -1);
        return 0;
    case WM_ENABLE:
        EnableWindow(editOf(window), wParam != 0);
        EnableWindow(GetDlgItem(window, NumericEdit::SpinId), wParam != 0);
        break;
    case WM_NOTIFY: {
        auto* header = reinterpret_cast<NMHDR*>(lParam);
        if (header->code != UDN_DELTAPOS)
            break;
        int delta = reinterpret_cast<NMUPDOWN*>(lParam)->iDelta;
        if (delta != 0)
            SendMessageW(window, NumericEdit::StepMessage, static_cast<WPARAM>(delta > 0 ? 1 : -1), 0);
        return 0;
    }
    case WM_COMMAND:
        if (LOWORD(wParam) != NumericEdit::EditId)
            break;
        editCommand(window, wParam);
        return 0;
    case NumericEdit::GetControllerMessage:
        return reinterpret_cast<LRESULT>(state);
    case NumericEdit::StepMessage:
        step(window, static_cast<int>(static_cast<INT_PTR>(wParam)));
        return 0;
    default:
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

} // namespace

void NumericEdit::Controller::normalize(bool readText, int step, bool writeText)
{
    Decimal next = value;
    if (readText)
        next.parseLocaleOrDefault(editText(editOf(window)), Decimal(0));
    if (step != 0) {
        Decimal increment = unit.compare(Decimal(0)) == VARCMP_GT ? Decimal(1).divide(unit) : Decimal(1);
        if (step < 0)
            increment *= Decimal(-1);
        next += increment;
    }
    if (next.compare(minimum) == VARCMP_LT)
        next = minimum;
    if (next.compare(maximum) == VARCMP_GT)
        next = maximum;
    value = next.round(decimals);
    if (writeText)
        SetWindowTextW(editOf(window), value.toLocaleString(decimals).buffer());
}

void NumericEdit::Controller::setRange(const Decimal& newMinimum, const Decimal& newMaximum, int newDecimals)
{
    if (newMaximum.compare(newMinimum) == VARCMP_LT || newDecimals < 0)
        Exception::throwInvalidArgument();
    Decimal newUnit = powerOfTen(newDecimals);
    Decimal roundedMinimum = newMinimum.round(newDecimals);
    Decimal roundedMaximum = newMaximum.round(newDecimals);
    int limit = std::max(roundedMinimum.toStringDecimals(newDecimals).length(),
                         roundedMaximum.toStringDecimals(newDecimals).length());
    decimals = newDecimals;
    unit = newUnit;
    minimum = roundedMinimum;
    maximum = roundedMaximum;
    SendMessageW(editOf(window), EM_LIMITTEXT, static_cast<WPARAM>(limit), 0);
    normalize(false, 0, true);
}

void NumericEdit::registerClass()
{
    registerControlClass(NumericEditClassName, numericEditProcedure);
}

NumericEdit::Controller& NumericEdit::controller() const
{
    auto* state = reinterpret_cast<Controller*>(sendMessage(GetControllerMessage));
    if (!state)
        throw Exception(ErrorCode::WindowGone);
    return *state;
}

void NumericEdit::setRange(const Decimal& minimum, const Decimal& maximum, int decimals)
{
    controller().setRange(minimum, maximum, decimals);
}

void NumericEdit::setValue(const Decimal& value)
{
    Controller& state = controller();
    state.value = value;
    state.normalize(false, 0, true);
}

Decimal NumericEdit::getValue()
{
    Controller& state = controller();
    state.normalize(true, 0, false);
    return state.value;
}
