#include <gtest/gtest.h>
#include "foundation/Exception.h"
#include "foundation/Mutex.h"
#include "foundation/PProfile.h"
#include "foundation/wstring.h"

TEST(Exception, MessageComesFromTheSystemTable)
{
    bool mustFree = false;
    wchar_t* text = Exception(ERROR_INVALID_PARAMETER).getMessage(mustFree);
    ASSERT_NE(text, nullptr);
    EXPECT_TRUE(mustFree);
    EXPECT_GT(lstrlenW(text), 0);
    LocalFree(text);

    mustFree = false;
    EXPECT_EQ(Exception(ErrorCode::LayoutFileMessage).getMessage(mustFree), nullptr);
    EXPECT_TRUE(mustFree);
}

TEST(ApplicationException, CarriesItsOwnCopyOfTheText)
{
    wchar_t original[] = L"設定ファイルがありません";
    ApplicationException error(original);
    original[0] = L'X';
    EXPECT_EQ(error.getCode(), ErrorCode::OwnMessage);
    ApplicationException copy(error);
    bool mustFree = true;
    EXPECT_STREQ(copy.getMessage(mustFree), L"設定ファイルがありません");
    EXPECT_FALSE(mustFree);
    EXPECT_NE(copy.getText(), error.getText());

    EXPECT_EQ(ApplicationException(L"layout", ErrorCode::LayoutFileMessage).getCode(), 0x10000000);
}

TEST(ApplicationException, WithoutTextHasNoMessage)
{
    ApplicationException error(nullptr);
    EXPECT_EQ(error.getCode(), 0x10000001);
    bool mustFree = true;
    EXPECT_EQ(error.getMessage(mustFree), nullptr);
    EXPECT_FALSE(mustFree);
    EXPECT_EQ(ApplicationException(nullptr, ErrorCode::SettingsFileMissing).getCode(), 0x10000002);
}

TEST(ApplicationException, FromModuleLoadsTheResourceText)
{
    ApplicationException error = ApplicationException::fromModule(GetModuleHandleW(nullptr));
    EXPECT_EQ(error.getCode(), ErrorCode::OwnMessage);
    EXPECT_STREQ(error.getText(), L"リソースの読み込みに失敗しました。");

    // A module without the string gives a plain Exception instead.
    HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    try {
        ApplicationException::fromModule(kernel);
        FAIL() << "no exception";
    } catch (const ApplicationException&) {
        FAIL() << "an ApplicationException for a missing resource";
    } catch (const Exception& e) {
        EXPECT_NE(e.getCode(), 0);
    }
}

TEST(Mutex, SecondCreateOfANameFindsTheFirst)
{
    wstring name(L"KorvilaneTestMutex");
    wstring suffix;
    suffix.setInt(static_cast<int>(GetCurrentProcessId()));
    name.append(suffix);

    Mutex first;
    first.create(name.buffer());
    Mutex second;
    second.create(name.buffer());
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
    EXPECT_TRUE(second.acquire());
    second.release();
    {
        MutexLock lock(first);
        EXPECT_TRUE(lock.isOwned());
    }
    Mutex unnamed;
    unnamed.create(nullptr);
    EXPECT_NE(unnamed.handle(), nullptr);
}

TEST(Mutex, AbandonedMutexCountsAsAcquired)
{
    Mutex mutex;
    mutex.create(nullptr);
    HANDLE thread = CreateThread(
        nullptr, 0,
        [](void* handle) -> DWORD {
            WaitForSingleObject(static_cast<HANDLE>(handle), INFINITE);
            return 0; // ends while it owns the mutex
        },
        mutex.handle(), 0, nullptr);
    ASSERT_NE(thread, nullptr);
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    EXPECT_TRUE(mutex.acquire());
    mutex.release();
}

TEST(PProfile, KeepsAPrivateCopyOfThePath)
{
    PProfile profile;
    EXPECT_EQ(profile.getFileName(), nullptr);
    wchar_t path[] = L"C:\\data\\設定.ini";
    const wchar_t* stored = profile.setFileName(path);
    path[0] = L'D';
    EXPECT_STREQ(stored, L"C:\\data\\設定.ini");
    EXPECT_EQ(profile.setFileName(nullptr), nullptr);
    EXPECT_EQ(profile.getFileName(), nullptr);
}
