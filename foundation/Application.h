#pragma once

class Application;

// The one application object of the run, reached from every subsystem. The entry point stores it once at
// start-up; it is null before that.
Application* getApplication();
void setApplication(Application* application);
