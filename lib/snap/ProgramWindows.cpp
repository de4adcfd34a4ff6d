#include "lib/snap/ProgramWindows.h"

BOOL CALLBACK EnumProgramWindowsProc(HWND hWnd, LPARAM lParam) {
    auto* pList = reinterpret_cast<CProgramWindowList*>(lParam);
    if (!pList || pList->nCount + 1 >= CProgramWindowList::kMaxEntries + 1) return TRUE;
    if (!::IsWindowVisible(hWnd) || ::IsIconic(hWnd)) return TRUE;
    RECT rc;
    if (!::GetClientRect(hWnd, &rc) || rc.right - rc.left <= 4 || rc.bottom - rc.top <= 4)
        return TRUE;
    wchar_t title[CProgramWindowList::kMaxTitle + 1] = L"";
    // The title the system keeps, read without asking the window: a window of this process
    // would be sent a message for it, and one whose thread hangs would never answer.
    if (::InternalGetWindowText(hWnd, title, CProgramWindowList::kMaxTitle + 1) <= 0 || !title[0])
        return TRUE;
    try {
        pList->entries.push_back({hWnd, CString(title)});
        ++pList->nCount;
    } catch (...) {
        // Out of memory: the list simply ends here.
    }
    return TRUE;
}

void CProgramWindowList::Build() {
    nCount = 0;
    entries.clear();
    ::EnumWindows(&EnumProgramWindowsProc, reinterpret_cast<LPARAM>(this));
}
