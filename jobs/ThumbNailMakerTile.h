#pragma once
#include "jobs/ThumbNailMaker.h"

namespace thumbnailmaker {

// Kind 1: a table of framed cells of equal size, each a thumbnail over the file name.
class ThumbNailMakerTile : public AbstractThumbNailMaker {
public:
    // 0 columns count as 1.
    ThumbNailMakerTile(int columns, Observer* observer);

protected:
    int thumbnailSize() const override { return thumbnail; }
    void writeStyle(TextWriter& page) override;
    bool writeBody(TextWriter& page) override;

private:
    int columns;
    int cellWidth;
    int cellHeight;
    int padding;
    int thumbnail;
};

} // namespace thumbnailmaker
