// The capture modes that choose a window from a list, take the current window or a dragged-out
// region.
#include "lib/core/PeltoCore.h"
#include "lib/snap/DlgActiveWin.h"
#include "lib/snap/DlgSnapRectHelper.h"
#include "lib/snap/ProgramWindows.h"

HWND CPeltoCore::ChooseProgramWindow() {
    CPeltoLocalResource resource;
    CDlgActiveWin dlg(nullptr);
    dlg.DoModal();
    return dlg.GetSelWnd();
}

int CPeltoCore::SnapActiveWin() {
    if (m_bSnapping) return 0;
    m_bSnapping = TRUE;
    HideMainWindow();
    m_config.SetSnapMode(SNAPMODE_ACTIVEWIN);
    HWND hWnd = ChooseProgramWindow();
    int nResult = 0;
    if (hWnd) {
        ::SetForegroundWindow(hWnd);
        LetScreenRepaint();
        WaitSnapDelay();
        PlaySnapSound();
        nResult = SnapRect(hWnd, CRect(0, 0, 0, 0));
    }
    return FinishSnap(nResult, TRUE);
}

int CPeltoCore::SnapCurrentWin() {
    if (m_bSnapping) return 0;
    m_bSnapping = TRUE;
    m_config.SetSnapMode(SNAPMODE_CURRENTWIN);
    HideMainWindow();
    int nResult = 0;
    CProgramWindowList list;
    list.Build();
    if (list.nCount > 0 && !list.entries.empty() && list.entries[0].hWnd) {
        WaitSnapDelay();
        PlaySnapSound();
        nResult = SnapRect(list.entries[0].hWnd, CRect(0, 0, 0, 0));
    }
    return FinishSnap(nResult, TRUE);
}

int CPeltoCore::SnapWinClient() {
    if (m_bSnapping) return 0;
    m_bSnapping = TRUE;
    HideMainWindow();
    m_config.SetSnapMode(SNAPMODE_WINCLIENT);
    HWND hWnd = ChooseProgramWindow();
    int nResult = 0;
    if (hWnd) {
        LetScreenRepaint();
        WaitSnapDelay();
        PlaySnapSound();
        CRect rcWindow(0, 0, 0, 0), rcClient(0, 0, 0, 0);
        // A window that went away meanwhile leaves both empty: no capture.
        if (::GetWindowRect(hWnd, &rcWindow) && ::GetClientRect(hWnd, &rcClient)) {
            ::MapWindowPoints(nullptr, hWnd, reinterpret_cast<LPPOINT>(&rcWindow), 2);
            CRect rcArea(rcClient.left - rcWindow.left, rcClient.top - rcWindow.top,
                         rcClient.right - rcWindow.left, rcClient.bottom - rcWindow.top);
            nResult = SnapRect(hWnd, rcArea);
        }
    }
    return FinishSnap(nResult, TRUE);
}

int CPeltoCore::SnapSelectRect() {
    // The overlay can be asked for while the object pick runs (its hot key is dispatched by the
    // pick's loop). The pick is given up first: its hook would otherwise take the overlay's clicks
    // as the pick's click, and the pick would wait for a click it no longer recognises.
    if (m_bFinding) EndWinObjPick(FALSE);
    HideMainWindow();
    WaitSnapDelay();
    m_config.SetSnapMode(SNAPMODE_SELECTRECT);
    CPeltoLocalResource resource;
    CDlgSnapRectHelper dlg(nullptr);
    dlg.DoModal();
    CRect rcSelected(0, 0, 0, 0);
    int nResult = 0;
    if (dlg.GetSelectedRect(rcSelected)) {
        // The live screen is wanted, not the overlay's frozen picture with its frame.
        LetScreenRepaint();
        PlaySnapSound();
        nResult = SnapRect(::GetDesktopWindow(), rcSelected);
    }
    return FinishSnap(nResult, FALSE);
}
