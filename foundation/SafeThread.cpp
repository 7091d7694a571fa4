#include "foundation/SafeThread.h"
#include <process.h>

SafeThread::~SafeThread()
{
    state.join(true);
}

bool SafeThread::start(void* argument)
{
    state.join(true);
    record = {this, argument};
    state.prepareRun();
    unsigned threadId = 0;
    auto thread = reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, routine, &record, 0, &threadId));
    return state.adopt(thread, threadId);
}

DWORD SafeThread::join(bool clearFlag)
{
    return state.join(clearFlag);
}

unsigned __stdcall SafeThread::routine(void* parameter)
{
    auto start = static_cast<StartRecord*>(parameter);
    return start->object->Run(start->argument);
}
