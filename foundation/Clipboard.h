#pragma once

// Replaces the clipboard's content with UTF-16 text. The caller opens and closes the clipboard.
// Null text gives false with last error 87.
bool setClipboardText(const wchar_t* text);
