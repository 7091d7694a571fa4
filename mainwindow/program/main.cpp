// The entry point of korvilane.exe.
#include <windows.h>
#include <ole2.h>
#include <stdlib.h>
#include <memory>
#include "foundation/LibrarySearch.h"
#include "foundation/wstringArray.h"
#include "mainwindow/MyApp.h"
#include "mainwindow/program/programOptionSheets.h"

namespace {

// Stores the application object as the global one for as long as it lives.
class GlobalApplication {
public:
    explicit GlobalApplication(MyApp* application) : application(application) { setApplication(application); }
    GlobalApplication(const GlobalApplication&) = delete;
    GlobalApplication& operator=(const GlobalApplication&) = delete;
    ~GlobalApplication()
    {
        application.reset();
        setApplication(nullptr);
    }
    MyApp& get() { return *application; }

private:
    std::unique_ptr<MyApp> application;
};

int runApplication()
{
    try {
        MyApp* created = new (std::nothrow) MyApp();
        if (!created)
            throwOutOfMemory();
        GlobalApplication application(created);
        setOptionSheets(programOptionSheets());
        // The program's own name is not an argument.
        wstringArray arguments;
        for (int i = 1; i < __argc; ++i)
            arguments.add(__wargv[i]);
        return application.get().run(arguments);
    } catch (...) {
        // The constructor has shown its own failures already.
        return -1;
    }
}

} // namespace

// The parameters are not used: the arguments are taken from the process, already split.
int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    restrictLibrarySearch();
    if (FAILED(OleInitialize(nullptr)))
        return -1;
    int exitCode = runApplication();
    OleUninitialize();
    return exitCode;
}
