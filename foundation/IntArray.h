#pragma once
#include "foundation/GenericArray.h"

// An ordered list of integers, each in a cell of its own.
class IntArray {
public:
    IntArray() = default;
    IntArray(const IntArray&) = delete;
    IntArray& operator=(const IntArray&) = delete;
    virtual ~IntArray() = default;

    // Appends copies after the values already held; adding the own values doubles them.
    void addAll(const GenericArray<int>& other);

    GenericArray<int>& getValues() { return values; }
    const GenericArray<int>& getValues() const { return values; }

private:
    GenericArray<int> values;
};
