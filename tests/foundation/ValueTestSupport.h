#pragma once
#include <windows.h>
#include "support/ExpectCode.h"


// Switches the calling thread to another locale for one scope.
class ThreadLocaleScope {
public:
    explicit ThreadLocaleScope(LCID locale) : previous(GetThreadLocale()) { SetThreadLocale(locale); }
    ThreadLocaleScope(const ThreadLocaleScope&) = delete;
    ThreadLocaleScope& operator=(const ThreadLocaleScope&) = delete;
    ~ThreadLocaleScope() { SetThreadLocale(previous); }

private:
    LCID previous;
};

constexpr LCID GermanLocale = MAKELCID(MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN), SORT_DEFAULT);
