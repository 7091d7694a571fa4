#pragma once
#include <windows.h>
#include <memory>

class PropPage;

// The output-format settings the user opens from the menu: the JPEG, GIF, TIFF, PNG, HD Photo and Bitmap
// pages with an Apply button, opened at the page of the output format (0 JPEG, 1 GIF, 2 TIFF, 3 PNG, 4 BMP,
// 5 WDP, 6 HDP; another value opens the first page).
void openFormatSheet(HWND mainWindow, int outputFormat);

// The page of the output format alone, for the conversion settings shown before a run; add it with its
// template, formatPageTemplateOf (SettingSheet.h). An unknown format gives the JPEG page.
std::unique_ptr<PropPage> createFormatPage(int outputFormat);
