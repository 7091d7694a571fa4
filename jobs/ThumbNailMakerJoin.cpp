#include "jobs/ThumbNailMakerJoin.h"
#include "foundation/TextWriter.h"

namespace thumbnailmaker {

namespace {

constexpr int Squares = 0;
constexpr int OneRow = 1;
constexpr int OneColumn = 2;

} // namespace

ThumbNailMakerJoin::ThumbNailMakerJoin(int mode, int columns, Observer* observer)
    : AbstractThumbNailMaker(observer),
      columns(mode == Squares ? (columns < 1 ? 1 : columns) : 1),
      blockSize(mode == Squares ? bySizeClass(160, 240, 80) : bySizeClass(240, 320, 160)),
      mode(mode)
{
}

bool ThumbNailMakerJoin::make(HWND owner, const wstring& charset, const wstring& title, OutputStream* stream,
                              const wstring& thumbnailFolder)
{
    totalWidth = 0;
    totalHeight = 0;
    return AbstractThumbNailMaker::make(owner, charset, title, stream, thumbnailFolder);
}

Size ThumbNailMakerJoin::fittedSize(int sourceWidth, int sourceHeight, int size) const
{
    switch (mode) {
    case OneRow:
        return Size(scaledSide(sourceWidth, sourceHeight, size), size);
    case OneColumn:
        return Size(size, scaledSide(sourceHeight, sourceWidth, size));
    default:
        return Size(size, size);
    }
}

bool ThumbNailMakerJoin::fitThumbnailSize(Gdiplus::Image* bitmap, int size, int& width, int& height,
                                          WORD bitsPerPixel, GenericArray<ImageInfo>& infos)
{
    AbstractThumbNailMaker::fitThumbnailSize(bitmap, size, width, height, bitsPerPixel, infos);
    if (mode == OneRow)
        totalWidth += width;
    if (mode == OneColumn)
        totalHeight += height;
    return true;
}

void ThumbNailMakerJoin::writeStyle(TextWriter& page)
{
    for (const wchar_t* line :
         {L"<style>", L"html {", L"background-color:#ffffff;", L"line-height:0em;", L"}", L"</style>", L"</head>"})
        writeLine(page, line);
}

// The strip's outer size is written before its pictures, so every shown size is known first. With
// thumbnails they are the thumbnails' sizes; without, each source is read for its proportions (and the
// totals are counted from them rather than from thumbnails that a declined overwrite left unfinished).
bool ThumbNailMakerJoin::collectReferences(std::vector<Reference>& pictures)
{
    if (!usesThumbnails()) {
        totalWidth = 0;
        totalHeight = 0;
    }
    for (int i = 0; i < fileCount(); ++i) {
        pictures.push_back(reference(i));
        if (usesThumbnails())
            continue;
        if (mode == OneRow)
            totalWidth += pictures.back().width;
        if (mode == OneColumn)
            totalHeight += pictures.back().height;
        if (cancelled())
            return false;
    }
    if (totalWidth == 0)
        totalWidth = blockSize;
    if (totalHeight == 0)
        totalHeight = blockSize;
    return true;
}

bool ThumbNailMakerJoin::writeBody(TextWriter& page)
{
    std::vector<Reference> pictures;
    if (!collectReferences(pictures))
        return false;
    int rows = rowCount(columns);
    int width = mode == Squares ? blockSize * columns : totalWidth;
    int height = mode == Squares ? blockSize * rows : totalHeight;
    writeLine(page, L"<div style=\"width:" + number(width) + L"px;height:" + number(height) + L"px\">");
    for (int row = 0; row < rows; ++row) {
        for (int column = 0; column < columns; ++column) {
            size_t index = static_cast<size_t>(row * columns + column);
            if (index < pictures.size()) {
                const Reference& picture = pictures[index];
                page.write((anchorLine(picture) + imageLine(picture) + L"</a>").buffer());
                if (mode == OneColumn)
                    writeLine(page, L"<br>");
            }
            if (cancelled())
                return false;
        }
        if (mode == Squares)
            writeLine(page, L"<br>");
    }
    if (mode == OneRow)
        page.newLine();
    writeLine(page, L"</div>");
    return true;
}

} // namespace thumbnailmaker
