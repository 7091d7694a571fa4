#include <gtest/gtest.h>
#include "foundation/SimpleString.h"
#include "foundation/astring.h"
#include "foundation/foundationStrings.h"
#include "foundation/wstring.h"
#include "support/ExpectCode.h"

TEST(wstring, DefaultIsEmptyWithOneUnit)
{
    wstring empty;
    EXPECT_EQ(empty.length(), 0);
    EXPECT_EQ(empty.getCapacity(), 1);
    EXPECT_STREQ(empty.buffer(), L"");
    expectCode(ERROR_INVALID_PARAMETER, [] { wstring().at(0); });
    expectCode(ERROR_INVALID_PARAMETER, [] { wstring().reserve(0); });
}

TEST(wstring, NullArgumentsThrowInvalidArgument)
{
    expectCode(ERROR_INVALID_PARAMETER, [] { wstring text(static_cast<const wchar_t*>(nullptr)); });
    expectCode(ERROR_INVALID_PARAMETER, [] { wstring(L"a").append(static_cast<const wchar_t*>(nullptr)); });
    expectCode(ERROR_INVALID_PARAMETER, [] { wstring(L"a").compare(nullptr); });
    expectCode(ERROR_INVALID_PARAMETER, [] { wstring(L"a").find(nullptr); });
    expectCode(ERROR_INVALID_PARAMETER, [] { wstring(L"a").replace(nullptr, L"b"); });
    expectCode(ERROR_INVALID_PARAMETER, [] { wstring(L"a").replace(L"a", nullptr); });
    expectCode(ERROR_INVALID_PARAMETER, [] { wstring().assign(static_cast<const char*>(nullptr)); });
    expectCode(ERROR_INVALID_PARAMETER, [] { astring text(static_cast<const char*>(nullptr)); });
    expectCode(ERROR_INVALID_PARAMETER, [] { astring().assign(static_cast<const wchar_t*>(nullptr)); });
}

TEST(wstring, CopiesShareUntilOneWrites)
{
    wstring first(L"picture.jpg");
    wstring second(first);
    EXPECT_EQ(first.buffer(), second.buffer());
    EXPECT_EQ(first.shareCount(), 2);

    *second.at(0) = L'P';
    EXPECT_STREQ(first.buffer(), L"picture.jpg");
    EXPECT_STREQ(second.buffer(), L"Picture.jpg");
    EXPECT_EQ(first.shareCount(), 1);
    EXPECT_EQ(second.shareCount(), 1);

    wstring third;
    third = first;
    third.append(L".bak");
    EXPECT_STREQ(first.buffer(), L"picture.jpg");
    EXPECT_STREQ(third.buffer(), L"picture.jpg.bak");
}

TEST(wstring, SelfAssignmentAndSelfAppend)
{
    wstring text(L"ab");
    wstring& alias = text;
    text = alias;
    EXPECT_EQ(text.shareCount(), 1);
    text.assign(text.buffer());
    EXPECT_STREQ(text.buffer(), L"ab");

    text.append(text);
    EXPECT_STREQ(text.buffer(), L"abab");
    text.append(text.buffer() + 2);
    EXPECT_STREQ(text.buffer(), L"ababab");
    text.assign(text.buffer() + 4);
    EXPECT_STREQ(text.buffer(), L"ab");
}

TEST(wstring, GrowthIsExact)
{
    wstring text(L"abc");
    EXPECT_EQ(text.getCapacity(), 4);
    text.append(L"de");
    EXPECT_EQ(text.getCapacity(), 6);
    EXPECT_EQ(wstring(L"x", wstring(L"yz")).getCapacity(), 4);
}

TEST(wstring, CountChangesAreSafeAcrossThreads)
{
    wstring shared(L"shared text");
    auto worker = [](void* parameter) -> DWORD {
        auto text = static_cast<wstring*>(parameter);
        for (int i = 0; i < 20000; ++i) {
            wstring copy(*text);
            wstring other = copy;
        }
        return 0;
    };
    HANDLE threads[4];
    for (HANDLE& thread : threads)
        thread = CreateThread(nullptr, 0, worker, &shared, 0, nullptr);
    WaitForMultipleObjects(4, threads, TRUE, INFINITE);
    for (HANDLE thread : threads)
        CloseHandle(thread);
    EXPECT_EQ(shared.shareCount(), 1);
}

TEST(wstring, FindAndRfind)
{
    wstring text(L"a.b.c");
    EXPECT_EQ(text.find(L"."), 1);
    EXPECT_EQ(text.find(L".", 2), 3);
    EXPECT_EQ(text.find(L".", -5), 1);
    EXPECT_EQ(text.find(L""), -1);
    EXPECT_EQ(text.find(L"c", 5), -1);
    EXPECT_EQ(text.find(L"c.d"), -1);
    EXPECT_EQ(text.rfind(L".", 1000), 3);
    EXPECT_EQ(text.rfind(L".", 2), 1);
    EXPECT_EQ(text.rfind(L"a", 0), 0);
    EXPECT_EQ(text.rfind(L".", -1), -1);
    EXPECT_EQ(text.rfind(L"", 3), -1);
    EXPECT_EQ(wstring(L"abc").rfind(L".", 1000), -1);
    EXPECT_EQ(wstring(L"写真_001.jpg").find(L"_"), 2);
    // Rename templates rely on punctuation matching exactly.
    EXPECT_EQ(wstring(L"a-b_c").find(L"_"), 3);
    EXPECT_EQ(wstring(L"$n$d").find(L"$d"), 2);
}

TEST(wstring, StartsAndEndsWith)
{
    EXPECT_FALSE(wstring(L"ab").startsWith(L"abc"));
    EXPECT_TRUE(wstring(L"abc").startsWith(L"ab"));
    EXPECT_TRUE(wstring(L"abc").endsWith(L"bc"));
    EXPECT_FALSE(wstring(L"abc").endsWith(L"ab"));
    EXPECT_FALSE(wstring(L"bc").endsWith(L"abc"));
    EXPECT_TRUE(wstring(L"abc").endsWith(L"abc"));
    EXPECT_TRUE(wstring(L"abc").startsWith(L""));
    EXPECT_TRUE(wstring(L"abc").endsWith(L""));
    EXPECT_TRUE(wstring(L"").startsWith(L""));
    EXPECT_TRUE(wstring(L"layout.lay").endsWith(L".lay"));
    EXPECT_FALSE(wstring(L"Photo.JPG").endsWith(L".jpg"));
}

TEST(wstring, SubstringFamilyClampsItsArguments)
{
    wstring hello(L"hello");
    EXPECT_STREQ(hello.substring(-3, 2).buffer(), L"he");
    EXPECT_STREQ(hello.substring(5, 2).buffer(), L"");
    EXPECT_STREQ(hello.substring(3, 10).buffer(), L"lo");
    EXPECT_STREQ(hello.substring(1, 0).buffer(), L"");
    EXPECT_STREQ(hello.left(2).buffer(), L"he");
    EXPECT_STREQ(hello.left(-1).buffer(), L"");
    EXPECT_STREQ(hello.mid(-2).buffer(), L"hello");
    EXPECT_STREQ(hello.mid(4).buffer(), L"o");
    EXPECT_STREQ(wstring(L"abc").right(10).buffer(), L"abc");
    EXPECT_STREQ(wstring(L"abc").right(0).buffer(), L"");
    EXPECT_STREQ(wstring(L"abc").right(2).buffer(), L"bc");
    EXPECT_STREQ(hello.buffer(), L"hello");
}

TEST(wstring, PadReplaceAndCase)
{
    EXPECT_STREQ(wstring(L"42").padLeft(5).buffer(), L"00042");
    EXPECT_STREQ(wstring(L"123456").padLeft(5).buffer(), L"123456");
    EXPECT_STREQ(wstring(L"aaaa").replace(L"aa", L"b").buffer(), L"bb");
    EXPECT_STREQ(wstring(L"aaaa").replace(L"", L"b").buffer(), L"aaaa");
    EXPECT_STREQ(wstring(L"$n-$n").replace(L"$n", L"写真").buffer(), L"写真-写真");
    EXPECT_STREQ(wstring(L"abc").replace(L"b", L"").buffer(), L"ac");
    EXPECT_STREQ(wstring(L"Photo.JPG").toLower().buffer(), L"photo.jpg");
    wstring original(L"Photo.jpg");
    wstring upper = original.toUpper();
    EXPECT_STREQ(upper.buffer(), L"PHOTO.JPG");
    EXPECT_STREQ(original.buffer(), L"Photo.jpg");
}

TEST(wstring, TrimKeepsIdeographicSpace)
{
    EXPECT_STREQ(wstring(L"\t x").trimLeft().buffer(), L"x");
    EXPECT_STREQ(wstring(L"\x3000x").trimLeft().buffer(), L"\x3000x");
    EXPECT_STREQ(wstring(L"x \r\n").trimRight().buffer(), L"x");
    EXPECT_STREQ(wstring(L"  a b  ").trim().buffer(), L"a b");
    EXPECT_STREQ(wstring(L"   ").trim().buffer(), L"");
}

TEST(wstring, NumbersInAndOut)
{
    EXPECT_EQ(wstring(L" 12 ").toInt(), 12);
    EXPECT_EQ(wstring(L"abc").toInt(), 0);
    EXPECT_EQ(wstring(L"").toInt(), 0);
    EXPECT_EQ(wstring(L"-7").toInt(), -7);
    wstring text;
    text.setInt(-2147483647 - 1);
    EXPECT_STREQ(text.buffer(), L"-2147483648");
}

TEST(wstring, ComparisonFollowsLstrcmp)
{
    wstring text(L"b");
    EXPECT_LT(text.compare(L"c"), 0);
    EXPECT_GT(text.compare(L"a"), 0);
    EXPECT_EQ(text.compare(L"b"), 0);
    EXPECT_TRUE(text.equals(L"b"));
    EXPECT_TRUE(text.notEquals(L"B"));
    EXPECT_TRUE(text == wstring(L"b"));
}

TEST(wstring, ConvertsThroughTheAnsiCodePage)
{
    // The tests run with the Japanese code page, as the program does on Japanese Windows.
    ASSERT_EQ(GetACP(), 932u);
    astring narrow(wstring(L"画像フォルダ"));
    EXPECT_STREQ(narrow.buffer(), "\x89\xe6\x91\x9c\x83\x74\x83\x48\x83\x8b\x83\x5f");
    wstring wide(narrow);
    EXPECT_STREQ(wide.buffer(), L"画像フォルダ");
    astring copy(narrow);
    EXPECT_EQ(copy.buffer(), narrow.buffer());
    copy.assign("x");
    EXPECT_STREQ(narrow.buffer(), "\x89\xe6\x91\x9c\x83\x74\x83\x48\x83\x8b\x83\x5f");
}

TEST(wstring, LoadStringReadsResourcesAndThrowsForMissingOnes)
{
    wstring text;
    text.loadString(GetModuleHandleW(nullptr), IDS_RESOURCE_LOAD_FAILED);
    EXPECT_STREQ(text.buffer(), L"リソースの読み込みに失敗しました。");
    SetLastError(0);
    try {
        text.loadString(GetModuleHandleW(nullptr), 59999);
        FAIL() << "no exception";
    } catch (const Exception& e) {
        EXPECT_EQ(static_cast<DWORD>(e.getCode()), GetLastError());
    }
    EXPECT_STREQ(text.buffer(), L"リソースの読み込みに失敗しました。");
}

TEST(SimpleString, KeepsAtMost1023Units)
{
    SimpleString message;
    EXPECT_STREQ(message.get(), L"");
    wstring longText;
    wchar_t* units = longText.reserve(2001);
    for (int i = 0; i < 2000; ++i)
        units[i] = L'あ';
    message.set(longText.buffer());
    EXPECT_EQ(message.toWstring().length(), 1023);
    message.set(nullptr);
    EXPECT_STREQ(message.get(), L"");
}
