#include "mainwindow/FileListFeeder.h"
#include "foundation/Exception.h"

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
        throw Exception(error ? static_cast<int>(error) : ErrorCode::NoMemory);
    }
}

void FileListFeeder::stopAndWait()
{
    if (!isHeld())
        return;
    requestStop();
    for (;;) {
        // Serves the messages other threads have sent to this one, the feeder's offer among them.
        MSG message;
        PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
        DWORD woken = MsgWaitForMultipleObjectsEx(1, &finished, INFINITE, QS_SENDMESSAGE, MWMO_INPUTAVAILABLE);
        if (woken != WAIT_OBJECT_0 + 1)
            break;
    }
    join(true);
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
