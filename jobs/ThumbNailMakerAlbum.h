#pragma once
#include "jobs/ThumbNailMaker.h"

namespace thumbnailmaker {

// Kind 3: a table of large framed thumbnails, each frame fitted to its picture.
class ThumbNailMakerAlbum : public AbstractThumbNailMaker {
public:
    // 0 columns count as 1.
    ThumbNailMakerAlbum(int columns, Observer* observer);

protected:
    int thumbnailSize() const override { return thumbnail; }
    void writeStyle(TextWriter& page) override;
    bool writeBody(TextWriter& page) override;

private:
    int columns;
    int thumbnail;
};

} // namespace thumbnailmaker
