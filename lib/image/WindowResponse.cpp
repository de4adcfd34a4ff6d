#include "lib/image/WindowResponse.h"

BOOL IsWindowAnswering(HWND hWnd, UINT nTimeout) {
    if (!hWnd || !::IsWindow(hWnd)) return FALSE;
    if (::GetWindowThreadProcessId(hWnd, nullptr) == ::GetCurrentThreadId()) return TRUE;
    DWORD_PTR result = 0;
    // SMTO_BLOCK: the wait must not run messages of this thread, such as a paint of the overlay
    // or a timer tick of the pick, that could start another capture in the middle of this one.
    return ::SendMessageTimeoutW(hWnd, WM_NULL, 0, 0, SMTO_ABORTIFHUNG | SMTO_BLOCK, nTimeout,
                                 &result) != 0;
}

void SetWindowZOrder(HWND hWnd, HWND hWndInsertAfter, BOOL bAnswering) {
    const UINT kKeepPlace = SWP_NOMOVE | SWP_NOSIZE;
    ::SetWindowPos(hWnd, hWndInsertAfter, 0, 0, 0, 0,
                   bAnswering ? kKeepPlace : kKeepPlace | SWP_ASYNCWINDOWPOS);
}

void RepaintWindowNow(HWND hWnd, UINT nTimeout) {
    if (!hWnd) return;
    const UINT kMark = RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME;
    if (!IsWindowAnswering(hWnd, nTimeout)) {
        // Painting now would send the paint messages and wait for them.
        ::RedrawWindow(hWnd, nullptr, nullptr, kMark);
        return;
    }
    ::InvalidateRect(hWnd, nullptr, TRUE);
    ::UpdateWindow(hWnd);
    ::RedrawWindow(hWnd, nullptr, nullptr,
                   RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
}
