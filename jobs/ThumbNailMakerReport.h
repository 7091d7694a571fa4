#pragma once
#include "jobs/ThumbNailMaker.h"

namespace thumbnailmaker {

// Kind 2: one picture per row, its thumbnail beside five lines on the file: name, size, colour depth, path and
// last change.
class ThumbNailMakerReport : public AbstractThumbNailMaker {
public:
    explicit ThumbNailMakerReport(Observer* observer);

protected:
    int thumbnailSize() const override { return thumbnail; }
    void writeStyle(TextWriter& page) override;
    bool writeBody(TextWriter& page) override;

private:
    void writeLabels(TextWriter& page, const Reference& picture, const wstringArray& labels);

    int blockHeight;
    int margin;
    int padding;
    int thumbnail;
};

} // namespace thumbnailmaker
