#include <gtest/gtest.h>
#include <string>
#include "foundation/FileAssociation.h"
#include "foundation/SettingReg.h"
#include "support/ExpectCode.h"

// These tests write under HKEY_CLASSES_ROOT of the throwaway prefix that the program runs in.
namespace {

const wchar_t TestRoot[] = L"KorvilaneRegTest";

// The default value of a key as the system reads it; "<none>" when key or value are missing.
std::wstring defaultValueOf(const std::wstring& key)
{
    wchar_t text[512];
    DWORD bytes = sizeof(text);
    if (RegGetValueW(HKEY_CLASSES_ROOT, key.c_str(), nullptr, RRF_RT_REG_SZ, nullptr, text, &bytes) != ERROR_SUCCESS)
        return L"<none>";
    return text;
}

bool keyExists(const std::wstring& key)
{
    HKEY opened = nullptr;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS)
        return false;
    RegCloseKey(opened);
    return true;
}

// Stores the bytes as given, without the terminating zero that Reg adds.
void storeRawString(const wchar_t* key, const wchar_t* valueName, const wchar_t* text, DWORD bytes)
{
    HKEY opened = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CLASSES_ROOT, key, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &opened, nullptr), 0);
    EXPECT_EQ(RegSetValueExW(opened, valueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(text), bytes), 0);
    RegCloseKey(opened);
}

class RegTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(store.reg().createClassesRoot(TestRoot)); }
    void TearDown() override
    {
        store.reg().close();
        RegDeleteTreeW(HKEY_CLASSES_ROOT, TestRoot);
    }

    SettingReg store;
};

} // namespace

TEST_F(RegTest, StringsAndNumbersRoundTripInSubkeys)
{
    Reg& reg = store.reg();
    ASSERT_TRUE(reg.setString(L"a\\b", L"name", L"日本語 text"));
    ASSERT_TRUE(reg.setDword(L"a\\b", L"count", 0xFFFFFFFE));
    ASSERT_TRUE(reg.setString(nullptr, nullptr, L"own default"));

    int capacity = reg.getString(L"a\\b", L"name", nullptr, 0);
    EXPECT_GE(capacity, 10);
    std::wstring buffer(capacity, L'#');
    EXPECT_EQ(reg.getString(L"a\\b", L"name", buffer.data(), capacity), 8);
    EXPECT_STREQ(buffer.c_str(), L"日本語 text");
    EXPECT_EQ(reg.getDword(L"a\\b", L"count", 7), 0xFFFFFFFEu);
    EXPECT_EQ(store.readInt(L"a\\b", L"count", 7), -2);
    EXPECT_EQ(store.readKeyValue(L"", L"-"), L"own default");

    // Missing values and values of the other type read as the default.
    EXPECT_EQ(reg.getDword(L"a\\b", L"name", 7), 7u);
    EXPECT_EQ(reg.getString(L"a\\b", L"count", nullptr, 0), 0);
    EXPECT_EQ(reg.getDword(L"a\\missing", L"count", 9), 9u);
    EXPECT_EQ(reg.getString(L"a\\missing", L"name", nullptr, 0), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));

    ASSERT_TRUE(reg.deleteValue(L"a\\b", L"count"));
    EXPECT_EQ(reg.getDword(L"a\\b", L"count", 3), 3u);
    EXPECT_FALSE(reg.deleteValue(L"a\\b", L"count"));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    // Deleting under a key that is not there leaves it not there.
    EXPECT_FALSE(reg.deleteValue(L"a\\missing", L"count"));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_FALSE(keyExists(std::wstring(TestRoot) + L"\\a\\missing"));
}

TEST_F(RegTest, TextStoredWithoutTerminatorIsTerminated)
{
    std::wstring key = std::wstring(TestRoot) + L"\\raw";
    // Three characters with no zero after them, and two and a half characters (an odd byte count).
    storeRawString(key.c_str(), L"whole", L"abcXYZ", 3 * sizeof(wchar_t));
    storeRawString(key.c_str(), L"odd", L"abcXYZ", 5);

    std::wstring buffer(16, L'#');
    int capacity = store.reg().getString(L"raw", L"whole", nullptr, 0);
    EXPECT_EQ(capacity, 4);
    EXPECT_EQ(store.reg().getString(L"raw", L"whole", buffer.data(), capacity), 3);
    EXPECT_EQ(std::wstring(buffer.c_str()), L"abc");
    EXPECT_EQ(store.readString(L"raw", L"whole", L"-"), L"abc");
    EXPECT_EQ(store.readString(L"raw", L"odd", L"-"), L"ab");

    // Too small a buffer reads nothing.
    buffer.assign(16, L'#');
    EXPECT_EQ(store.reg().getString(L"raw", L"whole", buffer.data(), 3), 0);
    EXPECT_EQ(buffer[0], L'\0');
}

TEST_F(RegTest, SettingStoreReadsWithDefaults)
{
    store.writeString(L"s", L"text", L"7");
    EXPECT_EQ(store.readInt(L"s", L"text", 5), 5);
    EXPECT_EQ(store.readIntInRange(L"s", L"none", 5, 1, 3), 3);
    expectCode(ERROR_INVALID_PARAMETER, [&] { store.readIntInRange(L"s", L"none", 5, 1, 0); });
    store.writeString(L"s", L"empty", L"");
    EXPECT_EQ(store.readString(L"s", L"empty", L"default"), L"default");
    store.writeBool(L"s", L"flag", true);
    EXPECT_TRUE(store.readBool(L"s", L"flag", false));
    EXPECT_FALSE(store.readBool(L"s", L"none", false));
    store.writeDecimal(L"s", L"ratio", Decimal(2.5));
    EXPECT_EQ(store.readString(L"s", L"ratio", L""), L"2.5");

    store.deleteKey(L"s", L"text");
    EXPECT_EQ(store.readString(L"s", L"text", L"gone"), L"gone");
    expectCode(ERROR_FILE_NOT_FOUND, [&] { store.deleteKey(L"s", L"text"); });
}

TEST_F(RegTest, SubkeysAreListedAndDeleted)
{
    store.writeInt(L"list\\one", L"v", 1);
    store.writeInt(L"list\\two", L"v", 2);
    store.writeInt(L"list\\three\\deeper", L"v", 3);

    wstringArray names;
    names.add(L"stale");
    store.getSubKeyNames(L"list", names);
    ASSERT_EQ(names.count(), 3);
    EXPECT_TRUE(names.contains(L"one", false));
    EXPECT_TRUE(names.contains(L"three", false));
    store.getSubKeyNames(L"list\\one", names);
    EXPECT_EQ(names.count(), 0);
    expectCode(ERROR_FILE_NOT_FOUND, [&] { store.getSubKeyNames(L"missing", names); });

    RegKeyInfo info;
    ASSERT_TRUE(store.reg().queryInfo(L"list", info));
    EXPECT_EQ(info.subKeys, 3u);
    EXPECT_EQ(info.longestSubKeyName, 5u);
    EXPECT_FALSE(store.reg().queryInfo(L"missing", info));
    EXPECT_EQ(info.subKeys, 0u);

    wchar_t name[16] = L"x";
    EXPECT_EQ(store.reg().enumSubKey(L"list", 3, name, 16), ERROR_NO_MORE_ITEMS);
    EXPECT_STREQ(name, L"");

    // A key with subkeys of its own stays.
    EXPECT_NE(thrownCode([&] { store.deleteSection(L"list\\three"); }), -1);
    store.deleteSection(L"list\\three\\deeper");
    store.deleteSection(L"list\\three");
    store.getSubKeyNames(L"list", names);
    EXPECT_EQ(names.count(), 2);
}

TEST(Reg, ClosedKeyFailsWithInvalidHandle)
{
    SettingReg store;
    Reg& reg = store.reg();
    EXPECT_FALSE(reg.setString(L"", L"v", L"x"));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_EQ(reg.getString(L"", L"v", nullptr, 0), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    wchar_t name[4];
    EXPECT_EQ(reg.enumSubKey(L"", 0, name, 4), ERROR_INVALID_HANDLE);
    expectCode(ERROR_INVALID_HANDLE, [&] { store.deleteSection(L"x"); });
    expectCode(ERROR_INVALID_HANDLE, [&] { store.writeInt(L"", L"v", 1); });
    EXPECT_EQ(store.readInt(L"", L"v", 4), 4);
    EXPECT_FALSE(reg.openClassesRoot(L"KorvilaneNoSuchKey"));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_FALSE(reg.isOpen());
}

TEST(FileAssociation, RegistersLowerCasedAndUnregisters)
{
    registerFileType(L"Korvilane", L"C:\\Program Files\\Korvilane\\Korvilane.EXE", L"LAY", L"Korvilane Layout File", 3);
    EXPECT_EQ(defaultValueOf(L".lay"), L"korvilane.lay");
    EXPECT_EQ(defaultValueOf(L"korvilane.lay"), L"Korvilane Layout File");
    EXPECT_EQ(defaultValueOf(L"korvilane.lay\\DefaultIcon"), L"c:\\program files\\korvilane\\korvilane.exe,3");
    EXPECT_EQ(defaultValueOf(L"korvilane.lay\\shell\\open\\command"),
              L"\"c:\\program files\\korvilane\\korvilane.exe\" \"%1\"");
    EXPECT_TRUE(isFileTypeRegistered(L"Korvilane", L"LAY"));
    EXPECT_TRUE(isFileTypeRegistered(L"korvilane", L"lay"));
    EXPECT_FALSE(isFileTypeRegisteredElsewhere(L"Korvilane", L"LAY"));
    EXPECT_TRUE(isFileTypeRegisteredElsewhere(L"Other", L"LAY"));

    unregisterFileType(L"Korvilane", L"LAY");
    EXPECT_FALSE(keyExists(L"korvilane.lay"));
    EXPECT_FALSE(keyExists(L".lay"));
    EXPECT_FALSE(isFileTypeRegistered(L"Korvilane", L"LAY"));
    EXPECT_FALSE(isFileTypeRegisteredElsewhere(L"Korvilane", L"LAY"));
    expectCode(ERROR_FILE_NOT_FOUND, [] { unregisterFileType(L"Korvilane", L"LAY"); });
}

TEST(FileAssociation, UnregisteringKeepsAnExtensionTakenByAnotherProgram)
{
    registerFileType(L"Korvilane", L"c:\\k.exe", L"lay", L"Layout", 0);
    storeRawString(L".lay", nullptr, L"other.document", sizeof(L"other.document"));
    EXPECT_FALSE(isFileTypeRegistered(L"Korvilane", L"lay"));
    EXPECT_TRUE(isFileTypeRegisteredElsewhere(L"Korvilane", L"lay"));

    unregisterFileType(L"Korvilane", L"lay");
    EXPECT_FALSE(keyExists(L"korvilane.lay"));
    EXPECT_EQ(defaultValueOf(L".lay"), L"other.document");

    // An extension key without a default value counts as someone else's.
    storeRawString(L".lay", nullptr, L"", sizeof(L""));
    EXPECT_TRUE(isFileTypeRegisteredElsewhere(L"Korvilane", L"lay"));
    RegDeleteTreeW(HKEY_CLASSES_ROOT, L".lay");
}

TEST(FileAssociation, FailedRegistrationLeavesNothingBehind)
{
    // A class name beyond the registry's 255-character limit fails after the extension key was written.
    std::wstring longName(300, L'k');
    int code = thrownCode([&] { registerFileType(longName.c_str(), L"c:\\k.exe", L"kvt", L"Layout", 0); });
    EXPECT_NE(code, -1);
    EXPECT_FALSE(keyExists(L".kvt"));
}
