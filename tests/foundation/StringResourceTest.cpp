#include <gtest/gtest.h>
#include "foundation/StringResource.h"
#include "support/ComTesting.h"
#include "support/ExpectCode.h"

namespace {

class StringResourceTest : public testing::Test {
protected:
    ComApartment apartment;
    StringResource table;
    HMODULE self = GetModuleHandleW(nullptr);
};

} // namespace

TEST_F(StringResourceTest, ReadsTheUtf8LogTableWithItsJapaneseTexts)
{
    table.load(self, L"LogMessages", L"StringResource", L"logmessages", L"message");
    EXPECT_EQ(table.count(), 42);
    EXPECT_STREQ(table.get(L"M001").buffer(), L"---- 変換開始(%s) ----");
    EXPECT_STREQ(table.get(L"M003").buffer(), L"処理ファイル数:/成功:/失敗:/スキップ:");
    EXPECT_STREQ(table.get(L"M103").buffer(), L"サムネイルファイルを作成中...");
    EXPECT_STREQ(table.get(L"M701").buffer(), L"---- スクリーンセーバーの作成開始(%s) ----");
    EXPECT_STREQ(table.get(L"C007").buffer(), L"%s の削除に失敗しました。");
    expectCode(ERROR_INVALID_PARAMETER, [&] { table.get(L"M005 "); });
    expectCode(ERROR_INVALID_PARAMETER, [&] { table.get(L"m001"); });
}

TEST_F(StringResourceTest, ATableWithoutDeclarationIsParsedAsItIs)
{
    table.load(self, L"Plain", L"StringResource", L"table", L"entry");
    EXPECT_EQ(table.count(), 2);
    EXPECT_STREQ(table.get(L"a").buffer(), L"encoded \"as is\"");
    EXPECT_STREQ(table.get(L"b").buffer(), L"second");
}

TEST_F(StringResourceTest, ATableThatDoesNotParseIsEmpty)
{
    table.load(self, L"LogMessages", L"StringResource", L"logmessages", L"message");
    table.load(self, L"Broken", L"StringResource", L"table", L"entry");
    EXPECT_EQ(table.count(), 0);
    expectCode(ERROR_INVALID_PARAMETER, [&] { table.get(L"a"); });
}

TEST_F(StringResourceTest, AMissingTableOrElementNameFails)
{
    expectCode(ERROR_RESOURCE_NAME_NOT_FOUND,
               [&] { table.load(self, L"Absent", L"StringResource", L"messages", L"message"); });
    expectCode(ERROR_RESOURCE_TYPE_NOT_FOUND,
               [&] { table.load(self, L"Messages", L"AbsentType", L"messages", L"message"); });
    expectCode(ERROR_INVALID_PARAMETER, [&] { table.load(self, L"Messages", L"StringResource", L"", L"message"); });
    expectCode(ERROR_INVALID_PARAMETER, [&] { table.load(self, L"Messages", L"StringResource", L"messages", L""); });
}
