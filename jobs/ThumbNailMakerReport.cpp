#include "jobs/ThumbNailMakerReport.h"
#include "foundation/DateTime.h"
#include "foundation/FindFiles.h"
#include "jobs/jobsStrings.h"
#include "settings/ProgramResources.h"

namespace thumbnailmaker {

namespace {

// The labels of IDS_REPORT_LABELS: "ファイル名：/サイズ：/色深度：/パス：/更新日時：".
constexpr int LabelCount = 5;
constexpr wchar_t Missing[] = L"-";

wstring decimal(ULONGLONG value)
{
    wchar_t text[24];
    wsprintfW(text, L"%I64u", value);
    return wstring(text);
}

wstring lastWriteText(const wstring& path)
{
    FindFiles found;
    SYSTEMTIME local;
    if (!found.findFirst(path.buffer()) || !found.getLocalTime(FindFiles::LastWrite, local))
        return wstring(Missing);
    return DateTime(local).toString();
}

// The size in kilobytes rounded up; 0 for a file that is not found.
ULONGLONG kilobytesOf(const wstring& path)
{
    FindFiles found;
    ULONGLONG bytes = found.findFirst(path.buffer()) ? found.getSize() : 0;
    return (bytes + 1023) / 1024;
}

} // namespace

ThumbNailMakerReport::ThumbNailMakerReport(Observer* observer)
    : AbstractThumbNailMaker(observer),
      blockHeight(bySizeClass(140, 160, 120)),
      margin(5),
      padding(10),
      thumbnail(bySizeClass(120, 140, 100))
{
}

void ThumbNailMakerReport::writeStyle(TextWriter& page)
{
    for (const wstring& line :
         {wstring(L"<style>"), wstring(L"html {background-color:#ffffff}"), wstring(L"table {width:90%}"),
          wstring(L"div {"), wstring(L"font-size:9pt;"), wstring(L"border:solid 1px #c0c0c0;"),
          L"margin:" + number(margin) + L"px;", L"padding:" + number(padding) + L"px;", wstring(L"width:100%;"),
          L"height:" + number(blockHeight) + L"px;", wstring(L"text-align:left;"), wstring(L"}"),
          wstring(L"div.image {"), L"width:" + number(thumbnail) + L"px;", L"height:" + number(thumbnail) + L"px;",
          wstring(L"border-width:0px;"), wstring(L"margin:0px;"), wstring(L"padding:0px;"),
          wstring(L"float:left;"), wstring(L"}"), wstring(L"table {"), wstring(L"border-collapse: collapse;"),
          wstring(L"border-width: 0px;"), wstring(L"}"), wstring(L"p {"), wstring(L"margin: 0em;"),
          wstring(L"text-indent: 1em;"), wstring(L"}"), wstring(L"</style>"), wstring(L"</head>")})
        writeLine(page, line);
}

bool ThumbNailMakerReport::writeBody(TextWriter& page)
{
    wstringArray labels;
    labels.splitResourceString(programResourceModule(), IDS_REPORT_LABELS, L"/");
    while (labels.count() < LabelCount)
        labels.add(wstring());
    writeLine(page, L"<table>");
    writeLine(page, L"<tbody>");
    for (int i = 0; i < fileCount(); ++i) {
        Reference picture = reference(i);
        for (const wchar_t* line : {L"<tr>", L"<td>", L"<div>", L"<div class=\"image\">"})
            writeLine(page, line);
        writeLine(page, anchorLine(picture));
        writeLine(page, imageLine(picture));
        writeLine(page, L"</a>");
        writeLine(page, L"</div>");
        writeLabels(page, picture, labels);
        for (const wchar_t* line : {L"</div>", L"</td>", L"</tr>"})
            writeLine(page, line);
        if (cancelled())
            return false;
    }
    writeLine(page, L"</tbody>");
    writeLine(page, L"</table>");
    return true;
}

void ThumbNailMakerReport::writeLabels(TextWriter& page, const Reference& picture, const wstringArray& labels)
{
    wstring size(Missing);
    wstring depth(Missing);
    if (picture.known) {
        size = number(picture.sourceSize.cx) + L" x " + number(picture.sourceSize.cy) + L" (" +
               decimal(kilobytesOf(picture.source)) + L" KB)";
        depth = number(picture.bitsPerPixel) + L"bit";
    }
    const wstring values[LabelCount] = {picture.name, size, depth, picture.source, lastWriteText(picture.source)};
    for (int i = 0; i < LabelCount; ++i)
        writeLine(page, L"<p>" + labels.at(i) + escaped(values[i]) + L"</p>");
}

} // namespace thumbnailmaker
