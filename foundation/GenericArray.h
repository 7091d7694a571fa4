#pragma once
#include <new>
#include "foundation/ObjectArray.h"

// Copies of values, each in a heap cell of its own that the array owns. What a pointer value points to is
// not owned.
template <typename T>
class GenericArray {
public:
    GenericArray() = default;
    GenericArray(const GenericArray&) = delete;
    GenericArray& operator=(const GenericArray&) = delete;
    virtual ~GenericArray() = default;

    // A failure throws and leaves the array as it was.
    void add(const T& value)
    {
        T* cell = new (std::nothrow) T(value);
        if (!cell)
            throw Exception(ErrorCode::NoMemory);
        if (!cells.add(cell))
            Exception::throwLastError();
    }

    bool removeAt(int index) { return cells.removeAt(index); }
    void removeAll() { cells.removeAll(); }
    void swap(GenericArray& other) { cells.swap(other.cells); }

    T& at(int index) { return *cells.at(index); }
    const T& at(int index) const { return *cells.at(index); }
    int count() const { return cells.count(); }

private:
    ObjectArray<T> cells;
};
