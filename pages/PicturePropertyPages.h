#pragma once
#include <memory>
#include "toolkit/Button.h"
#include "toolkit/ColorHistogram.h"
#include "toolkit/ColorPalette.h"
#include "toolkit/Edit.h"
#include "toolkit/PictureView.h"
#include "toolkit/PropSheet.h"

class PictureProperties;

// The pages of the picture-properties sheet. They show the record the main window read; only the general page
// changes anything: it renames the file and gives it its shot date as its times, and then updates the record's
// path, times and changed flag.

// "全般": the thumbnail, the file name (editable), size, dates, resolution, depth, frames, camera and shot date.
class PicturePropertyPage : public PropPage {
public:
    explicit PicturePropertyPage(PictureProperties& record) : record(record) {}

    bool onInitDialog(HWND focus) override;
    void onCommand(HWND hwnd, int id, int code) override;
    // Keeps the user on the page while the name is empty.
    bool onKillActive(HWND hwnd) override;
    // Renames the file and sets its times as asked; false only when the user cancels the question about a
    // new extension. Failures are shown, and the sheet closes.
    bool onApply(HWND hwnd) override;

private:
    void initialize();
    void useShotDate();
    // False when the user cancelled.
    bool rename();
    void applyShotDate();

    PictureProperties& record;
    PictureView thumbnail;
    Edit name;
    Button shotDateButton;
    Button ok;
    bool shotDateChosen = false;
};

// "パレット": the picture's palette; a selected colour shows its parts and its value.
class PalettePage : public PropPage {
public:
    explicit PalettePage(const PictureProperties& record) : record(record) {}

    bool onInitDialog(HWND focus) override;
    void onSelected(Window* sender, ColorPalette::ColorPaletteEventArgs& args);

private:
    void initialize();

    const PictureProperties& record;
    ColorPalette palette;
};

// "ヒストグラム": one channel of the picture's histogram above a strip of that channel's shades.
class HistogramPage : public PropPage {
public:
    explicit HistogramPage(const ColorHistogram::Entry* histogram) : histogram(histogram) {}

    bool onInitDialog(HWND focus) override;
    void onCommand(HWND hwnd, int id, int code) override;

private:
    void initialize();
    void showChannel(int id);

    const ColorHistogram::Entry* histogram;
    ColorHistogram chart;
    PictureView strip;
};

// The sheet ("画像のプロパティ") over the owner: general, histogram, and palette when the picture has one.
// Opens on the general page, without an Apply button.
void showPicturePropertiesSheet(HWND owner, PictureProperties& record);
