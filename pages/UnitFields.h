#pragma once
#include <vector>
#include "foundation/Decimal.h"

class NumericEdit;

// Numeric fields that show sizes either in pixels (whole numbers) or in percent (two decimals). The values
// of the unit not shown wait here, so that switching the unit back and forth loses nothing the user typed.
class UnitFields {
public:
    UnitFields(int pixelMinimum, int pixelMaximum, int percentMinimum, int percentMaximum);

    // Forgets the fields (before filling them again).
    void clear() { fields.clear(); }
    // Adds a field with its values in both units (while filling, in field order).
    void add(NumericEdit& field, int pixels, const Decimal& percent);
    // Gives the fields the range of the unit and shows its values.
    void show(bool percent);
    // Keeps what the fields show for the unit shown, then shows the other unit; nothing when the unit is
    // shown already.
    void switchTo(bool percent);
    // Keeps what the fields show for the unit shown.
    void keepShown();

    int pixels(int field) const { return fields.at(static_cast<size_t>(field)).pixels; }
    const Decimal& percent(int field) const { return fields.at(static_cast<size_t>(field)).percent; }

private:
    struct Field {
        NumericEdit* edit;
        int pixels;
        Decimal percent;
    };

    int pixelMinimum;
    int pixelMaximum;
    int percentMinimum;
    int percentMaximum;
    bool percentShown = false;
    std::vector<Field> fields;
};
