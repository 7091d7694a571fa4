#pragma once

class AppSetting;
class GarbageCollector;

// What the subsystems below the main window use of the application object besides its Application base: the
// settings record and the owner of shared heap objects, both alive for the whole run. The application object
// lends them once it has made them and takes them back (null) before it destroys them; the imaging core and
// the conversion engine read them here without a lock.
void setAppServices(AppSetting* setting, GarbageCollector* collector);
// Exception 1 while nothing has been lent.
AppSetting& getAppSetting();
GarbageCollector& getAppCollector();
