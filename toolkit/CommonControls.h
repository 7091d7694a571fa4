#pragma once

// The size of the tool-tip record that every tool registration uses: the full record of the running
// common-controls library from version 6 on, the older record below it or when the version cannot be read.
// Never throws.
int getComctl32Version() noexcept;

// Make the bar classes (toolbar, status bar, rebar) and the extended combo box known before the first window
// of their kind. Failure throws Exception with the system's error.
void initBarControls();
void initComboBoxEx();
