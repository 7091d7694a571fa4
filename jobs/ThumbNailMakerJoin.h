#pragma once
#include <vector>
#include "jobs/ThumbNailMaker.h"

namespace thumbnailmaker {

// Kinds 4 to 6: the pictures joined edge to edge without frames. Mode 0 (kind 4) squares in rows of
// `columns`; mode 1 (kind 5) one row, each picture the block size high; mode 2 (kind 6) one column, each
// picture the block size wide.
class ThumbNailMakerJoin : public AbstractThumbNailMaker {
public:
    // The columns count in mode 0 only (0 counts as 1).
    ThumbNailMakerJoin(int mode, int columns, Observer* observer);

    bool make(HWND owner, const wstring& charset, const wstring& title, OutputStream* stream,
              const wstring& thumbnailFolder) override;
    bool fitThumbnailSize(Gdiplus::Image* bitmap, int size, int& width, int& height, WORD bitsPerPixel,
                          GenericArray<ImageInfo>& infos) override;

protected:
    int thumbnailSize() const override { return blockSize; }
    Size fittedSize(int sourceWidth, int sourceHeight, int size) const override;
    void writeStyle(TextWriter& page) override;
    bool writeBody(TextWriter& page) override;

private:
    // Every picture's reference, with the totals of the shown sizes; false when cancelled.
    bool collectReferences(std::vector<Reference>& pictures);

    int columns;
    int blockSize;
    int mode;
    int totalWidth = 0;
    int totalHeight = 0;
};

} // namespace thumbnailmaker
