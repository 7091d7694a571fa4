#pragma once
#include "foundation/MessageWriter.h"
#include "toolkit/OutputPane.h"
#include "toolkit/UserWindow.h"

// The conversion log: a top-level window whose only child is an output pane (id 101) filling it. Jobs write
// their lines into it from their worker threads. Its close box only hides it, so the lines written while it
// is hidden are there when it is shown again; it is destroyed with the program's message loop.
class LogWindow : public UserWindow, public MessageWriter {
public:
    static constexpr int PaneId = 101;

    ~LogWindow() override;

    // Detaches the pane, then destroys the window when it still exists.
    BOOL destroy() override;
    // A pane that cannot be made refuses the window.
    bool onCreate(const CREATESTRUCTW& creation, bool& refuse) override;
    bool onSize(UINT kind, const Size& client) override;
    bool onSetFocus(HWND previous) override;
    // Only hides the window.
    bool onClose() override;

    // Appended to the pane unchanged. Exception 1400 when the pane is gone.
    void write(const wstring& text) override;
    void write(const astring& text) override;
    // Keeps only the last `lines` lines (Window/LogLines). Exception 1400 when the pane is gone, 87 for 0 or
    // less.
    void setLimit(int lines);
    // For the colour of the next lines.
    OutputPane& getPane() { return pane; }

private:
    OutputPane pane;
};

// The application's one log window, which the jobs write to while it is a live window. The application
// lends it once it has made it and takes it back (null) before destroying it; jobs read it on their worker
// threads.
void setAppLogWindow(LogWindow* window);
LogWindow* getAppLogWindow();
