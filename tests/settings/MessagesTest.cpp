#include <gtest/gtest.h>
#include "settings/Messages.h"
#include "foundation/MemoryStream.h"
#include "foundation/ResourceUpdater.h"
#include "support/ComTesting.h"
#include "support/ExpectCode.h"
#include "support/ScratchFolder.h"

TEST(Messages, EveryIdOfTheProgramsTableIsLoaded)
{
    ComApartment apartment;
    // Any of the 46 ids missing would throw.
    loadMessages(GetModuleHandleW(nullptr));

    EXPECT_STREQ(Messages::E0001.get(), L"GDI+の初期化に失敗しました。");
    EXPECT_STREQ(Messages::E0009.get(), L"ファイル %s は既に存在します。\n名前を変更できません。");
    EXPECT_STREQ(Messages::E0034.get(), L"連番の最低桁数を %s の範囲で入力してください。");
    EXPECT_STREQ(Messages::W0001.get(), L"ファイル %s は既に存在します。\n上書きして続行しますか？");
    EXPECT_STREQ(Messages::W0007.get(), L"%s 個のフォルダーに保存しました。\nすべて開きますか？");
    EXPECT_STREQ(Messages::Q0003.get(), L"変換元ファイル（ %s 個）を削除しますか？");
    EXPECT_STREQ(Messages::I0001.get(), L"完了しました。");
    EXPECT_STREQ(Messages::I0001.get(), Messages::I0002.get());
}

// A program whose table lacks E0003: the ids before it are filled, the rest stay as they were.
TEST(Messages, AMissingIdStopsTheLoad)
{
    ComApartment apartment;
    ScratchFolder folder(L"korvilane-messages");
    std::wstring program = folder.file(L"program.exe");
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    ASSERT_TRUE(CopyFileW(self, program.c_str(), FALSE));
    const char table[] = "<?xml version=\"1.0\" encoding=\"utf-8\" standalone=\"yes\"?>"
                         "<messages><message name=\"E0001\">一</message><message name=\"E0002\">二</message>"
                         "<message name=\"E0004\">四</message></messages>";
    ResourceUpdater updater;
    updater.begin(program.c_str());
    InputMemoryStream data;
    data.open(table, lstrlenA(table));
    updater.update(L"STRINGRESOURCE", L"MESSAGES", &data);
    updater.end(true);

    HMODULE module = LoadLibraryExW(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module, nullptr);
    for (SimpleString* message : {&Messages::E0001, &Messages::E0002, &Messages::E0003, &Messages::E0004})
        message->set(nullptr);
    expectCode(ERROR_INVALID_PARAMETER, [&] { loadMessages(module); });
    FreeLibrary(module);
    EXPECT_STREQ(Messages::E0001.get(), L"一");
    EXPECT_STREQ(Messages::E0002.get(), L"二");
    EXPECT_STREQ(Messages::E0003.get(), L"");
    EXPECT_STREQ(Messages::E0004.get(), L"");
}
