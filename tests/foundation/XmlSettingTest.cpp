#include <gtest/gtest.h>
#include "foundation/XmlSetting.h"
#include "ValueTestSupport.h"
#include "XmlTesting.h"
#include "support/ComTesting.h"

namespace {

const char* const Declaration = "<?xml version=\"1.0\" encoding=\"utf-8\" standalone=\"yes\"?>\n";

class XmlSettingTest : public testing::Test {
protected:
    ComApartment apartment;
    ScratchFolder folder{L"korvilane-xmlsetting"};
    std::wstring path = folder.file(L"settings.xml");
    XmlSetting store;

    std::string saved()
    {
        store.save(path.c_str());
        return withoutCarriageReturns(path);
    }

    bool loadText(const std::string& text)
    {
        writeText(path, text);
        return store.load(path.c_str());
    }
};

} // namespace

TEST_F(XmlSettingTest, SavesSectionsAndKeysInTheirOrder)
{
    store.setRootElementName(L"Korvilane");
    store.writeInt(L"Window", L"Width", 600);
    store.writeBool(L"Window", L"Maximized", true);
    store.writeString(L"Text", L"Overlay", L"line 1\nline 2");
    store.writeString(L"Empty", L"gone", L"x");
    store.deleteKey(L"Empty", L"gone");
    // Overwriting keeps the key's place.
    store.writeInt(L"Window", L"Width", 800);
    EXPECT_EQ(saved(), std::string(Declaration) +
                           "<Korvilane>\n"
                           "  <Window>\n"
                           "    <element name=\"Width\" value=\"800\"/>\n"
                           "    <element name=\"Maximized\" value=\"true\"/>\n"
                           "  </Window>\n"
                           "  <Text>\n"
                           "    <element name=\"Overlay\">line 1\n"
                           "line 2</element>\n"
                           "  </Text>\n"
                           "  <Empty>\n"
                           "  </Empty>\n"
                           "</Korvilane>\n");
}

TEST_F(XmlSettingTest, EveryKindOfValueComesBack)
{
    ThreadLocaleScope german(GermanLocale);
    store.writeInt(L"Numbers", L"Negative", -42);
    store.writeBool(L"Numbers", L"Off", false);
    Decimal scale(0);
    scale.parse(L"1.25");
    store.writeDecimal(L"Numbers", L"Scale", scale);
    store.writeString(L"文字", L"書式", L"  %Y年%m月%d日  ");
    store.writeString(L"Text", L"Overlay", L"first\r\nsecond\r\n");
    store.save(path.c_str());

    XmlSetting back;
    EXPECT_TRUE(back.load(path.c_str()));
    EXPECT_EQ(back.readInt(L"Numbers", L"Negative", 0), -42);
    EXPECT_FALSE(back.readBool(L"Numbers", L"Off", true));
    EXPECT_STREQ(back.readString(L"Numbers", L"Scale", L"").buffer(), L"1.25");
    EXPECT_STREQ(back.readDecimal(L"Numbers", L"Scale", Decimal(0)).toString().buffer(), L"1.25");
    EXPECT_STREQ(back.readString(L"文字", L"書式", L"").buffer(), L"  %Y年%m月%d日  ");
    // XML parsing turns every CRLF into LF.
    EXPECT_STREQ(back.readString(L"Text", L"Overlay", L"").buffer(), L"first\nsecond\n");
}

// A parser refuses a whole file for one such character; a pair of surrogates is one character.
TEST_F(XmlSettingTest, TextThatNoXmlFileCanHoldIsRefused)
{
    for (const wchar_t* text : {L"\x1f", L"a\xD800", L"\xDC00-", L"\xFFFF"})
        EXPECT_THROW(store.writeString(L"Text", L"Overlay", text), UnstorableSettingValue);
    store.writeString(L"Text", L"Overlay", L"\xD83D\xDE00");
    EXPECT_TRUE(loadText(saved()));
    EXPECT_STREQ(store.readString(L"Text", L"Overlay", L"").buffer(), L"\xD83D\xDE00");
}

TEST_F(XmlSettingTest, TypedReadsOfStoredText)
{
    EXPECT_TRUE(loadText("<any>\n"
                         "  <!-- comments and text between sections are skipped -->\n"
                         "  <S>\n"
                         "    <element name=\"empty\"/>\n"
                         "    <element name=\"spaced\" value=\" 42 \"/>\n"
                         "    <element name=\"word\" value=\"abc\"/>\n"
                         "    <element name=\"huge\" value=\"99999999999\"/>\n"
                         "    <element name=\"capital\" value=\"True\"/>\n"
                         "    <element name=\"one\" value=\"1\"/>\n"
                         "    <element name=\"both\" value=\"attribute\">text</element>\n"
                         "    <group><element name=\"deep\" value=\"7\"/></group>\n"
                         "  </S>\n"
                         "</any>\n"));
    // An empty element is present: its text, not the default, is what typed reads see.
    EXPECT_STREQ(store.readString(L"S", L"empty", L"default").buffer(), L"");
    EXPECT_EQ(store.readInt(L"S", L"empty", 5), 0);
    EXPECT_FALSE(store.readBool(L"S", L"empty", true));
    EXPECT_EQ(store.readInt(L"S", L"spaced", 5), 42);
    EXPECT_EQ(store.readInt(L"S", L"word", 5), 0);
    EXPECT_EQ(store.readIntInRange(L"S", L"huge", 5, 1, 10), 1);
    EXPECT_FALSE(store.readBool(L"S", L"capital", true));
    EXPECT_FALSE(store.readBool(L"S", L"one", true));
    EXPECT_STREQ(store.readString(L"S", L"both", L"").buffer(), L"text");
    EXPECT_EQ(store.readInt(L"S", L"deep", 0), 7);
    EXPECT_EQ(store.readIntInRange(L"S", L"missing", 300, 1, 100), 100);
    EXPECT_TRUE(store.readBool(L"Missing", L"missing", true));
    EXPECT_EQ(thrownCode([&] { store.readIntInRange(L"S", L"one", 5, 10, 9); }), ERROR_INVALID_PARAMETER);
}

TEST_F(XmlSettingTest, RepeatedSectionsMergeAndRepeatedKeysKeepTheLastValue)
{
    EXPECT_TRUE(loadText("<Other>"
                         "<A><element name=\"one\" value=\"1\"/><element name=\"two\" value=\"2\"/></A>"
                         "<B><element name=\"x\" value=\"x\"/></B>"
                         "<A><element name=\"three\" value=\"3\"/><element name=\"one\" value=\"uno\"/></A>"
                         "</Other>"));
    EXPECT_EQ(saved(), std::string(Declaration) +
                           "<setting>\n"
                           "  <A>\n"
                           "    <element name=\"one\" value=\"uno\"/>\n"
                           "    <element name=\"two\" value=\"2\"/>\n"
                           "    <element name=\"three\" value=\"3\"/>\n"
                           "  </A>\n"
                           "  <B>\n"
                           "    <element name=\"x\" value=\"x\"/>\n"
                           "  </B>\n"
                           "</setting>\n");
}

// A section or an entry is an element of that very name, however the file declares its namespaces; the name
// carries a prefix where the element has one. Nothing else with the name counts.
TEST_F(XmlSettingTest, SectionsAndEntriesAreTheElementsOfTheirNames)
{
    std::string text = "<any xmlns:p=\"urn:p\">"
                       "<A xmlns=\"urn:a\"><element name=\"plain\" value=\"1\"/>"
                       "<p:element name=\"prefixed\" value=\"2\"/></A>"
                       "<p:A><element name=\"other\" value=\"3\"/></p:A>"
                       "</any>";
    auto bytes = reinterpret_cast<const BYTE*>(text.data());
    wstringArray wanted;
    wanted.add(L"A");
    wanted.add(L"p:A");
    const wstringArray* everySection = nullptr;
    const wstringArray* onlyThese = &wanted;
    for (const wstringArray* names : {everySection, onlyThese}) {
        ASSERT_TRUE(store.load(bytes, static_cast<int>(text.size()), names));
        EXPECT_STREQ(store.readString(L"A", L"plain", L"").buffer(), L"1");
        EXPECT_STREQ(store.readString(L"A", L"prefixed", L"none").buffer(), L"none");
        EXPECT_STREQ(store.readString(L"A", L"other", L"none").buffer(), L"none");
        EXPECT_STREQ(store.readString(L"p:A", L"other", L"").buffer(), L"3");
    }
}

TEST_F(XmlSettingTest, AFileThatDoesNotLoadLeavesAnEmptyStoreAndSaysSo)
{
    store.writeString(L"S", L"k", L"stale");
    EXPECT_FALSE(store.load(folder.file(L"missing.xml").c_str()));
    EXPECT_STREQ(store.readString(L"S", L"k", L"default").buffer(), L"default");

    store.writeString(L"S", L"k", L"stale");
    EXPECT_FALSE(loadText("<setting><S><element name=\"k\" value=\"v\"/></S>"));
    EXPECT_STREQ(store.readString(L"S", L"k", L"default").buffer(), L"default");

    EXPECT_TRUE(loadText("<setting/>"));
}

TEST_F(XmlSettingTest, DeletingMissingSectionsAndKeysChangesNothing)
{
    store.writeString(L"A", L"k", L"v");
    store.deleteKey(L"A", L"other");
    store.deleteKey(L"B", L"k");
    store.deleteSection(L"B");
    EXPECT_STREQ(store.readString(L"A", L"k", L"").buffer(), L"v");
    store.deleteSection(L"A");
    EXPECT_STREQ(store.readString(L"A", L"k", L"gone").buffer(), L"gone");
    EXPECT_EQ(saved(), std::string(Declaration) + "<setting>\n</setting>\n");
}

TEST_F(XmlSettingTest, AFailedSaveThrows)
{
    store.writeString(L"A", L"k", L"v");
    EXPECT_THROW(store.save(folder.file(L"no such folder\\settings.xml").c_str()), Exception);
}

TEST_F(XmlSettingTest, BytesReadLikeTheFileAndOnlyTheSectionsAskedFor)
{
    std::string text = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<any>\n"
                       "  <A><element name=\"one\" value=\"1\"/>"
                       "<x><y><element name=\"deep\">d<element name=\"inner\" value=\"i\"/></element></y>"
                       "<element name=\"after\" value=\"a\"/></x><element name=\"last\" value=\"l\"/></A>\n"
                       "  <B><element name=\"名前\">値\n続き</element></B>\n"
                       "  <A><element name=\"two\" value=\"2\"/></A>\n"
                       "</any>\n";
    auto bytes = reinterpret_cast<const BYTE*>(text.data());
    int length = static_cast<int>(text.size());
    ASSERT_TRUE(store.load(bytes, length));
    EXPECT_EQ(saved(), std::string(Declaration) +
                           "<setting>\n"
                           "  <A>\n"
                           "    <element name=\"one\" value=\"1\"/>\n"
                           "    <element name=\"deep\" value=\"d\"/>\n"
                           "    <element name=\"inner\" value=\"i\"/>\n"
                           "    <element name=\"after\" value=\"a\"/>\n"
                           "    <element name=\"last\" value=\"l\"/>\n"
                           "    <element name=\"two\" value=\"2\"/>\n"
                           "  </A>\n"
                           "  <B>\n"
                           "    <element name=\"名前\">値\n"
                           "続き</element>\n"
                           "  </B>\n"
                           "</setting>\n");

    wstringArray onlyB;
    onlyB.add(L"B");
    onlyB.add(L"C");
    ASSERT_TRUE(store.load(bytes, length, &onlyB));
    EXPECT_FALSE(store.hasKeys(L"A"));
    EXPECT_STREQ(store.readString(L"B", L"名前", L"").buffer(), L"値\n続き");

    // Every section that was asked for is read whole, wherever it stands between the others.
    wstringArray onlyA;
    onlyA.add(L"A");
    ASSERT_TRUE(store.load(bytes, length, &onlyA));
    EXPECT_FALSE(store.hasKeys(L"B"));
    EXPECT_STREQ(store.readString(L"A", L"deep", L"").buffer(), L"d");
    EXPECT_STREQ(store.readString(L"A", L"inner", L"").buffer(), L"i");
    EXPECT_STREQ(store.readString(L"A", L"two", L"").buffer(), L"2");

    std::string broken = "<any><A>";
    EXPECT_FALSE(store.load(reinterpret_cast<const BYTE*>(broken.data()), static_cast<int>(broken.size())));
    EXPECT_FALSE(store.hasKeys(L"B"));
    EXPECT_FALSE(store.load(reinterpret_cast<const BYTE*>(""), 0));
}
