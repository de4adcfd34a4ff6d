// The program-window list: visible, non-minimised top-level windows with a title and a client
// area of more than 4 x 4 pixels, in the platform's enumeration (z-) order, at most 254 of them.
#pragma once

#include <windows.h>

#include <vector>

#include "framework/FxString.h"
#include "lib/PeltoLibApi.h"

struct PELTOLIB_API CProgramWindowList {
    static const int kMaxEntries = 254;
    static const int kMaxTitle = 259;

    struct Entry {
        HWND hWnd;
        CString strTitle;
    };
    int nCount = 0;
    std::vector<Entry> entries;

    // Fills the list from the current top-level windows.
    void Build();
};

// The enumeration callback; lParam is the CProgramWindowList to append to. Always continues.
PELTOLIB_API BOOL CALLBACK EnumProgramWindowsProc(HWND hWnd, LPARAM lParam);
