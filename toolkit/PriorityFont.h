#pragma once
#include "foundation/ObjectArray.h"
#include "foundation/wstring.h"

// A face for the program's dialogs and the point size to show it at (0: the dialog's own size).
struct PriorityFont {
    wstring face;
    int points = 0;
};

// Faces in priority order: the first one that the display knows wins.
class PriorityFontList {
public:
    PriorityFontList() = default;
    PriorityFontList(const PriorityFontList&) = delete;
    PriorityFontList& operator=(const PriorityFontList&) = delete;

    // Out of memory throws Exception 8.
    void add(const wstring& face, int points);
    // Appends the entries of a list such as "Meiryo UI:9;MS UI Gothic:9" in their order. An entry without
    // ":" or whose size is no number from 0 to 32767 throws Exception 87. Empty entries are skipped.
    void addFromSetting(const wstring& faces);
    // Adds the user's list of dialog faces from the settings record; Exception 1 while no record is lent.
    void addFromUserSetting();
    // The first entry that the display knows; null when there is none.
    const PriorityFont* firstInstalled() const;

    int count() const { return fonts.count(); }
    const PriorityFont& at(int index) const { return *fonts.at(index); }

private:
    ObjectArray<PriorityFont> fonts;
};
