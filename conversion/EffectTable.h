#pragma once
#include <atomic>
#include "conversion/EffectKeywords.h"
#include "conversion/ImageConverter.h"
#include "foundation/Array.h"

class AppSetting;
class GarbageCollector;
class GCPtrs;
class Mutex;

// The converters of the colour-conversion presets: slot i holds the converter of preset i (1..34), slot 0
// stays empty. Built once from the settings of that moment; the converters belong to the collector, not to
// the table. After the build any number of threads read the table without a lock.
class EffectTable {
public:
    static constexpr int LastPreset = 34;

    EffectTable() = default;
    EffectTable(const EffectTable&) = delete;
    EffectTable& operator=(const EffectTable&) = delete;
    virtual ~EffectTable() = default;

    // Builds the table unless it is built; the mutex is held around the build, so of two threads asking at
    // once one builds and the other finds it done. An Exception while building passes on with nothing kept
    // and the table unbuilt: a later call builds again.
    void build(const AppSetting& setting, GarbageCollector& collector, Mutex& mutex);
    bool isBuilt() const { return built.load(std::memory_order_acquire); }
    // Forgets the converters and leaves the table unbuilt; for the end of the run, before the collector that
    // owns the converters is destroyed. No thread may read the table meanwhile.
    void clear();
    // An index outside the table sets last error 87 and returns false.
    bool setEffect(int index, ImageConvert::ImageConverter* converter);
    // Null for an empty slot or an index outside the table.
    ImageConvert::ImageConverter* converter(int index) const;

protected:
    // Makes the converter of every preset, registered through the scope, into presets[1..34].
    virtual void makePresets(const AppSetting& setting, GCPtrs& scope,
                             ImageConvert::ImageConverter* presets[LastPreset + 1]);

private:
    Array<ImageConvert::ImageConverter*> slots;
    std::atomic<bool> built{false};
};

// The program's table, built from the application's settings and owned by its collector, under the
// application's second mutex.
void buildEffectTable();
// Empties the program's table; the next build starts afresh.
void clearEffectTable();
bool setEffect(int index, ImageConvert::ImageConverter* converter);
// The converter of a preset of the program's table once built; null otherwise.
ImageConvert::ImageConverter* effectPresetConverter(EffectPreset index);
