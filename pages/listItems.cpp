#include "pages/listItems.h"
#include "foundation/wstringArray.h"
#include "settings/ProgramResources.h"
#include "toolkit/ComboBox.h"

void fillListFromString(ComboBox& list, UINT itemsId, int selection)
{
    wstringArray items;
    items.splitResourceString(programResourceModule(), itemsId, L"/");
    list.addStrings(items);
    list.setCurSel(selection);
}
