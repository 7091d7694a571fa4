#include "mainwindow/FileListFeeder.h"
#include <objbase.h>
#include <exception>
#include "foundation/Exception.h"

namespace {

// The error of a thread that could not be made.
[[noreturn]] void throwStartFailure(DWORD error)
{
    throw Exception(error ? static_cast<int>(error) : ErrorCode::NoMemory);
}

// One gathering: the work runs on the thread, and what it threw waits there for the window's thread.
class Gathering : public SafeThread {
public:
    explicit Gathering(const std::function<void()>& work)
        : work(work), finished(CreateEventW(nullptr, TRUE, FALSE, nullptr))
    {
        if (!finished)
            Exception::throwLastError();
    }
    Gathering(const Gathering&) = delete;
    Gathering& operator=(const Gathering&) = delete;
    ~Gathering() override
    {
        stopThread();
        CloseHandle(finished);
    }

    HANDLE finishedEvent() const { return finished; }
    // Read once the thread has been joined.
    std::exception_ptr failure;

protected:
    DWORD Run(void*) override
    {
        HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        try {
            work();
        } catch (...) {
            failure = std::current_exception();
        }
        if (SUCCEEDED(com))
            CoUninitialize();
        SetEvent(finished);
        return 0;
    }

private:
    const std::function<void()>& work;
    HANDLE finished;
};

} // namespace

FileListFeeder::FileListFeeder(DWORD pause) : pause(pause), finished(CreateEventW(nullptr, TRUE, TRUE, nullptr))
{
    if (!finished)
        Exception::throwLastError();
}

FileListFeeder::~FileListFeeder()
{
    stopAndWait();
    CloseHandle(finished);
}

void FileListFeeder::start(HWND target, WPARAM runNumber)
{
    stopAndWait();
    window = target;
    run = runNumber;
    ResetEvent(finished);
    if (!SafeThread::start(nullptr)) {
        DWORD error = GetLastError();
        SetEvent(finished);
        throwStartFailure(error);
    }
}

void FileListFeeder::stopAndWait()
{
    if (!isHeld())
        return;
    requestStop();
    waitAnswering(finished, false);
    join(true);
}

void FileListFeeder::gatherAside(const std::function<void()>& gather)
{
    Gathering gathering(gather);
    if (!gathering.start(nullptr))
        throwStartFailure(GetLastError());
    waitAnswering(gathering.finishedEvent(), true);
    gathering.join(false);
    if (gathering.failure)
        std::rethrow_exception(gathering.failure);
}

void FileListFeeder::waitAnswering(HANDLE event, bool painting)
{
    DWORD wakers = QS_SENDMESSAGE | (painting ? QS_PAINT : 0);
    for (;;) {
        MSG message;
        PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
        if (painting && PeekMessageW(&message, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE | PM_QS_PAINT))
            DispatchMessageW(&message);
        DWORD woken = MsgWaitForMultipleObjectsEx(1, &event, INFINITE, wakers, MWMO_INPUTAVAILABLE);
        if (woken != WAIT_OBJECT_0 + 1)
            break;
    }
}

DWORD FileListFeeder::Run(void*)
{
    while (isRunning()) {
        LRESULT answer = SendMessageW(window, OfferMessage, run, 0);
        if (pause)
            Sleep(pause);
        if (answer != 0 || !IsWindow(window))
            break;
    }
    SetEvent(finished);
    PostMessageW(window, EndedMessage, run, 0);
    return 0;
}
