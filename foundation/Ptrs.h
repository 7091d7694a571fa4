#pragma once
#include "foundation/GenericArray.h"

// A list of objects that it deletes, in index order, when it is cleared or destroyed.
template <typename T>
class Ptrs {
public:
    Ptrs() = default;
    Ptrs(const Ptrs&) = delete;
    Ptrs& operator=(const Ptrs&) = delete;
    virtual ~Ptrs() { deleteAll(); }

    // The object belongs to the list from the call on: when it cannot be taken it is deleted and the
    // exception passes on, so that a caller never has to guess who deletes it.
    void add(T* object)
    {
        try {
            pointers.add(object);
        } catch (...) {
            delete object;
            throw;
        }
    }

    void deleteAll()
    {
        for (int i = 0; i < pointers.count(); ++i)
            delete pointers.at(i);
        pointers.removeAll();
    }

    T* at(int index) const { return pointers.at(index); }
    int count() const { return pointers.count(); }

private:
    GenericArray<T*> pointers;
};
