#include <gtest/gtest.h>
#include "jobs/LogMessages.h"
#include "support/ComTesting.h"

namespace {

struct Expected {
    const SimpleString* text;
    const wchar_t* value;
};

} // namespace

// Every id against its text: a buffer wired to the wrong id would show here.
TEST(LogMessages, EveryIdHoldsItsText)
{
    ComApartment apartment;
    loadLogMessages(GetModuleHandleW(nullptr));

    using namespace LogMessages;
    const Expected expected[] = {
        {&M001, L"---- 変換開始(%s) ----"},
        {&M002, L"---- 変換終了(%s) ----"},
        {&M003, L"処理ファイル数:/成功:/失敗:/スキップ:"},
        {&M004, L"---- 異常終了(%s) ----"},
        {&M005, L"処理を中断しました。"},
        {&M006, L"%s を削除しました。"},
        {&M007, L"%s の削除に失敗しました。"},
        {&M101, L"---- サムネイルの作成開始(%s) ----"},
        {&M102, L"---- サムネイルの作成終了(%s) ----"},
        {&M103, L"サムネイルファイルを作成中..."},
        {&M104, L"出力ファイル名:"},
        {&M201, L"---- 画像の分割開始(%s) ----"},
        {&M202, L"---- 画像の分割終了(%s) ----"},
        {&M203, L"分割ファイル名:"},
        {&M204, L"出力ファイル数:"},
        {&M301, L"---- 画像の結合開始(%s) ----"},
        {&M302, L"---- 画像の結合終了(%s) ----"},
        {&M303, L"結合ファイル数:"},
        {&M304, L"出力ファイル名:"},
        {&M401, L"---- マルチフレームTIFFの作成開始(%s) ----"},
        {&M402, L"---- マルチフレームTIFFの作成終了(%s) ----"},
        {&M403, L"入力ファイル数:"},
        {&M404, L"出力ファイル名:"},
        {&M501, L"---- 動画の作成開始(%s) ----"},
        {&M502, L"---- 動画の作成終了(%s) ----"},
        {&M503, L"入力ファイル数:"},
        {&M504, L"出力ファイル名:"},
        {&M601, L"---- アニメーションGIFの作成開始(%s) ----"},
        {&M602, L"---- アニメーションGIFの作成終了(%s) ----"},
        {&M603, L"入力ファイル数:"},
        {&M604, L"出力ファイル名:"},
        {&M701, L"---- スクリーンセーバーの作成開始(%s) ----"},
        {&M702, L"---- スクリーンセーバーの作成終了(%s) ----"},
        {&M703, L"入力ファイル数:"},
        {&M704, L"出力ファイル名:"},
        {&C001, L"---- 変換開始(%s) ----"},
        {&C002, L"---- 変換終了(%s) ----"},
        {&C003, L"出力ファイル数:"},
        {&C004, L"---- 異常終了(%s) ----"},
        {&C005, L"処理を中断しました。"},
        {&C006, L"%s を削除しました。"},
        {&C007, L"%s の削除に失敗しました。"},
    };
    for (const Expected& entry : expected)
        EXPECT_STREQ(entry.text->get(), entry.value);
}
