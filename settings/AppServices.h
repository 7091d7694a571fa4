#pragma once

class AppSetting;
class GarbageCollector;

// What the subsystems below the main window use of the application object besides its Application base: the
// settings record and the owner of shared heap objects. An AppServices object lends them for as long as it
// lives and then lends again what was lent before it, so loans nest: the application lends its own for the
// whole run, a batch may lend the record it works from for its run. The imaging core and the conversion
// engine read them here without a lock.
class AppServices {
public:
    // Null lends nothing (a scope in which the services are missing).
    AppServices(AppSetting* setting, GarbageCollector* collector);
    // Lends the record; the collector lent before stays.
    explicit AppServices(AppSetting& setting);
    AppServices(const AppServices&) = delete;
    AppServices& operator=(const AppServices&) = delete;
    ~AppServices();

private:
    AppSetting* previousSetting;
    GarbageCollector* previousCollector;
};

// Exception 1 while nothing is lent.
AppSetting& getAppSetting();
GarbageCollector& getAppCollector();
