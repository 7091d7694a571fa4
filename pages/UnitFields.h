#pragma once
#include <windows.h>
#include <vector>
#include "foundation/Decimal.h"

// Numeric fields that show sizes either in pixels (whole numbers) or in percent (two decimals). The values
// of the unit not shown wait here, so that switching the unit back and forth loses nothing the user typed.
class UnitFields {
public:
    UnitFields(int pixelMinimum, int pixelMaximum, int percentMinimum, int percentMaximum);

    // Forgets the fields and shows the unit from now on (before filling them again).
    void start(bool percent);
    // Adds a numeric field with its values in both units and shows the unit's.
    void add(HWND field, int pixels, const Decimal& percent);
    // Keeps what the fields show for the unit shown, then shows the other unit; nothing when the unit is
    // shown already.
    void switchTo(bool percent);
    // Keeps what the fields show for the unit shown.
    void keepShown();

    // A field that was not added throws Exception 87.
    int pixels(HWND field) const { return of(field).pixels; }
    const Decimal& percent(HWND field) const { return of(field).percent; }

private:
    struct Field {
        HWND edit;
        int pixels;
        Decimal percent;
    };

    void show(const Field& field) const;
    const Field& of(HWND edit) const;

    int pixelMinimum;
    int pixelMaximum;
    int percentMinimum;
    int percentMaximum;
    bool percentShown = false;
    std::vector<Field> fields;
};
