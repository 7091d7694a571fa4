#pragma once
#include <windows.h>
#include "pages/PagePictures.h"

// The environment settings the user opens from the menu: the preview, save-folder, thumbnail, split/join,
// movie and other-options pages with an Apply button, opened at the page that was current when the user
// last pressed OK or Apply (Window/IndexSetting). A changed preview background is announced to the main
// window (PreviewBackgroundMessage); the swatches show in the background list.
void openEnvironmentSheet(HWND mainWindow, const PagePictures& pictures);
