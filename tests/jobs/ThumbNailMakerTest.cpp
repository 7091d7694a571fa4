// Thumbnail sheets as a browser gets them: the page bytes against reviewed pages of every kind, and the JPEG
// thumbnails decoded again.
#include <gtest/gtest.h>
#include <algorithm>
#include <cwctype>
#include <map>
#include <memory>
#include <regex>
#include <string>
#include <vector>
#include "DatedFiles.h"
#include "foundation/MemoryStream.h"
#include "foundation/Path.h"
#include "imaging/gdipImageIO.h"
#include "jobs/ThumbNailMaker.h"
#include "jobs/ThumbNailMakerTile.h"
#include "settings/AppSetting.h"
#include "settings/Messages.h"
#include "support/ComTesting.h"
#include "support/ExpectCode.h"
#include "support/ImagingTestSupport.h"
#include "support/LentSettings.h"

using namespace thumbnailmaker;

namespace {

// Says yes from the cancel question numbered `cancelAt` on (counting every question from 0), as a job does once
// its user has cancelled, and records the rest.
class RecordingObserver : public Observer {
public:
    bool isCancelled(int) override { return questions++ >= cancelAt && cancelAt >= 0; }
    void fileDone(const wstring& source, const wstring& thumbnail) override
    {
        done.push_back(std::wstring(source.buffer()) + L" -> " + thumbnail.buffer());
    }
    void started() override { ++starts; }

    int cancelAt = -1;
    int questions = 0;
    int starts = 0;
    std::vector<std::wstring> done;
};

std::string utf8(const std::wstring& text)
{
    int bytes = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                    nullptr);
    std::string result(bytes, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), result.data(), bytes, nullptr,
                        nullptr);
    return result;
}

std::string replaceAll(std::string text, const std::string& from, const std::string& to)
{
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

std::string goldenPage(const wchar_t* name)
{
    HRSRC resource = FindResourceW(nullptr, name, RT_RCDATA);
    if (!resource)
        return std::string();
    auto bytes = static_cast<const char*>(LockResource(LoadResource(nullptr, resource)));
    return std::string(bytes, SizeofResource(nullptr, resource));
}

std::wstring wide(const std::string& bytes)
{
    int units = MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring text(units, L'\0');
    MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(), units);
    return text;
}

std::wstring unescaped(std::wstring text)
{
    // "&amp;" last, so that what it gives back is not read again.
    const wchar_t* entities[][2] = {
        {L"&lt;", L"<"}, {L"&gt;", L">"}, {L"&quot;", L"\""}, {L"&#39;", L"'"}, {L"&amp;", L"&"}};
    for (const auto& [entity, character] : entities)
        text = std::regex_replace(text, std::wregex(entity), character);
    return text;
}

// The file a file URL opens: percent escapes are UTF-8 bytes; a "#" ends the path.
std::wstring fileOfUrl(const std::wstring& url)
{
    std::wstring prefix = L"file:///";
    if (url.compare(0, prefix.size(), prefix) != 0)
        return L"(not a file URL) " + url;
    std::string bytes;
    for (size_t at = prefix.size(); at < url.size() && url[at] != L'#'; ++at) {
        if (url[at] != L'%') {
            bytes += static_cast<char>(url[at]);
            continue;
        }
        if (at + 2 >= url.size() || !iswxdigit(url[at + 1]) || !iswxdigit(url[at + 2]))
            return L"(a lone %) " + url;
        bytes += static_cast<char>(std::stoi(url.substr(at + 1, 2), nullptr, 16));
        at += 2;
    }
    std::wstring path = wide(bytes);
    std::replace(path.begin(), path.end(), L'/', L'\\');
    return path;
}

// What a browser makes of a page: the texts between its tags, and the files its links and images open and the
// images' alternative texts, all unescaped.
struct ReadPage {
    explicit ReadPage(const std::string& bytes)
    {
        std::wstring page = wide(bytes);
        std::wregex text(L">\\s*([^<>]*[^<>\\s])\\s*<");
        for (std::wsregex_iterator it(page.begin(), page.end(), text), end; it != end; ++it)
            texts.push_back(unescaped((*it)[1]));
        std::wregex attribute(L" (href|src|alt)=\"([^\"]*)\"");
        for (std::wsregex_iterator it(page.begin(), page.end(), attribute), end; it != end; ++it) {
            std::wstring value = unescaped((*it)[2]);
            if ((*it)[1] == L"alt")
                alts.push_back(value);
            else
                ((*it)[1] == L"href" ? links : images).push_back(fileOfUrl(value));
        }
    }
    bool shows(const std::wstring& line) const { return std::find(texts.begin(), texts.end(), line) != texts.end(); }

    std::vector<std::wstring> texts;
    std::vector<std::wstring> links;
    std::vector<std::wstring> images;
    std::vector<std::wstring> alts;
};

class ThumbNailSheets : public GdiplusTest {
protected:
    void SetUp() override
    {
        GdiplusTest::SetUp();
        loadMessages(GetModuleHandleW(nullptr));
        setting.fileThumbnailSize = 1;
        setting.fileThumbnailImageFile = L"thumbnail";
        CreateDirectoryW(thumbs().buffer(), nullptr);
        picture(L"wide.png", 40, 20);
        picture(L"tall.png", 20, 40);
        picture(L"square.png", 30, 30);
    }

    wstring picture(const wchar_t* name, int width, int height)
    {
        BitmapPtr bitmap(makeBitmap32(width, height, [](int x, int y) { return (x + y) % 2 ? Red : Blue; }));
        wstring path = pathIn(folder, name);
        EXPECT_TRUE(gdipSaveToFile(path.buffer(), L"image/png", bitmap.get(), nullptr));
        return path;
    }
    wstring thumbs() const { return pathIn(folder, L"thumbs"); }

    // The page of the kind over the files; empty when make did not complete.
    std::string page(IThumbNailMaker& maker, std::vector<const wchar_t*> names, const wstring& thumbnailFolder,
                     const wchar_t* title = L"Sheet")
    {
        for (const wchar_t* name : names)
            maker.addFile(pathIn(folder, name));
        OutputMemoryStream stream;
        stream.open();
        complete = maker.make(nullptr, L"utf-8", title, &stream, thumbnailFolder);
        return std::string(stream.getBuffer(), stream.getLength());
    }

    // The folder, the dates and the file sizes (which depend on the PNG encoder) masked.
    std::string masked(std::string text) const
    {
        std::string root = utf8(pathIn(folder, L"").buffer());
        text = replaceAll(text, root, "{DIR}\\");
        text = replaceAll(text, replaceAll(root, "\\", "/"), "{DIR}/");
        text = std::regex_replace(text, std::regex("\\d{4}:\\d\\d:\\d\\d \\d\\d:\\d\\d:\\d\\d"), "{DATE}");
        return std::regex_replace(text, std::regex("\\(\\d+ KB\\)"), "({KB} KB)");
    }

    ComApartment apartment;
    LentSettings lent;
    AppSetting& setting = lent.setting;
    ScratchFolder folder{L"korvilane-sheets"};
    RecordingObserver observer;
    bool complete = false;
};

TEST_F(ThumbNailSheets, EachKindWritesItsPage)
{
    struct Sheet {
        int kind;
        int columns;
        bool thumbnails;
        const wchar_t* golden;
    };
    // A file that no loader reads shows with the sheet's own size and "-" for what is unknown.
    writeBytes(pathIn(folder, L"broken.png").buffer(), {'n', 'o', 't'});
    const Sheet sheets[] = {{1, 2, true, L"TILE"},   {2, 0, false, L"REPORT"}, {3, 2, false, L"ALBUM"},
                            {4, 2, true, L"JOIN"},   {5, 0, false, L"JOINH"},  {6, 0, true, L"JOINV"}};
    setting.fileThumbnailLang = L"ja";
    setting.fileThumbnailImageOverWrite = true;
    for (const Sheet& sheet : sheets) {
        RecordingObserver watcher;
        std::unique_ptr<IThumbNailMaker> maker(createThumbNailMaker(sheet.kind, sheet.columns, &watcher));
        std::vector<const wchar_t*> names = {L"wide.png", L"tall.png", L"square.png"};
        if (!sheet.thumbnails)
            names.push_back(L"broken.png");
        std::string written = page(*maker, names, sheet.thumbnails ? thumbs() : wstring(), L"一覧 <1>");
        EXPECT_TRUE(complete) << sheet.golden;
        EXPECT_EQ(masked(written), goldenPage(sheet.golden)) << sheet.golden;
        EXPECT_EQ(written.find("\xEF\xBB\xBF"), std::string::npos) << "no byte-order mark";
        EXPECT_EQ(std::regex_search(written, std::regex("[^\\r]\\n")), false) << "every line ends in CR LF";
        EXPECT_EQ(watcher.starts, 1);
    }
}

TEST_F(ThumbNailSheets, EveryNameShowsAsItselfAndEveryLinkOpensItsFile)
{
    // Names that markup or a URL would take for something else. Windows keeps < > " out of file names, so those
    // are of files that are not there, which a sheet without thumbnails still lists.
    std::vector<std::wstring> names = {L"a&amp;b.png", L"it's.png", L"c#1.png", L"100%.png", L"a b.png", L"写真.png"};
    for (const std::wstring& name : names)
        picture(name.c_str(), 30, 20);
    const size_t onDisk = names.size();
    names.insert(names.end(), {L"a<b>.png", L"say \"hi\".png"});
    std::vector<const wchar_t*> files;
    std::vector<std::wstring> paths;
    for (const std::wstring& name : names) {
        files.push_back(name.c_str());
        paths.push_back(pathIn(folder, name.c_str()).buffer());
    }
    const wchar_t* title = L"A&amp;B <i>\"'";
    struct Sheet {
        int kind;
        const wchar_t* shownAs; // the text line of a name, %s the name; null when only the images name them
    };
    const Sheet sheets[] = {{1, L"%s"}, {2, L"ファイル名：%s"}, {3, nullptr}, {4, nullptr}, {5, nullptr}, {6, nullptr}};
    for (const Sheet& sheet : sheets) {
        std::unique_ptr<IThumbNailMaker> maker(createThumbNailMaker(sheet.kind, 3, &observer));
        ReadPage read(page(*maker, files, wstring(), title));
        ASSERT_TRUE(complete) << sheet.kind;
        EXPECT_TRUE(read.shows(title)) << sheet.kind;
        EXPECT_EQ(read.alts, names) << sheet.kind;
        EXPECT_EQ(read.links, paths) << sheet.kind;
        EXPECT_EQ(read.images, paths) << sheet.kind;
        for (size_t i = 0; i < names.size() && sheet.shownAs; ++i)
            EXPECT_TRUE(read.shows(wstring(sheet.shownAs).replace(L"%s", names[i].c_str()).buffer())) << utf8(names[i]);
        for (size_t i = 0; i < names.size() && sheet.kind == 2; ++i)
            EXPECT_TRUE(read.shows(L"パス：" + paths[i])) << utf8(paths[i]);
    }

    // Thumbnails in a folder whose own name needs escaping.
    wstring hostile = pathIn(folder, L"thumbs #1 & 100%");
    CreateDirectoryW(hostile.buffer(), nullptr);
    std::unique_ptr<IThumbNailMaker> tile(createThumbNailMaker(1, 3, &observer));
    files.resize(onDisk);
    paths.resize(onDisk);
    ReadPage read(page(*tile, files, hostile));
    ASSERT_TRUE(complete);
    EXPECT_EQ(read.links, paths);
    std::vector<std::wstring> thumbnails;
    for (size_t i = 0; i < onDisk; ++i)
        thumbnails.push_back(std::wstring(hostile.buffer()) + L"\\thumbnail" + std::to_wstring(i) + L".jpg");
    EXPECT_EQ(read.images, thumbnails);
}

// Someone who can write the thumbnail folder and, after each thumbnail, puts a file of their own in place of every
// staged one, which the sheet would otherwise move over a thumbnail at its end.
class StagedNameTaker : public RecordingObserver {
public:
    explicit StagedNameTaker(const wstring& folder) : folder(folder.buffer()) {}

    bool isCancelled(int count) override
    {
        WIN32_FIND_DATAW found;
        HANDLE search = FindFirstFileW((folder + L"\\*.tmp").c_str(), &found);
        for (bool more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileW(search, &found)) {
            std::wstring staged = folder + L"\\" + found.cFileName;
            if (DeleteFileW(staged.c_str())) {
                writeBytes(staged, {'t', 'h', 'e', 'i', 'r', 's'});
                ++taken;
            }
        }
        if (search != INVALID_HANDLE_VALUE)
            FindClose(search);
        return RecordingObserver::isCancelled(count);
    }

    std::wstring folder;
    int taken = 0;
};

TEST_F(ThumbNailSheets, ThumbnailsAreJpegsFittedIntoTheSize)
{
    // A picture one pixel wide still gets a thumbnail, one pixel wide.
    picture(L"thin.png", 1, 200);
    StagedNameTaker observer(thumbs());
    std::unique_ptr<IThumbNailMaker> tile(createThumbNailMaker(1, 4, &observer));
    page(*tile, {L"wide.png", L"tall.png", L"square.png", L"thin.png"}, thumbs() + L"\\sub\\..");
    ASSERT_TRUE(complete);
    EXPECT_EQ(observer.taken, 0);
    const int expected[][2] = {{120, 60}, {60, 120}, {120, 120}, {1, 120}};
    for (int i = 0; i < 4; ++i) {
        std::wstring name = std::wstring(thumbs().buffer()) + L"\\thumbnail" + std::to_wstring(i) + L".jpg";
        StreamPtr stream(streamOf(readBytes(name)));
        BitmapPtr thumbnail(gdipBitmapFromStream(stream.get()));
        ASSERT_TRUE(thumbnail) << i;
        EXPECT_EQ(thumbnail->GetWidth(), static_cast<UINT>(expected[i][0])) << i;
        EXPECT_EQ(thumbnail->GetHeight(), static_cast<UINT>(expected[i][1])) << i;
    }
    ASSERT_EQ(observer.done.size(), 4u);
    EXPECT_EQ(observer.done[1],
              std::wstring(pathIn(folder, L"tall.png").buffer()) + L" -> " + thumbs().buffer() + L"\\thumbnail1.jpg");
}

TEST_F(ThumbNailSheets, ACancelEndsThePageAndLeavesNoThumbnail)
{
    // During the thumbnails: the one made is dropped with the page, and no page is written.
    observer.cancelAt = 0;
    std::unique_ptr<IThumbNailMaker> early(createThumbNailMaker(3, 1, &observer));
    EXPECT_TRUE(page(*early, {L"wide.png", L"tall.png"}, thumbs()).empty());
    EXPECT_FALSE(complete);
    EXPECT_EQ(observer.starts, 0);
    EXPECT_TRUE(observer.done.empty()) << "a thumbnail told of that is not there";
    std::map<std::wstring, Bytes> left;
    collectFiles(thumbs().buffer(), L"", left);
    EXPECT_TRUE(left.empty()) << "a thumbnail of the stopped page is left";

    // During the page, after the second cell: the page ends there.
    RecordingObserver late;
    late.cancelAt = 2;
    std::unique_ptr<IThumbNailMaker> album(createThumbNailMaker(3, 1, &late));
    std::string written = page(*album, {L"wide.png", L"tall.png", L"square.png"}, wstring());
    EXPECT_FALSE(complete);
    EXPECT_EQ(late.starts, 1);
    EXPECT_NE(written.find("tall.png"), std::string::npos);
    EXPECT_EQ(written.find("square.png"), std::string::npos);
    EXPECT_EQ(written.find("</html>"), std::string::npos);
}

// Answers the overwrite question as told and counts the questions.
class AnsweringTile : public ThumbNailMakerTile {
public:
    AnsweringTile(bool answer, Observer* observer) : ThumbNailMakerTile(1, observer), answer(answer) {}

    int asked = 0;

protected:
    bool confirmOverwrite(HWND, const wstring&) override
    {
        ++asked;
        return answer;
    }

private:
    bool answer;
};

TEST_F(ThumbNailSheets, ADeclinedOverwriteShowsTheSourcePictures)
{
    wstring existing = thumbs() + L"\\thumbnail1.jpg";
    writeBytes(existing.buffer(), {'o', 'l', 'd'});
    AnsweringTile no(false, &observer);
    std::string written = page(no, {L"wide.png", L"tall.png", L"square.png"}, thumbs());
    EXPECT_TRUE(complete);
    EXPECT_EQ(no.asked, 1);
    EXPECT_EQ(readBytes(existing.buffer()), (std::vector<BYTE>{'o', 'l', 'd'}));
    EXPECT_FALSE(Path(thumbs() + L"\\thumbnail2.jpg").exists());
    EXPECT_EQ(written.find("thumbnail"), std::string::npos) << "the page refers to the sources";

    AnsweringTile yes(true, &observer);
    page(yes, {L"wide.png", L"tall.png"}, thumbs());
    EXPECT_EQ(yes.asked, 2) << "both thumbnails exist now";
    EXPECT_NE(readBytes(existing.buffer()).size(), 3u);

    setting.fileThumbnailImageOverWrite = true;
    AnsweringTile unasked(false, &observer);
    page(unasked, {L"wide.png"}, thumbs());
    EXPECT_EQ(unasked.asked, 0);
}

TEST_F(ThumbNailSheets, FailuresThrowTheirCodes)
{
    std::unique_ptr<IThumbNailMaker> tile(createThumbNailMaker(1, 1, &observer));
    OutputMemoryStream stream;
    stream.open();
    expectCode(ErrorCode::InvalidState, [&] { tile->make(nullptr, L"utf-8", L"", &stream, wstring()); });
    tile->addFile(pathIn(folder, L"wide.png"));
    expectCode(ErrorCode::InvalidArgument, [&] { tile->make(nullptr, L"utf-8", L"", nullptr, thumbs()); });
    EXPECT_FALSE(Path(thumbs() + L"\\thumbnail0.jpg").exists()) << "the thumbnails of a failed page stay";

    tile->addFile(pathIn(folder, L"missing.png"));
    setting.fileThumbnailImageOverWrite = true;
    try {
        tile->make(nullptr, L"utf-8", L"", &stream, thumbs());
        ADD_FAILURE() << "no exception";
    } catch (const ApplicationException& e) {
        EXPECT_STREQ(e.getText(), Messages::E0012.get());
    }
    for (int kind : {0, 7})
        expectCode(ErrorCode::InvalidArgument, [&] { delete createThumbNailMaker(kind, 1, &observer); });
}

} // namespace
