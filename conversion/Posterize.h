#pragma once
#include "conversion/RowColorFilter.h"

// Cuts each colour channel to a number of evenly spaced levels from 0 to 255: 256 keeps the channel, 1 clears
// it. The tables come from the library allocator; without them the filter is not ready.
class Posterize : public RowColorFilter<Posterize> {
public:
    explicit Posterize(int levels);
    Posterize(int redLevels, int greenLevels, int blueLevels);
    Posterize(const Posterize&) = delete;
    Posterize& operator=(const Posterize&) = delete;
    ~Posterize() override;

    // False, with last error 8, when a table could not be allocated.
    bool isReady() override;
    // Each count is clamped to 1..256 and its table filled again.
    void setLevels(int redLevels, int greenLevels, int blueLevels);

    void change(BYTE&, BYTE& red, BYTE& green, BYTE& blue)
    {
        if (!tablesReady)
            return;
        red = redTable[red * redLevels >> 8];
        green = greenTable[green * greenLevels >> 8];
        blue = blueTable[blue * blueLevels >> 8];
    }

private:
    void allocateTables();

    bool tablesReady = false;
    int redLevels = 1;
    int greenLevels = 1;
    int blueLevels = 1;
    BYTE* redTable = nullptr;
    BYTE* greenTable = nullptr;
    BYTE* blueTable = nullptr;
};
