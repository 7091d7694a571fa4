#pragma once
#include <windows.h>
#include <gdiplus.h>
#include "imaging/TemporaryOutputFile.h"

class Dib;

// An animated GIF written one picture at a time: open with the first, addFrame for each further one, close
// with finish. The first picture's 256-colour palette is the global colour table; every later frame is reduced
// to a palette of its own colours, carried as its local colour table, unless the global one holds them all.
// The platform's GIF encoder encodes each frame; the animation around the frames (screen size, global colour
// table, endless loop, each frame's delay and transparency) is written here, so it never depends on how the
// encoder lays out its own header.
// The file appears at its path only when close with finish succeeds; until then, and after any failure, the
// path is left as it was. Every failure also closes the generator, so later frames fail until the next open.
class AnimeGifFileGenerator {
public:
    // Which colour is transparent in every frame.
    enum Transparency {
        NoTransparency = 0,
        GivenColor = 1,
        TopLeftColor = 2,
        TopRightColor = 3,
        BottomLeftColor = 4,
        BottomRightColor = 5,
    };
    // Hundredths of a second.
    static constexpr int DefaultDelay = 5;

    AnimeGifFileGenerator() = default;
    AnimeGifFileGenerator(const AnimeGifFileGenerator&) = delete;
    AnimeGifFileGenerator& operator=(const AnimeGifFileGenerator&) = delete;
    virtual ~AnimeGifFileGenerator() { close(false); }

    // The colour is read in GivenColor mode only; any mode outside 1..5 means no transparency. A file still
    // open is dropped first; the delay stays.
    bool open(const wchar_t* path, Gdiplus::Image* first, int transparency, COLORREF color);
    // A larger picture is cut to the first one's size at the top left; a smaller one is drawn at the top left
    // on black. The transparent colour stays transparent where the frame has it.
    bool addFrame(Gdiplus::Image* image);
    // With finish the file is ended and moved to its path; without, the frames so far are dropped. Either way
    // the generator is reset (the delay back to the default). False when nothing was open or the file could
    // not be finished.
    bool close(bool finish);
    bool isOpen() const { return target.path() != nullptr; }
    // The system's reason why the last open could not make the file, or a write or close could not write it
    // or put it in place; ERROR_SUCCESS when that was not what failed.
    DWORD fileError() const { return fileFailure; }

    // The delay of every frame written from now on, in hundredths of a second (0..65535).
    int delay = DefaultDelay;

private:
    bool reduceFrame(const Dib& deep, Dib& frame) const;
    bool keepTransparentEntry(const Dib& deep, RGBQUAD* own, int ownCount) const;
    bool writeHeader();
    bool writeFrame(const Dib& reduced);
    // The palette as the 256 red, green, blue triples of a GIF colour table.
    void paletteTable(BYTE* table) const;
    bool write(const void* bytes, DWORD count);
    // The file operation's result, noting its reason when it failed.
    bool noteFileFailure(bool succeeded);
    bool fail();
    void reset();

    int width = 0;
    int height = 0;
    // The colour that is transparent in every frame; CLR_INVALID for none.
    COLORREF transparentColor = CLR_INVALID;
    RGBQUAD palette[256] = {};
    int paletteCount = 0;
    TemporaryOutputFile target;
    DWORD fileFailure = ERROR_SUCCESS;
};
