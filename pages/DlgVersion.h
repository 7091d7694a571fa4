#pragma once
#include "imaging/BitmapPtr.h"
#include "imaging/Dib.h"
#include "toolkit/Dialog.h"

// The "バージョン情報" dialog: the program's icon on a gradient from white to a warm orange, the title with
// the version and the legal text of the version block. Any click, Enter or Esc closes it.
class DlgVersion : public AppDialog {
public:
    bool onInitDialog(HWND focus) override;
    bool onPaint() override;
    bool onCtlColorStatic(HDC dc, HWND control, HBRUSH& brush) override;
    bool onButtonDown(MouseButton button, const Point& client, UINT keys) override;
    bool onDestroy() override;
    void onCommand(HWND hwnd, int id, int code) override;

private:
    BitmapPtr icon;
    Dib background;
    float dpiX = 96;
    float dpiY = 96;
};

// Shows the version dialog modally over the parent.
void showVersionDialog(HWND parent);
