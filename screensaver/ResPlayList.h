#pragma once
#include <vector>

// The C library's generator, seeded from the clock once per process.
class Random {
public:
    Random();
    // 0 to RAND_MAX.
    int next();
};

// The order in which the saver shows its pictures, numbered 1 to the count: every pass over the list shows each
// picture once, in an order shuffled anew at the start of each pass.
class ResPlayList {
public:
    explicit ResPlayList(int count);

    int count() const { return static_cast<int>(numbers.size()); }
    bool isEmpty() const { return numbers.empty(); }
    // The next picture's number; 0 for an empty list.
    int next();

private:
    void shuffle();

    std::vector<int> numbers;
    // Indices into the numbers, in the order of the current pass.
    std::vector<int> order;
    int position = -1;
    Random random;
};
