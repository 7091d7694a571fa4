#pragma once
#include "foundation/GarbageCollector.h"
#include "foundation/GenericArray.h"

// Registers objects for the length of a scope: at its end every object still on the list gives its
// reference back, unless it was kept (it lives on in the collector) or detached (the caller owns it).
class GCPtrs {
public:
    explicit GCPtrs(GarbageCollector* collector) : collector(collector) {}
    GCPtrs(const GCPtrs&) = delete;
    GCPtrs& operator=(const GCPtrs&) = delete;
    virtual ~GCPtrs();

    template <typename T>
    T* add(T* object)
    {
        collector->add(object);
        try {
            pointers.add(object);
        } catch (...) {
            collector->release(object);
            throw;
        }
        return object;
    }

    // Takes the object off the list; one that is not on it throws Exception 87.
    template <typename T>
    T* keep(T* object)
    {
        unlist(object);
        return object;
    }

    template <typename T>
    T* detach(T* object)
    {
        unlist(object);
        return collector->detach(object);
    }

private:
    void unlist(void* object);

    GarbageCollector* collector;
    GenericArray<void*> pointers;
};
