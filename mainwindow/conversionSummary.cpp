#include "mainwindow/conversionSummary.h"
#include <initializer_list>
#include "foundation/wstringArray.h"
#include "mainwindow/mainWindowStrings.h"
#include "settings/AppSetting.h"

wstring conversionSummary(const AppSetting& setting, HMODULE module)
{
    wstringArray keywords;
    keywords.split(L"trimming/resize/text/rotate/convert/appearance", L"/", false);
    wstringArray names;
    names.splitResourceString(module, IDS_STEP_LABELS, L"/");
    if (names.count() < keywords.count())
        Exception::throwInvalidArgument();
    const bool enabled[] = {setting.trimmingEnable, setting.resizeEnable, setting.textEnable,
                            setting.rotateEnable,   setting.effectEnable, setting.appearanceEnable};
    // The steps in the user's order first; a step the order leaves out goes last.
    wstringArray order;
    for (const wstring* step : {&setting.orderFirst, &setting.orderSecond, &setting.orderThird, &setting.orderForth,
                                &setting.orderFifth, &setting.orderSixth})
        if (keywords.contains(*step, false) && !order.contains(*step, false))
            order.add(*step);
    for (int i = 0; i < keywords.count(); ++i)
        if (!order.contains(keywords.at(i), false))
            order.add(keywords.at(i));
    wstringArray shown;
    for (int i = 0; i < order.count(); ++i) {
        for (int k = 0; k < keywords.count(); ++k)
            if (enabled[k] && order.at(i).equals(keywords.at(k)))
                shown.add(names.at(k));
    }
    return shown.join(L"/");
}
