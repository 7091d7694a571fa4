#include <gtest/gtest.h>
#include "foundation/ComException.h"
#include "foundation/XmlProperties.h"
#include "ValueTestSupport.h"
#include "XmlTesting.h"
#include "support/ComTesting.h"

namespace {

class XmlPropertiesTest : public testing::Test {
protected:
    ComApartment apartment;
    ScratchFolder folder{L"korvilane-xml"};
    XmlProperties list;

    wstring value(const wchar_t* key) { return list.value(key); }
};

} // namespace

TEST_F(XmlPropertiesTest, SavesValuesWithLineFeedsAsTextAndOthersAsAttributes)
{
    list.set(L"application", L"x");
    list.set(L"files", L"a\n    b");
    std::wstring path = folder.file(L"layout.lay");
    list.save(path.c_str());
    EXPECT_EQ(withoutCarriageReturns(path),
              "<?xml version=\"1.0\" encoding=\"utf-8\" standalone=\"yes\"?>\n"
              "<setting>\n"
              "  <element name=\"application\" value=\"x\"/>\n"
              "  <element name=\"files\">a\n"
              "    b</element>\n"
              "</setting>\n");

    XmlProperties back;
    EXPECT_TRUE(back.load(path.c_str()));
    ASSERT_EQ(back.count(), 2);
    EXPECT_STREQ(back.keyAt(0).buffer(), L"application");
    EXPECT_STREQ(back.value(L"application").buffer(), L"x");
    EXPECT_STREQ(back.value(L"files").buffer(), L"a\n    b");
}

TEST_F(XmlPropertiesTest, AnEmptyListSavesTheRootWithOnlyALineBreak)
{
    list.setRootElementName(L"messages");
    std::wstring path = folder.file(L"empty.xml");
    list.save(path.c_str());
    EXPECT_EQ(withoutCarriageReturns(path),
              "<?xml version=\"1.0\" encoding=\"utf-8\" standalone=\"yes\"?>\n<messages>\n</messages>\n");
}

TEST_F(XmlPropertiesTest, ReadsEntriesAtAnyDepthUnderAnyRoot)
{
    EXPECT_TRUE(list.loadXML(L"<anything>"
                             L"<element value=\"no name\"/>"
                             L"<element name=\"both\" value=\"attribute\">text</element>"
                             L"<element name=\"neither\"/>"
                             L"<group><element name=\"nested\" value=\"deep\"/></group>"
                             L"<other name=\"ignored\" value=\"x\"/>"
                             L"<element name=\"repeated\" value=\"first\"/>"
                             L"<element name=\"last\" value=\"z\"/>"
                             L"<element name=\"repeated\" value=\"second\"/>"
                             L"</anything>"));
    ASSERT_EQ(list.count(), 6);
    EXPECT_STREQ(value(L"").buffer(), L"no name");
    EXPECT_STREQ(value(L"both").buffer(), L"text");
    EXPECT_STREQ(value(L"neither").buffer(), L"");
    EXPECT_STREQ(value(L"nested").buffer(), L"deep");
    EXPECT_STREQ(value(L"repeated").buffer(), L"second");
    EXPECT_STREQ(list.keyAt(4).buffer(), L"repeated");
    EXPECT_EQ(list.find(L"ignored"), nullptr);
}

TEST_F(XmlPropertiesTest, TextKeepsItsSpacesAndJapanese)
{
    list.setValueMode(XmlValueMode::Text);
    list.set(L"padded", L"  both ends  ");
    list.set(L"メッセージ", L"ファイルを保存できません。");
    std::wstring path = folder.file(L"text.xml");
    list.save(path.c_str());

    XmlProperties back;
    EXPECT_TRUE(back.load(path.c_str()));
    EXPECT_STREQ(back.value(L"padded").buffer(), L"  both ends  ");
    EXPECT_STREQ(back.value(L"メッセージ").buffer(), L"ファイルを保存できません。");
}

TEST_F(XmlPropertiesTest, AFileThatDoesNotLoadGivesAnEmptyListAndFalse)
{
    list.set(L"stale", L"1");
    EXPECT_FALSE(list.load(folder.file(L"missing.xml").c_str()));
    EXPECT_EQ(list.count(), 0);

    std::wstring path = folder.file(L"broken.xml");
    writeText(path, "<setting><element name=\"a\" value=\"1\"/>");
    list.set(L"stale", L"1");
    EXPECT_FALSE(list.load(path.c_str()));
    EXPECT_EQ(list.count(), 0);
    EXPECT_FALSE(list.loadXML(L"not xml"));
}

TEST_F(XmlPropertiesTest, AFailedSaveThrowsWithText)
{
    list.set(L"a", L"1");
    try {
        list.save(folder.file(L"no such folder\\layout.lay").c_str());
        ADD_FAILURE() << "saved into a missing folder";
    } catch (const Exception& e) {
        bool mustFree = false;
        wchar_t* text = e.getMessage(mustFree);
        ASSERT_NE(text, nullptr);
        EXPECT_GT(lstrlenW(text), 0);
        if (mustFree)
            LocalFree(text);
    }
}
