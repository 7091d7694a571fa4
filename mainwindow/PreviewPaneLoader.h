#pragma once
#include <windows.h>
#include <memory>
#include "foundation/CriticalSection.h"
#include "foundation/SafeThread.h"
#include "foundation/wstring.h"
#include "imaging/Dib.h"
#include "imaging/IImage.h"

// Loads the pictures of the main window's preview pane, or of one preview window, on a thread of its own, so
// that the window goes on answering while a large picture decodes. Only the newest request counts: one not yet begun gives way to the
// next, and a load under way when a newer request (or forget) comes runs to its end on the thread, where its
// picture is deleted unseen; decoders cannot be stopped halfway. Loads run one after another, so a dropped one
// never holds its memory beside the next. When the newest load ends, the thread posts the request's message
// with the request's number as wParam, and the window's thread takes the result. Every call but the thread's
// own belongs to the window's thread.
class PreviewPaneLoader : private SafeThread {
public:
    struct Request {
        wstring path;
        // Told of the result.
        HWND window = nullptr;
        UINT message = 0;
        // Told by a picture that goes on decoding in the background once loaded (GdipImageWithWIC).
        HWND frameWindow = nullptr;
        UINT frameMessage = 0;
        // When not empty, the picture is also drawn at this size on white (a window icon's colours): scaling a
        // large picture takes as long as a paint of it.
        SIZE iconSize{0, 0};
    };
    struct Result {
        wstring path;
        // Null when no decoder read the file, or the load failed.
        std::unique_ptr<IImage> picture;
        // Of the icon size asked for; null when none was asked or it could not be drawn.
        std::unique_ptr<Dib> icon;
    };

    PreviewPaneLoader();
    ~PreviewPaneLoader() override;

    // Starts the thread on the first request; one that cannot be made throws Exception with the system's error.
    void load(const Request& request);
    // Drops every request made so far, the result of one waiting to be taken included.
    void forget();
    // On the message: true, with the result, when it answers the newest request.
    bool take(WPARAM number, Result& result);
    // Forgets, then waits for a load under way; no request is taken afterwards. For the window's end.
    void stop();
    // While a load runs on the thread, which a forgotten one still does to its end.
    bool isLoading();

protected:
    DWORD Run(void* argument) override;

private:
    bool takeRequest(Request& request, WPARAM& number);
    void deliver(WPARAM number, const Request& request, Result& result);

    CriticalSection lock;
    // Set for each request and for the end.
    HANDLE wake;
    WPARAM newest = 0;
    bool stopped = false;
    bool hasRequest = false;
    bool loading = false;
    Request waiting;
    // The newest request's result until the window's thread takes it.
    bool hasResult = false;
    Result result;
};
