#pragma once
#include <windows.h>
#include "foundation/SimpleString.h"

// The texts of the program's message boxes, one buffer per id of the "Messages" table. Filled once at start-up,
// before any worker thread runs, and only read afterwards.
namespace Messages {
extern SimpleString E0001, E0002, E0003, E0004, E0005, E0006, E0007, E0008, E0009;
extern SimpleString E0010, E0011, E0012, E0013, E0014, E0015, E0016, E0017, E0018;
extern SimpleString E0019, E0020, E0021, E0022, E0023, E0024, E0025, E0026, E0027;
extern SimpleString E0028, E0029, E0030, E0031, E0032, E0033, E0034;
extern SimpleString W0001, W0002, W0003, W0004, W0005, W0006, W0007;
extern SimpleString Q0001, Q0002, Q0003;
extern SimpleString I0001, I0002;
} // namespace Messages

// Fills every buffer from the "Messages" table of the module, in id order. A missing id throws Exception 87
// and leaves it and the later buffers as they were; a missing table throws Exception with the system error.
void loadMessages(HMODULE module);
