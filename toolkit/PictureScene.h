#pragma once
#include <windows.h>
#include <memory>
#include "foundation/CriticalSection.h"
#include "foundation/NewestRequestSlot.h"
#include "foundation/Rect.h"
#include "imaging/Dib.h"
#include "imaging/IImage.h"

// A picture held by a picture view and by the thread that draws the view's scaled copies of it. A picture is
// used by one thread at a time: whoever draws or asks it anything holds `use`. Its size is kept aside, so that
// laying out the view needs no wait.
struct SharedPicture {
    // Takes the picture over.
    explicit SharedPicture(IImage* picture) : image(picture) { measure(); }
    // Reads the size again; the caller holds `use`.
    void measure()
    {
        width = image->width();
        height = image->height();
    }

    std::unique_ptr<IImage> image;
    CriticalSection use;
    int width = 0;
    int height = 0;
};

// What a picture view shows in its client area: the background (a tiled picture or a colour, -1 for the system's
// window colour) and over it the picture in one of the view's draw modes, at the scroll position in actual size.
struct PictureScene {
    int mode = 0;
    COLORREF backColor = static_cast<COLORREF>(-1);
    IImage* background = nullptr;
    // The caller holds its `use`; null for none.
    SharedPicture* picture = nullptr;
    POINT scroll{0, 0};
};

void drawPictureScene(HDC dc, int width, int height, const PictureScene& scene);
// Where the fitting modes put a picture in the client area.
Rect fittedPicturePlace(int mode, int pictureWidth, int pictureHeight, int clientWidth, int clientHeight);

// What a view asks its renderer to draw: its scene at its size. The background is the renderer's own copy, which
// no other thread draws.
struct PictureSceneRequest {
    HWND window = nullptr;
    UINT message = 0;
    int width = 0;
    int height = 0;
    int mode = 0;
    COLORREF backColor = static_cast<COLORREF>(-1);
    std::shared_ptr<IImage> background;
    std::shared_ptr<SharedPicture> picture;
};

// Draws a view's scene at the view's size on the worker pool, since GDI+ takes a long while to scale a large
// picture; the result is null when the drawing could not be made.
class PictureSceneRenderer : public NewestRequestSlot<PictureSceneRequest, std::unique_ptr<Dib>> {
public:
    explicit PictureSceneRenderer(WorkerPool& workers) : NewestRequestSlot(workers, &draw) {}

private:
    static void draw(const PictureSceneRequest& request, std::unique_ptr<Dib>& drawn);
};
