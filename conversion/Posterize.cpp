#include "conversion/Posterize.h"
#include <algorithm>
#include "foundation/MemoryAllocator.h"

namespace {

void fillLevels(BYTE* table, int levels)
{
    if (levels <= 1)
        return;
    for (int i = 0; i < levels; ++i)
        table[i] = static_cast<BYTE>(i * 255 / (levels - 1));
}

} // namespace

Posterize::Posterize(int levels) : Posterize(levels, levels, levels) {}

Posterize::Posterize(int redLevels, int greenLevels, int blueLevels)
{
    allocateTables();
    setLevels(redLevels, greenLevels, blueLevels);
}

Posterize::~Posterize()
{
    MemoryAllocator::free(redTable);
    MemoryAllocator::free(greenTable);
    MemoryAllocator::free(blueTable);
}

void Posterize::allocateTables()
{
    redTable = static_cast<BYTE*>(MemoryAllocator::alloc(256));
    greenTable = static_cast<BYTE*>(MemoryAllocator::alloc(256));
    blueTable = static_cast<BYTE*>(MemoryAllocator::alloc(256));
    tablesReady = redTable && greenTable && blueTable;
}

bool Posterize::isReady()
{
    if (!tablesReady)
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return tablesReady;
}

void Posterize::setLevels(int redLevels, int greenLevels, int blueLevels)
{
    this->redLevels = std::clamp(redLevels, 1, 256);
    this->greenLevels = std::clamp(greenLevels, 1, 256);
    this->blueLevels = std::clamp(blueLevels, 1, 256);
    if (!tablesReady)
        return;
    fillLevels(redTable, this->redLevels);
    fillLevels(greenTable, this->greenLevels);
    fillLevels(blueTable, this->blueLevels);
}
