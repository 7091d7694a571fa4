#include "settings/OpenParams.h"

bool OpenParams::parse(const wstringArray& arguments)
{
    for (int i = 0; i < arguments.count(); ++i) {
        const wstring& argument = arguments.at(i);
        if (argument.isEmpty())
            continue;
        if (argument.startsWith(L"/") || argument.startsWith(L"-"))
            return false;
        files.add(argument);
    }
    return true;
}
