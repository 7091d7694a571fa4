#pragma once

// Makes the `new` after `successes` more successful ones on the calling thread throw std::bad_alloc (and only
// that one), and switches injection off again however the test ends: memory that runs out in the objects of
// the standard library and of the program's own classes, as InjectedFailure does for MemoryAllocator. A
// program that uses it replaces the global operator new by linking the injected_new_failure library.
class InjectedNewFailure {
public:
    explicit InjectedNewFailure(int successes);
    InjectedNewFailure(const InjectedNewFailure&) = delete;
    InjectedNewFailure& operator=(const InjectedNewFailure&) = delete;
    ~InjectedNewFailure();

    // True once the failure has been thrown.
    bool struck() const;
};
