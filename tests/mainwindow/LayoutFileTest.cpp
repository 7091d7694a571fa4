#include <windows.h>
#include <gtest/gtest.h>
#include <string>
#include "foundation/Application.h"
#include "foundation/FileHandle.h"
#include "mainwindow/LayoutFile.h"
#include "settings/Messages.h"
#include "support/ComTesting.h"
#include "support/LentSettings.h"
#include "support/ScratchFolder.h"
#include "support/fileBytes.h"

namespace {

constexpr wchar_t AppName[] = L"korvilane";

class LayoutFileTest : public testing::Test {
protected:
    void SetUp() override { loadMessages(GetModuleHandleW(nullptr)); }

    // An empty file of that name in the scratch folder.
    std::wstring touch(const wchar_t* name)
    {
        std::wstring path = folder.file(name);
        writeBytes(path, Bytes{1});
        return path;
    }

    static std::wstring joined(const wstringArray& paths)
    {
        std::wstring text;
        for (int i = 0; i < paths.count(); ++i)
            text += std::wstring(paths.at(i).buffer()) + L"|";
        return text;
    }

    static std::wstring messageOf(const Exception& exception)
    {
        return Application::getExceptionText(exception).buffer();
    }

    ComApartment com;
    LentSettings lent;
    ScratchFolder folder{L"korvilane-layouts"};
};

} // namespace

TEST_F(LayoutFileTest, SavedLayoutOpensWithTheSamePicturesInTheSameOrder)
{
    wstringArray pictures;
    for (const wchar_t* name : {L"c.png", L"a b.jpg", L"日本.bmp"})
        pictures.add(touch(name).c_str());
    std::wstring layout = folder.file(L"list.lay");
    writeLayout(layout.c_str(), AppName, pictures);

    wstringArray opened;
    readLayout(layout.c_str(), AppName, opened);
    EXPECT_EQ(joined(opened), joined(pictures));
}

TEST_F(LayoutFileTest, HandWrittenLayoutIgnoresBlankLinesAndIndentationAndMayListNothing)
{
    std::wstring a = touch(L"a.png");
    std::wstring layout = folder.file(L"hand.lay");
    std::string path(a.begin(), a.end());
    writeText(layout, "<?xml version=\"1.0\"?>\r\n<setting>\r\n  <element name=\"application\" value=\"korvilane\"/>\r\n"
                      "  <element name=\"files\">\r\n\r\n  \t" + path + "   \r\n\r\n    x.jpg\r\n  </element>\r\n</setting>\r\n");
    wstringArray opened;
    readLayout(layout.c_str(), AppName, opened);
    EXPECT_EQ(joined(opened), a + L"|x.jpg|") << "files that are gone are the list's to report";

    writeText(layout, "<setting><element name=\"application\" value=\"korvilane\"/></setting>");
    readLayout(layout.c_str(), AppName, opened);
    EXPECT_EQ(opened.count(), 0);
}

TEST_F(LayoutFileTest, MissingOrForeignLayoutsAreRefusedWithTheirOwnTexts)
{
    wstringArray opened;
    opened.add(L"kept from before");
    try {
        readLayout(folder.file(L"none.lay").c_str(), AppName, opened);
        ADD_FAILURE() << "a missing layout was read";
    } catch (const Exception& exception) {
        EXPECT_EQ(exception.getCode(), ErrorCode::LayoutFileMessage);
        EXPECT_EQ(messageOf(exception), L"レイアウトファイルが見つかりません。");
    }
    EXPECT_EQ(opened.count(), 0) << "the list is emptied first";

    std::wstring layout = folder.file(L"other.lay");
    for (const std::string& document :
         {std::string("<setting><element name=\"application\" value=\"Korvilane\"/></setting>"),
          std::string("not xml at all")}) {
        writeText(layout, document);
        try {
            readLayout(layout.c_str(), AppName, opened);
            ADD_FAILURE() << "accepted: " << document;
        } catch (const Exception& exception) {
            EXPECT_EQ(exception.getCode(), ErrorCode::LayoutFileMessage);
            EXPECT_EQ(messageOf(exception), L"有効なレイアウトファイルではありません。");
        }
    }
}

TEST_F(LayoutFileTest, ExpansionTakesFolderPicturesLayoutsAndReadableTypesOnly)
{
    std::wstring inFolder = touch(L"in folder.JPG");
    touch(L"notes.txt");
    CreateDirectoryW(folder.file(L"sub").c_str(), nullptr);
    touch(L"sub\\deeper.png");
    std::wstring listed = touch(L"sub\\listed.png");
    wstringArray inner;
    inner.add(folder.file(L"sub\\inner.lay").c_str());
    writeLayout(inner.at(0), AppName, inner);
    wstringArray outerFiles;
    outerFiles.add(listed.c_str());
    outerFiles.add(inner.at(0));
    std::wstring outer = folder.file(L"outer.lay");
    writeLayout(outer.c_str(), AppName, outerFiles);

    wstringArray given, result;
    for (const std::wstring& path : {folder.file(L""), outer, folder.file(L"picture.Png"), folder.file(L"noextension"),
                                     folder.file(L"text.txt")})
        given.add(path.c_str());
    expandPaths(given, true, true, AppName, result);
    EXPECT_EQ(joined(result), inFolder + L"|" + listed + L"|" + inner.at(0).buffer() + L"|" +
                                  folder.file(L"picture.Png") + L"|")
        << "the folder without its sub-folders; the layout one level deep; the readable extension in any case";

    expandPaths(given, false, false, AppName, result);
    EXPECT_EQ(result.count(), 5) << "without filter and expansion only folders are looked into";
}

TEST_F(LayoutFileTest, ASaveThatFailsKeepsTheOldLayoutByteForByteAndNoneWritesIntoIt)
{
    wstringArray pictures;
    pictures.add(touch(L"a.png").c_str());
    std::wstring layout = folder.file(L"kept.lay");
    writeLayout(layout.c_str(), AppName, pictures);
    ULONGLONG first = fileIdentity(layout);
    Bytes before = readBytes(layout);
    pictures.add(touch(L"b.png").c_str());
    {
        // A reader that allows no deleting holds the old layout, so the new one cannot take its place.
        FileHandle reader(openForReading(layout));
        EXPECT_THROW(writeLayout(layout.c_str(), AppName, pictures), Exception);
    }
    EXPECT_EQ(readBytes(layout), before);
    EXPECT_EQ(temporaryFilesIn(folder.file(L"")), 0);
    // The writer empties a file before it writes, so a save that broke off there would leave a cut layout:
    // the old file must never be the one written into.
    writeLayout(layout.c_str(), AppName, pictures);
    EXPECT_NE(fileIdentity(layout), first);
}
