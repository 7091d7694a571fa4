#pragma once
#include <windows.h>
#include <gdiplus.h>
#include <functional>
#include <list>
#include "foundation/GenericArray.h"
#include "foundation/Size.h"
#include "foundation/wstringArray.h"
#include "imaging/TemporaryOutputFile.h"

class OutputStream;
class TextWriter;

// Writers of thumbnail sheets: one HTML page that shows every picture of a list as a small image linked to
// the source file, optionally through JPEG thumbnail files of their own.
namespace thumbnailmaker {

// How a writer reports progress and learns of a cancel. Held, not owned, by the writers.
class Observer {
public:
    virtual ~Observer() = default;
    // Asked after each thumbnail and while the page is written, with a count that rises per question.
    virtual bool isCancelled(int count) = 0;
    // The thumbnail has taken its name, once the page is complete: a stopped page tells of none.
    virtual void fileDone(const wstring& source, const wstring& thumbnail) = 0;
    // The thumbnails are made; the page is about to be written.
    virtual void started() = 0;
};

class IThumbNailMaker {
public:
    virtual ~IThumbNailMaker() = default;
    virtual bool addFile(const wstring& path) = 0;
    // Makes the thumbnails into the folder (none when it is empty) and writes the page to the stream, which
    // the caller opened. The owner window owns the overwrite question (0 for none). True when the page is
    // complete, false when the observer reported a cancel. The thumbnails take their names only with a complete
    // page: after a cancel or an error the thumbnails that were there before stay as they were, and no new one
    // is left. No files throws Exception 1, no stream Exception 87 (after the thumbnails were made); a picture
    // that cannot be read or a thumbnail that cannot be saved throws ApplicationException with "E0012".
    virtual bool make(HWND owner, const wstring& charset, const wstring& title, OutputStream* stream,
                      const wstring& thumbnailFolder) = 0;
};

// The writer of a sheet kind (1 to 6, see ThumbNailKind.h); new, owned by the caller. The columns are those
// of kinds 1, 3 and 4 (0 counts as 1). Another kind throws Exception 87.
IThumbNailMaker* createThumbNailMaker(int kind, int columns, Observer* observer);

// What the four layouts share: the file list, the thumbnail files, the page's head and picture references.
class AbstractThumbNailMaker : public IThumbNailMaker {
public:
    // One per thumbnail made, in list order.
    struct ImageInfo {
        WORD bitsPerPixel = 0;
        Size sourceSize;
        Size thumbnailSize;
    };

    bool addFile(const wstring& path) override;
    bool make(HWND owner, const wstring& charset, const wstring& title, OutputStream* stream,
              const wstring& thumbnailFolder) override;

    // On entry width and height both hold the size; they become the thumbnail's, and its ImageInfo is appended.
    virtual bool fitThumbnailSize(Gdiplus::Image* bitmap, int size, int& width, int& height, WORD bitsPerPixel,
                                  GenericArray<ImageInfo>& infos);
    // Makes a JPEG thumbnail of each file for <base><File/ThumbnailImageFile><list position>.jpg, kept under a
    // temporary name until the page is complete, and returns the base (the folder as a full path ending in "\"),
    // or an empty string when no thumbnails are to be used: no folder, a declined overwrite question, or a cancel.
    wstring makeThumbnails(HWND owner, const wstringArray& files, const wstring& folder, int size,
                           Observer* observer, GenericArray<ImageInfo>& infos);

protected:
    // A picture as the page shows it.
    struct Reference {
        wstring source;      // full path
        wstring name;        // file name
        wstring image;       // what the page shows: the thumbnail, else the source
        int width = 0;       // shown size
        int height = 0;
        bool known = false;  // whether the source's size and depth below were read
        Size sourceSize;
        WORD bitsPerPixel = 0;
    };

    explicit AbstractThumbNailMaker(Observer* observer) : observer(observer) {}

    // The size thumbnails are fitted into.
    virtual int thumbnailSize() const = 0;
    // A source's shown size within the size: the longer side becomes the size, the other keeps the proportion.
    virtual Size fittedSize(int sourceWidth, int sourceHeight, int size) const;
    virtual void writeStyle(TextWriter& page) = 0;
    // False when cancelled.
    virtual bool writeBody(TextWriter& page) = 0;
    // The question before an existing thumbnail is replaced: true to replace it.
    virtual bool confirmOverwrite(HWND owner, const wstring& thumbnail);

    Reference reference(int index) const;
    bool usesThumbnails() const { return !thumbnailBase.isEmpty(); }
    // Asks the observer with the next count.
    bool cancelled();
    int fileCount() const { return files.count(); }
    // Files per row, rounded up.
    int rowCount(int columns) const { return (files.count() + columns - 1) / columns; }

    // A table of rows of `columns` cells in list order; a cell past the end of the list stays empty. Asks for a
    // cancel after each cell; false when cancelled.
    bool writeGrid(TextWriter& page, int columns, const std::function<void(const Reference&)>& writeCell);
    // side x size / other, truncated, and at least 1: a very thin picture still gets a pixel across, since a
    // thumbnail of no width can be neither made nor shown.
    static int scaledSide(int side, int other, int size);
    static void writeLine(TextWriter& page, const wstring& text);
    // The borderless-table rule that closes the style of the table layouts, and the end of the head.
    static void writeTableStyleEnd(TextWriter& page);
    // The anchor and image of a picture: its paths as percent-encoded file URLs, its name escaped.
    static wstring anchorLine(const Reference& picture);
    static wstring imageLine(const Reference& picture);
    // The text with & < > " ' escaped, so that it shows as itself in the page's text and attribute values.
    static wstring escaped(const wstring& text);
    // The value for the settings' size class (File/ThumbnailSize): 1 middle, 2 large, any other small.
    static int bySizeClass(int middle, int large, int small);
    static wstring number(int value);

    Observer* observer;

private:
    bool writeSheet(HWND owner, const wstring& charset, const wstring& title, OutputStream* stream,
                    const wstring& thumbnailFolder);
    void writeHead(TextWriter& page, const wstring& charset, const wstring& title);
    // Gives the thumbnails made their names; one that cannot take it throws "E0012".
    void commitThumbnails();

    // A thumbnail under its temporary name, and the picture it shows.
    struct StagedThumbnail {
        wstring source;
        wstring name;
        TemporaryOutputFile file;
    };

    wstringArray files;
    std::list<StagedThumbnail> stagedThumbnails;
    GenericArray<ImageInfo> infos;
    wstring thumbnailBase;
    int questions = 0;
};

} // namespace thumbnailmaker
