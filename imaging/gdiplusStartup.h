#pragma once

// GDI+ runs for the process from the first successful start to the shutdown that balances it: the windowed
// run and the command-line mode each start it around their work without knowing of the other. Safe from
// any thread.
bool gdiplusStartup();
// Each successful gdiplusStartup is balanced by one call; a call with nothing started changes nothing.
void gdiplusShutdown();
// How many starts are not yet balanced (for diagnostics and tests).
int gdiplusStartCount();
