#pragma once
#include "foundation/GarbageCollector.h"
#include "settings/AppServices.h"
#include "settings/AppSetting.h"

// A settings record of the test's own (the defaults), lent to the subsystems below for the object's lifetime
// together with a collector that lives as long as the test program: what the program builds once per run,
// such as the preset table, stays registered there.
class LentSettings {
public:
    LentSettings() : services(&setting, &programCollector()) {}
    // A record whose dialogs take their font from the faces ("face:points;..." in order of preference).
    explicit LentSettings(const wchar_t* uiFontFaces) : LentSettings() { setting.windowUiFontFaces = uiFontFaces; }
    LentSettings(const LentSettings&) = delete;
    LentSettings& operator=(const LentSettings&) = delete;

    AppSetting setting;

private:
    static GarbageCollector& programCollector()
    {
        static GarbageCollector collector;
        return collector;
    }

    AppServices services;
};
