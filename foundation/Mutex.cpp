#include "foundation/Mutex.h"
#include "foundation/Exception.h"

Mutex::~Mutex()
{
    close();
}

void Mutex::close()
{
    if (mutex)
        CloseHandle(mutex);
    mutex = nullptr;
}

void Mutex::create(const wchar_t* name)
{
    close();
    mutex = CreateMutexW(nullptr, FALSE, name);
    if (!mutex)
        Exception::throwLastError();
}

bool Mutex::acquire()
{
    DWORD result = WaitForSingleObject(mutex, INFINITE);
    return result == WAIT_OBJECT_0 || result == WAIT_ABANDONED;
}

void Mutex::release()
{
    ReleaseMutex(mutex);
}
