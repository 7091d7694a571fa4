#pragma once
#include "foundation/MessageWriter.h"
#include "toolkit/Control.h"

inline constexpr wchar_t OutputPaneClassName[] = L"OutputPane";

// The control that shows the conversion log: a read-only rich-edit control (child 101) inside a thin
// container of the class "OutputPane". Text is appended at the end in the current colour, the newest line
// is kept in view, and the oldest lines go once the pane holds more than its limit. Worker threads may write:
// every change of the text is carried out by the container's window procedure, on the thread that owns the
// window, in one message, so lines written from two threads never interleave.
//
// Every operation throws Exception 1400 when the container is not a live window.
class OutputPane : public Control, public MessageWriter {
public:
    // What the pane keeps per window, in the window property "OutputPane"; WM_USER+101 returns it.
    class Controller {
    public:
        explicit Controller(HWND window) : window(window) {}
        virtual ~Controller() = default;

        HWND window;
        int maxLines = DefaultMaxLines;
        // The colour of the text appended next; negative: the system's text colour.
        int textColor = -1;
    };

    static constexpr int DefaultMaxLines = 256;
    static constexpr int RichEditId = 101;
    static constexpr UINT GetController = WM_USER + 101;

    // Loads the rich-edit library for the rest of the run and registers the class; a class registered
    // before counts as registered. Failures throw Exception with the system's error.
    static void registerClass();

    void create(HWND parent, int id, const Rect& rect, DWORD exStyle, DWORD style) override;
    HWND attach(HWND window) override { return attachControl(OutputPaneClassName, window); }

    // Appends the text exactly as given (callers end their lines with "\r\n").
    void write(const wstring& text) override;
    // 8-bit text in the ANSI code page.
    void write(const astring& text) override;
    // Returns the font used before.
    HFONT setFont(HFONT font);
    // The colour of the text appended from now on; negative: the system's text colour. Text already in the
    // pane keeps its colour.
    void setTextColor(int color);
    // Trims the pane to its last `lines` lines at once; 0 or less throws Exception 87.
    void setMaxLines(int lines);
    Controller* getController() const;
    // The rich-edit control inside.
    HWND getTextControl() const;
};
