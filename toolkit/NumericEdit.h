#pragma once
#include "foundation/Decimal.h"
#include "toolkit/Control.h"

inline constexpr wchar_t NumericEditClassName[] = L"NumericEdit";

// A field for a decimal number within a range and with a fixed number of decimals: an edit box with spin
// arrows on its right. The text is shown and read in the thread locale's number format; the value always
// lies within the range. The parent learns of every change through WM_COMMAND with the code ChangedCode,
// and of the edit box's own notifications under the control's id. Every operation throws Exception 1400
// when the window is gone.
class NumericEdit : public Control {
public:
    static constexpr int EditId = 101;
    static constexpr int SpinId = 102;
    // WM_USER+101 answers the controller; WM_USER+102 steps the value by wParam (1 up, -1 down, 0 only
    // re-reads the text) and notifies the parent.
    static constexpr UINT GetControllerMessage = WM_USER + 101;
    static constexpr UINT StepMessage = WM_USER + 102;
    static constexpr WORD ChangedCode = 0x4C9;

    // The control's state, one per window in its property "NumericEdit".
    struct Controller {
        virtual ~Controller() = default;

        // Text -> value (when reading), step, clamp and round, value -> text (when writing).
        void normalize(bool readText, int step, bool writeText);
        // Maximum below minimum or negative decimals throw Exception 87 and change nothing.
        void setRange(const Decimal& newMinimum, const Decimal& newMaximum, int newDecimals);

        HWND window = nullptr;
        Decimal minimum{0};
        Decimal maximum{100};
        Decimal value{0};
        int decimals = 0;
        // 10 to the power of decimals: one step is its inverse. 0 until the first range.
        Decimal unit{0};
    };

    // A class already registered counts as registered; another failure throws Exception with the system's
    // error.
    static void registerClass();

    void create(HWND parent, int id, const Rect& rect, DWORD exStyle, DWORD style) override
    {
        createControl(NumericEditClassName, parent, id, rect, exStyle, style, true);
    }
    HWND attach(HWND window) override { return attachControl(NumericEditClassName, window); }

    Controller& controller() const;
    void setRange(const Decimal& minimum, const Decimal& maximum, int decimals);
    // Shows the value, brought within the range and rounded.
    void setValue(const Decimal& value);
    // The value as typed, brought within the range and rounded; the text is left as the user typed it.
    Decimal getValue();
    // The value's integer part (cut toward zero); one beyond the 32-bit range throws Exception with the
    // HRESULT.
    int getInt() { return getValue().toInt(); }
};
