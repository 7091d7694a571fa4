#pragma once
// Waits for what another thread or process does, without serving this thread's messages.
#include <windows.h>
#include <chrono>
#include <functional>

// Looks at the condition again and again until it holds; false when it still does not after the timeout.
inline bool pollUntil(const std::function<bool()>& condition,
                      std::chrono::milliseconds timeout = std::chrono::seconds(10))
{
    auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        Sleep(20);
    }
    return true;
}
