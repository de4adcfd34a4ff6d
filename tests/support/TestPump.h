// Lets the test thread's windows, timers and hooks run for a while, as a message loop would.
#pragma once

#include <windows.h>

// Dispatches everything queued at least once, then keeps dispatching until ms have passed.
void PumpFor(DWORD ms);
