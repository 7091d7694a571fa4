#pragma once
#include "foundation/Application.h"
#include "foundation/wstringArray.h"

// Makes an application object the global one for the scope's lifetime: the given one, or by default one of
// its own that runs nothing, for code that asks the global application for its name, mutexes or resources.
class GlobalApplication {
public:
    GlobalApplication() { setApplication(&idle); }
    explicit GlobalApplication(Application& application) { setApplication(&application); }
    GlobalApplication(const GlobalApplication&) = delete;
    GlobalApplication& operator=(const GlobalApplication&) = delete;
    ~GlobalApplication() { setApplication(nullptr); }

private:
    class Idle : public Application {
    public:
        int run(const wstringArray&) override { return 0; }
    };

    Idle idle;
};
