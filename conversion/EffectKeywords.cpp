#include "conversion/EffectKeywords.h"
#include "foundation/wstringArray.h"

namespace {

const wchar_t keywordText[] =
    L"mirrorh/mirrorv/grayscale/grayscaleinvert/sepia/warm/cool/saturateu/saturated/invertcolor/contrast/"
    L"equalize/equalizes/soft/sharp/emboss/median/edge/edgedetect/mask/maskinvert/pixelate/blurradius/"
    L"blurrotation/clearalpha/alpha/red/green/blue/rgbrbg/rgbgrb/rgbgbr/rgbbrg/rgbbgr";

void loadKeywords(wstringArray& keywords)
{
    keywords.split(keywordText, L"/", false);
}

} // namespace

EffectPreset effectIndexOf(const wchar_t* keyword)
{
    if (!keyword)
        Exception::throwInvalidArgument();
    wstringArray keywords;
    loadKeywords(keywords);
    for (int i = 0; i < keywords.count(); ++i) {
        if (lstrcmpW(keywords.at(i).buffer(), keyword) == 0)
            return i + 1;
    }
    return 0;
}

wstring effectName(EffectPreset index)
{
    wstringArray keywords;
    loadKeywords(keywords);
    if (index < 1 || index > keywords.count())
        return wstring();
    return keywords.at(index - 1);
}
