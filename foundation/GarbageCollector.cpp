#include "foundation/GarbageCollector.h"

GarbageCollector::Destructors::~Destructors()
{
    for (int i = 0; i < count(); ++i)
        delete valueAt(i);
}

int GarbageCollector::PtrHashKey::hash(void* const& key) const
{
    // The low half of the address; heap addresses differ there.
    return static_cast<int>(reinterpret_cast<INT_PTR>(key));
}

GarbageCollector::GarbageCollector() : pointers(6765, &pointerKey) {}

GarbageCollector::~GarbageCollector()
{
    CriticalSectionLock hold(lock);
    // Each entry leaves the table before its object goes: a destructor that detaches or gives back another
    // entry then finds the table as it is, and nothing is destroyed twice.
    while (pointers.count() > 0) {
        void* object = pointers.keyAt(pointers.count() - 1);
        IDestructor* destructor = pointers.value(object).destructor;
        pointers.remove(object);
        destructor->destroy(object);
    }
    zeroCount = 0;
}

GarbageCollector::PtrInfo& GarbageCollector::registered(void* object)
{
    PtrInfo* info = pointers.find(object);
    if (!info || info->references == 0)
        Exception::throwInvalidArgument();
    return *info;
}

int GarbageCollector::release(void* object)
{
    CriticalSectionLock hold(lock);
    PtrInfo& info = registered(object);
    int before = info.references--;
    if (info.references == 0)
        ++zeroCount;
    return before;
}

void GarbageCollector::forget(void* object)
{
    CriticalSectionLock hold(lock);
    registered(object);
    pointers.remove(object);
}

void GarbageCollector::collect()
{
    CriticalSectionLock hold(lock);
    for (int i = pointers.count() - 1; i >= 0; --i) {
        // Destroying an object may have shortened the table (its destructor may forget others).
        if (i >= pointers.count())
            continue;
        void* object = pointers.keyAt(i);
        PtrInfo info = pointers.value(object);
        if (info.references != 0)
            continue;
        info.destructor->destroy(object);
        pointers.remove(object);
    }
    zeroCount = 0;
}
