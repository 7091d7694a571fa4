#include "jobs/ThumbNailMakerAlbum.h"

namespace thumbnailmaker {

ThumbNailMakerAlbum::ThumbNailMakerAlbum(int columns, Observer* observer)
    : AbstractThumbNailMaker(observer), columns(columns < 1 ? 1 : columns), thumbnail(bySizeClass(320, 400, 240))
{
}

void ThumbNailMakerAlbum::writeStyle(TextWriter& page)
{
    for (const wchar_t* line : {L"<style>", L"html {background-color:#ffffff}", L"td {padding:10px}", L"div {",
                                L"border:solid 1px #c0c0c0;", L"padding:6px;", L"}"})
        writeLine(page, line);
    writeTableStyleEnd(page);
}

bool ThumbNailMakerAlbum::writeBody(TextWriter& page)
{
    return writeGrid(page, columns, [&page](const Reference& picture) {
        writeLine(page, L"<div style=\"width:" + number(picture.width) + L"px;height:" + number(picture.height) +
                            L"px\">");
        writeLine(page, anchorLine(picture));
        writeLine(page, imageLine(picture));
        writeLine(page, L"</a>");
        writeLine(page, L"</div>");
    });
}

} // namespace thumbnailmaker
