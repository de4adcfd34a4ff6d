// Opening the clipboard while other programs may be looking at it.
#pragma once

#include <windows.h>

#include "lib/PeltoLibApi.h"

// OpenClipboard, tried again for a short while when it fails: clipboard viewers and history
// services open the clipboard for a moment after every change, and a hand-over that met one of
// them would otherwise be lost. A program that keeps the clipboard open longer still wins: FALSE.
// On TRUE the caller closes the clipboard.
PELTOLIB_API BOOL OpenClipboardWithRetry(HWND hOwner);
