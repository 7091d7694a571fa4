#pragma once

class AppSetting;
class Application;
class Dib;
class LogWindow;
class WorkerPool;

// What the main window and the classes of its commands use of the program: its names, strings, message boxes
// and named mutex (the application base), the settings record of the run, the log window, the worker pool that
// loads and scales every picture of the windows, and the preview background swatches. The application object owns all of them for the whole windowed run; it hands them to
// the main window, which hands them on as it makes its parts, so that nothing of the window reaches for the
// application object.
struct MainWindowServices {
    Application& program;
    AppSetting& setting;
    // Its window is made after the main window's.
    LogWindow& logWindow;
    // Made after GDI+ has started and stopped before it ends, once every window has gone.
    WorkerPool& workers;
    // View/PreviewBack n selects swatch n - 1.
    const Dib* swatches = nullptr;
    int swatchCount = 0;
};
