#include <gtest/gtest.h>
#include <string>
#include <vector>
#include "InjectedFailure.h"
#include "foundation/IntArray.h"
#include "foundation/foundationStrings.h"
#include "foundation/wstringArray.h"
#include "support/ExpectCode.h"

namespace {

std::vector<std::wstring> piecesOf(const wstringArray& list)
{
    std::vector<std::wstring> pieces;
    for (int i = 0; i < list.count(); ++i)
        pieces.push_back(list.at(i).buffer());
    return pieces;
}

std::vector<std::wstring> split(const wchar_t* text, const wchar_t* separator, bool skipEmpty)
{
    wstringArray list;
    list.split(text, separator, skipEmpty);
    return piecesOf(list);
}

} // namespace

TEST(wstringArray, SplitPiecesAndDoubling)
{
    using Pieces = std::vector<std::wstring>;
    EXPECT_EQ(split(L"a:b::c", L":", false), (Pieces{L"a", L"b", L"", L"c"}));
    EXPECT_EQ(split(L"a:b::c", L":", true), (Pieces{L"a", L"b", L"c"}));
    EXPECT_EQ(split(L":a:", L":", false), (Pieces{L"", L"a", L""}));
    EXPECT_EQ(split(L"", L":", false), (Pieces{L""}));
    EXPECT_EQ(split(L"", L":", true), Pieces{});
    EXPECT_EQ(split(L"a:b", L"", false), (Pieces{L"a:b"}));
    EXPECT_EQ(split(L"one, two,three", L", ", false), (Pieces{L"one", L"two,three"}));
    EXPECT_EQ(split(L"aXbxc", L"x", false), (Pieces{L"aXb", L"c"}));

    wstringArray list;
    list.add(L"old");
    list.split(L"x;y", L";", false);
    EXPECT_EQ(piecesOf(list), (Pieces{L"x", L"y"}));
    list.addAll(list);
    EXPECT_EQ(piecesOf(list), (Pieces{L"x", L"y", L"x", L"y"}));
}

TEST(wstringArray, JoinAndContains)
{
    wstringArray list;
    EXPECT_STREQ(list.join(L":").buffer(), L"");
    EXPECT_FALSE(list.contains(L"", false));
    list.add(L"abc");
    EXPECT_STREQ(list.join(L":").buffer(), L"abc");
    list.add(L"");
    list.add(L"d");
    EXPECT_STREQ(list.join(L":").buffer(), L"abc::d");
    EXPECT_TRUE(list.contains(L"ABC", true));
    EXPECT_FALSE(list.contains(L"ABC", false));
    EXPECT_TRUE(list.contains(L"abc", false));
    EXPECT_FALSE(list.contains(L"ab", true));
}

TEST(wstringArray, BadIndexAndFailedAddChangeNothing)
{
    wstringArray list;
    list.add(L"a");
    expectCode(ERROR_INVALID_PARAMETER, [&] { list.at(-1); });
    expectCode(ERROR_INVALID_PARAMETER, [&] { list.at(1); });
    wstring text(L"b");
    {
        InjectedFailure failure(0);
        expectCode(ERROR_NOT_ENOUGH_MEMORY, [&] { list.add(text); });
    }
    EXPECT_EQ(piecesOf(list), (std::vector<std::wstring>{L"a"}));
    // The element shares the buffer of the string it came from.
    list.add(text);
    EXPECT_EQ(list.at(1).buffer(), text.buffer());
}

TEST(wstringArray, SplitResourceString)
{
    wstringArray list;
    list.add(L"old");
    EXPECT_THROW(list.splitResourceString(GetModuleHandleW(nullptr), 59999, L"x"), Exception);
    EXPECT_EQ(piecesOf(list), (std::vector<std::wstring>{L"old"}));
    list.splitResourceString(GetModuleHandleW(nullptr), IDS_RESOURCE_LOAD_FAILED, L"の");
    EXPECT_EQ(piecesOf(list), (std::vector<std::wstring>{L"リソース", L"読み込みに失敗しました。"}));
}

TEST(IntArray, AddAllAppendsAfterTheOwnValues)
{
    IntArray numbers;
    numbers.getValues().add(1);
    GenericArray<int> other;
    other.add(2);
    other.add(3);
    numbers.addAll(other);
    numbers.addAll(numbers.getValues());
    std::vector<int> values;
    for (int i = 0; i < numbers.getValues().count(); ++i)
        values.push_back(numbers.getValues().at(i));
    EXPECT_EQ(values, (std::vector<int>{1, 2, 3, 1, 2, 3}));
    EXPECT_EQ(other.count(), 2);
}
