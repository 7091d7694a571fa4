#include <windows.h>
#include <gtest/gtest.h>
#include "mainwindow/conversionSummary.h"
#include "settings/AppSetting.h"

namespace {

wstring summaryOf(const AppSetting& setting)
{
    return conversionSummary(setting, GetModuleHandleW(nullptr));
}

} // namespace

TEST(ConversionSummaryTest, EnabledStepsInTheUsersOrderWithUnorderedStepsLast)
{
    AppSetting setting;
    EXPECT_STREQ(summaryOf(setting).buffer(), L"") << "nothing enabled";
    setting.trimmingEnable = true;
    setting.rotateEnable = true;
    setting.effectEnable = true;
    setting.appearanceEnable = true;
    setting.orderFirst = L"appearance";
    setting.orderSecond = L"rotate";
    setting.orderThird = L"no such step";
    setting.orderForth = L"text";
    setting.orderFifth = L"trimming";
    // Resize and convert are missing from the order: they follow in the fixed order, resize being off.
    EXPECT_STREQ(summaryOf(setting).buffer(), L"外観/回転/トリミング/加工");
}
