#pragma once
#include "mainwindow/OptionSheets.h"

// The option sheets of the program, from the option pages: what the main window's settings commands open.
OptionSheets programOptionSheets();
