#include "foundation/Application.h"
#include "foundation/Path.h"
#include "foundation/StartUp.h"

namespace {

Application* theApplication = nullptr;

std::unique_ptr<Mutex> makeMutex(const wchar_t* mutexName)
{
    std::unique_ptr<Mutex> mutex(new (std::nothrow) Mutex());
    if (!mutex)
        throw Exception(ErrorCode::NoMemory);
    mutex->create(mutexName);
    return mutex;
}

// The text of an exception, released when the exception says it must be.
class MessageText {
public:
    explicit MessageText(const Exception& exception) : text(exception.getMessage(mustFree)) {}
    MessageText(const MessageText&) = delete;
    MessageText& operator=(const MessageText&) = delete;
    ~MessageText()
    {
        if (text && mustFree)
            LocalFree(text);
    }
    const wchar_t* get() const { return text; }

private:
    bool mustFree = false;
    wchar_t* text;
};

Application& globalApplication()
{
    if (!theApplication)
        throw Exception(ErrorCode::InvalidState);
    return *theApplication;
}

} // namespace

Application* getApplication()
{
    return theApplication;
}

void setApplication(Application* application)
{
    theApplication = application;
}

Application::Application()
{
    StartUp::check();
    Path program;
    program.getModulePath();
    directory = program.getDirectory();
    fileName = program.getFileName();
    name = program.getBaseName();
    title = name;
    version = L"1.00";
    // Named after the program file before the application object renames itself, so that every instance
    // of the same file meets in the same mutex.
    namedMutex = makeMutex((name + L"Mutex").buffer());
    secondMutex = makeMutex(nullptr);
}

Application::~Application()
{
    if (resourceModule)
        FreeLibrary(resourceModule);
    secondMutex.reset();
    namedMutex.reset();
}

bool Application::preTranslateMessage(MSG&)
{
    return false;
}

int Application::messageLoop(HACCEL accelerators, HWND target)
{
    MSG message{};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        bool inTarget = target && (message.hwnd == target || IsChild(target, message.hwnd));
        if (accelerators && TranslateAcceleratorW(inTarget ? target : message.hwnd, accelerators, &message))
            continue;
        if (preTranslateMessage(message))
            continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}

bool Application::warn(HWND owner, const wchar_t* text)
{
    // A box that cannot be made returns 0 on Windows and -1 under Wine.
    return MessageBoxW(owner, text, title.buffer(), MB_ICONWARNING) > 0;
}

bool Application::showException(HWND owner, const Exception& exception)
{
    try {
        wstring text = getExceptionText(exception);
        if (text.isEmpty())
            return false;
        return warn(owner, text.buffer());
    } catch (const Exception&) {
        return false;
    }
}

int Application::messageBox(HWND owner, const wchar_t* text, UINT type)
{
    int pressed = MessageBoxW(owner, text, title.buffer(), type);
    if (pressed <= 0)
        Exception::throwLastError();
    return pressed;
}

int Application::messageBox(HWND owner, const wstring& text, UINT type)
{
    return globalApplication().messageBox(owner, text.buffer(), type);
}

wstring Application::loadString(UINT id) const
{
    wstring text;
    text.loadString(getResourceModule(), id);
    return text;
}

wstring Application::getExceptionText(const Exception& exception)
{
    MessageText own(exception);
    if (own.get())
        return wstring(own.get());
    MessageText system(Exception(exception.getCode()));
    return system.get() ? wstring(system.get()) : wstring();
}

bool Application::waitMutex()
{
    return namedMutex && namedMutex->acquire();
}

void Application::releaseSecondMutex()
{
    if (theApplication && theApplication->secondMutex)
        theApplication->secondMutex->release();
}

wstring Application::getVersion()
{
    return globalApplication().version;
}

wstring Application::getExtraText()
{
    return globalApplication().extraText;
}

HMODULE Application::getResourceModule() const
{
    return resourceModule ? resourceModule : GetModuleHandleW(nullptr);
}

wstring applicationRelativePath(const wstring& path)
{
    return resolveRelativePath(path, globalApplication().getDirectory());
}
