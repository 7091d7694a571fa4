#include "imaging/wicDecoderList.h"
#include "foundation/Com.h"
#include "foundation/SettingReg.h"

namespace {

const wchar_t DecoderCategory[] = L"CLSID\\{7ED96837-96F0-4812-B211-F13C24117ED3}";

// False when the category key cannot be opened.
bool listDecoders(wstringArray& clsids)
{
    SettingReg category;
    if (!category.reg().openClassesRoot(DecoderCategory))
        return false;
    category.getSubKeyNames(L"Instance", clsids);
    return true;
}

} // namespace

int wicDecoderCount()
{
    wstringArray clsids;
    listDecoders(clsids);
    return clsids.count();
}

wstring wicDecoderClsid(int index)
{
    wstringArray clsids;
    if (!listDecoders(clsids))
        return wstring();
    if (index < 0 || index >= clsids.count())
        Exception::throwInvalidArgument();
    return clsids.at(index);
}

void wicDecoderFileExtensions(const CLSID& decoder, wstringArray& extensions)
{
    extensions.removeAll();
    SettingReg key;
    if (!key.reg().openClassesRoot((L"CLSID\\" + clsidToString(decoder)).buffer()))
        return;
    // The documented separator is ",", but some systems (Wine among them) register lists such as ".tga;.tpic".
    extensions.split(key.readKeyValue(L"FileExtensions", L"").replace(L";", L","), L",", true);
}
