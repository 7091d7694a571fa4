#include "foundation/Thread.h"

Thread::~Thread()
{
    state.join(true);
}

bool Thread::start(void* argument)
{
    state.join(true);
    record = {this, argument};
    state.prepareRun();
    DWORD threadId = 0;
    HANDLE thread = CreateThread(nullptr, 0, routine, &record, 0, &threadId);
    return state.adopt(thread, threadId);
}

DWORD WINAPI Thread::routine(void* parameter)
{
    auto start = static_cast<StartRecord*>(parameter);
    return start->object->run(start->argument);
}
