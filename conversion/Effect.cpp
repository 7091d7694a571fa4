#include "conversion/Effect.h"
#include <initializer_list>
#include "foundation/Exception.h"
#include "foundation/wstringArray.h"
#include "settings/AppServices.h"
#include "settings/AppSetting.h"

const EffectStep effectSteps[6] = {
    {L"trimming", L"effectTrimming"}, {L"resize", L"effectStretch"},  {L"text", L"effectText"},
    {L"rotate", L"effectRotate"},     {L"convert", L"effectConvert"}, {L"appearance", L"effectAppearance"},
};

namespace {

const wchar_t defaultOrder[] = L"trimming/resize/text/rotate/convert/appearance";

using StepFunction = StepResult (*)(Gdiplus::Bitmap*& bitmap, ICanceller* canceller);

// In the order of effectSteps.
const StepFunction stepFunctions[6] = {
    [](Gdiplus::Bitmap*& bitmap, ICanceller*) { return applyTrimming(bitmap); },
    [](Gdiplus::Bitmap*& bitmap, ICanceller*) { return applyStretch(bitmap); },
    [](Gdiplus::Bitmap*& bitmap, ICanceller*) { return applyText(bitmap); },
    [](Gdiplus::Bitmap*& bitmap, ICanceller*) { return applyRotate(bitmap); },
    [](Gdiplus::Bitmap*& bitmap, ICanceller* canceller) { return applyConvert(bitmap, canceller); },
    [](Gdiplus::Bitmap*& bitmap, ICanceller*) { return applyAppearance(bitmap); },
};

} // namespace

void getEffectKeysInOrder(CollectionStringToString& keys)
{
    CollectionStringToString keyOfWord;
    for (const EffectStep& step : effectSteps)
        keyOfWord.set(step.word, step.key);
    wstringArray defaultWords;
    defaultWords.split(defaultOrder, L"/", false);

    keys.removeAll();
    // A word already placed keeps its first place.
    auto place = [&](const wstring& word, const wstring& key) {
        if (!keys.find(word))
            keys.set(word, key);
    };
    const AppSetting& setting = getAppSetting();
    for (const wstring* word : {&setting.orderFirst, &setting.orderSecond, &setting.orderThird, &setting.orderForth,
                                &setting.orderFifth, &setting.orderSixth}) {
        if (const wstring* key = keyOfWord.find(*word))
            place(*word, *key);
    }
    for (int i = 0; i < defaultWords.count(); ++i)
        place(defaultWords.at(i), keyOfWord.value(defaultWords.at(i)));
}

StepResult applyEffect(const wchar_t* key, Gdiplus::Bitmap*& bitmap, ICanceller* canceller)
{
    if (!key)
        Exception::throwInvalidArgument();
    for (int i = 0; i < 6; ++i) {
        if (lstrcmpW(key, effectSteps[i].key) == 0)
            return stepFunctions[i](bitmap, canceller);
    }
    Exception::throwInvalidArgument();
}

StepResult replacePicture(Gdiplus::Bitmap*& bitmap, Gdiplus::Bitmap* made)
{
    if (!made)
        return StepFailed;
    delete bitmap;
    bitmap = made;
    return StepChanged;
}

Gdiplus::ARGB argbOf(COLORREF color, bool transparent)
{
    return Gdiplus::Color::MakeARGB(transparent ? 0x00 : 0xFF, GetRValue(color), GetGValue(color), GetBValue(color));
}

int percentOf(int length, const Decimal& percent)
{
    return Decimal(length).multiply(percent).divide(Decimal(100)).toIntRounded();
}
