#pragma once
#include <memory>
#include <vector>
#include "foundation/wstring.h"
#include "mainwindow/MainWindowServices.h"
#include "mainwindow/PreviewWindow.h"
#include "toolkit/UserWindow.h"

class Dib;

// The preview windows of the run, newest first, and their window class ("<application name>Preview", icon
// 201 of the resource module). The main pane owns one; how it uses it:
//   - open(path, false, 0, L"") on the main window's OpenPreviewMessage with the preview pane's
//     path; open(path, true, format, formatName) for a converted preview, with the pane's output format index
//     and the format's name for the title. Errors come as ApplicationException ("E0003" for a missing file,
//     "E0004" for any other failure) for the caller to show; Esc during a conversion makes open return false
//     without a message. A source window shows once its file has decoded; a file that gives no picture is
//     told of then with "E0004" over the main window.
//   - count() for the menu state of "close all previews"; closeAll() on WM_CLOSE of the main window (which
//     posts WM_CLOSE again while count() is not 0).
//   - applyBackground() after View/PreviewBack changed gives the open windows the new one, of the swatches of
//     the services, which View/PreviewBack 1-6 selects.
class PreviewManager : public PreviewWindow::IOwner {
public:
    // Registers the window classes of the preview windows and their views; failure throws Exception.
    explicit PreviewManager(const MainWindowServices& services);
    PreviewManager(const PreviewManager&) = delete;
    PreviewManager& operator=(const PreviewManager&) = delete;
    virtual ~PreviewManager();

    // True when a window was shown or focused, false when the conversion was cancelled.
    bool open(const wstring& path, bool converted, int format, const wstring& formatName);
    int count() const;
    void closeAll();
    // The focus goes to the nearest live window after (next) or before the given one in the list; nothing
    // at either end.
    void focusNeighbour(const PreviewWindow& window, bool next) override;

    // The main window, once it is made; the windows' message boxes lie over it.
    void setMainWindow(HWND window) { main = window; }
    HWND mainWindow() const override { return main; }
    // View/PreviewBack as it is now, in every open window.
    void applyBackground();
    // The swatch of a View/PreviewBack value; null for 0 or a value without a swatch.
    const Dib* backgroundOf(int previewBack) const override;
    void loadFailed() override;
    void retire(const wstring& path, std::unique_ptr<PreviewPaneLoader> loader) override;

private:
    // A decode that a closed window handed over, for the next window of the file.
    struct Handed {
        wstring path;
        std::unique_ptr<PreviewPaneLoader> loader;
    };

    // Forgets the windows that have closed and the decodes handed over that have ended.
    void purge();
    std::unique_ptr<PreviewPaneLoader> takeHanded(const wstring& path);

    MainWindowServices services;
    UserWindowClass windowClass;
    // Gone after the windows, which hand their decodes here as they close.
    std::vector<Handed> handed;
    std::vector<std::unique_ptr<PreviewWindow>> windows;
    HWND main = nullptr;
};
