#pragma once

// Process-wide set-up that runs before the entry point: the common controls are started and the size of the
// tool-tip record is chosen once. Nothing can be reported that early, so a failure is kept until the entry
// point's application object asks for it.
class StartUp {
public:
    // Throws Exception with the error of a failed start-up.
    static void check();
    // The cbSize of every tool-tip registration.
    static int getToolTipRecordSize();
};
