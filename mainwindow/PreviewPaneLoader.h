#pragma once
#include <windows.h>
#include <memory>
#include "foundation/NewestRequestSlot.h"
#include "foundation/wstring.h"
#include "imaging/Dib.h"
#include "imaging/IImage.h"

// Loads the pictures of the main window's preview pane, or of one preview window, on the worker pool, so that
// the window goes on answering while a large picture decodes: only the newest request counts, and when it has
// loaded the pool's thread posts the request's message with the request's number as wParam, for the window's
// thread to take the result (NewestRequestSlot). A file is the request's key: it is never decoded twice at once.
struct PreviewPaneLoad {
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

struct PreviewPaneLoadResult {
    wstring path;
    // Null when no decoder read the file, or the load failed.
    std::unique_ptr<IImage> picture;
    // Of the icon size asked for; null when none was asked or it could not be drawn.
    std::unique_ptr<Dib> icon;
};

class PreviewPaneLoader : public NewestRequestSlot<PreviewPaneLoad, PreviewPaneLoadResult> {
public:
    using Request = PreviewPaneLoad;
    using Result = PreviewPaneLoadResult;

    explicit PreviewPaneLoader(WorkerPool& workers);

    // The request's number; throws Exception when the pool has no thread and none can be made.
    WPARAM load(const Request& request);

private:
    static void work(const Request& request, Result& result);
};
