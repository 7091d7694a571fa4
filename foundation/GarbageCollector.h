#pragma once
#include <typeinfo>
#include "foundation/Collection.h"
#include "foundation/CriticalSection.h"
#include "foundation/StringKeyCollection.h"

// Owns heap objects of unrelated types for several holders at once. An object is registered with one
// reference and given back once; objects given back are destroyed in batches, newest first, during the
// registration that follows the hundredth of them, and whatever is left when the collector itself goes.
// Every operation runs under one re-entrant lock, destruction included.
class GarbageCollector {
public:
    class IDestructor {
    public:
        virtual ~IDestructor() = default;
        virtual void destroy(void* object) = 0;
    };

    // One destructor object per registered type, found by the type's run-time name.
    class Destructors : public StringKeyCollection<IDestructor*> {
    public:
        template <typename T>
        class Destructor : public IDestructor {
        public:
            void destroy(void* object) override { delete static_cast<T*>(object); }
        };

        Destructors() : StringKeyCollection<IDestructor*>(256) {}
        Destructors(const Destructors&) = delete;
        Destructors& operator=(const Destructors&) = delete;
        ~Destructors() override;
    };

    struct PtrInfo {
        IDestructor* destructor;
        int references;
    };

    class PtrHashKey : public Collection<void*, PtrInfo>::HashKey {
    public:
        int hash(void* const& key) const override;
    };

    GarbageCollector();
    GarbageCollector(const GarbageCollector&) = delete;
    GarbageCollector& operator=(const GarbageCollector&) = delete;
    virtual ~GarbageCollector();

    // Registers the object with one reference. A null object throws Exception 8; an object that is already
    // registered throws 87 and stays as it was. When registering fails for lack of memory the object is
    // destroyed and the exception passes on.
    template <typename T>
    T* add(T* object)
    {
        CriticalSectionLock hold(lock);
        if (!object)
            throw Exception(ErrorCode::NoMemory);
        if (pointers.find(object))
            Exception::throwInvalidArgument();
        try {
            IDestructor* destructor = destructorFor<T>();
            pointers.add(object, PtrInfo{destructor, 1});
        } catch (...) {
            delete object;
            throw;
        }
        if (zeroCount >= threshold)
            collect();
        return object;
    }

    // Gives one reference back and returns the count before; the object waits for the next collection.
    // An unregistered object, or one already given back, throws Exception 87.
    int release(void* object);
    // Forgets a live object without destroying it: the caller owns it from then on. Exception 87 as release.
    template <typename T>
    T* detach(T* object)
    {
        forget(object);
        return object;
    }

private:
    template <typename T>
    IDestructor* destructorFor()
    {
        wstring name;
        name.assign(typeid(T).name());
        if (IDestructor** known = destructors.find(name))
            return *known;
        IDestructor* destructor = new (std::nothrow) Destructors::Destructor<T>();
        if (!destructor)
            throw Exception(ErrorCode::NoMemory);
        try {
            destructors.set(name, destructor);
        } catch (...) {
            delete destructor;
            throw;
        }
        return destructor;
    }

    void forget(void* object);
    void collect();
    PtrInfo& registered(void* object);

    CriticalSection lock;
    Destructors destructors;
    PtrHashKey pointerKey;
    Collection<void*, PtrInfo> pointers;
    int zeroCount = 0;
    int threshold = 100;
};
