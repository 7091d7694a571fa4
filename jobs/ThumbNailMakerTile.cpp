#include "jobs/ThumbNailMakerTile.h"

namespace thumbnailmaker {

ThumbNailMakerTile::ThumbNailMakerTile(int columns, Observer* observer)
    : AbstractThumbNailMaker(observer),
      columns(columns < 1 ? 1 : columns),
      cellWidth(bySizeClass(160, 180, 140)),
      cellHeight(cellWidth),
      padding(10),
      thumbnail(bySizeClass(120, 140, 100))
{
}

void ThumbNailMakerTile::writeStyle(TextWriter& page)
{
    for (const wstring& line : {wstring(L"<style>"), wstring(L"html {background-color:#ffffff}"), wstring(L"div {"),
                                wstring(L"font-size:9pt;"), wstring(L"border:solid 1px #c0c0c0;"),
                                L"padding:" + number(padding) + L"px;", L"width:" + number(cellWidth) + L"px;",
                                L"height:" + number(cellHeight) + L"px;", wstring(L"text-align:center;"),
                                wstring(L"}")})
        writeLine(page, line);
    writeTableStyleEnd(page);
}

bool ThumbNailMakerTile::writeBody(TextWriter& page)
{
    return writeGrid(page, columns, [&page](const Reference& picture) {
        writeLine(page, L"<div>");
        writeLine(page, anchorLine(picture));
        writeLine(page, imageLine(picture) + L"<br>");
        writeLine(page, escaped(picture.name));
        writeLine(page, L"</a>");
        writeLine(page, L"</div>");
    });
}

} // namespace thumbnailmaker
