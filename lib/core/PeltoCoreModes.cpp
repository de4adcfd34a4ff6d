// The capture modes that choose a window from a list, take the current window or a dragged-out
// region.
#include "lib/core/CaptureScope.h"
#include "lib/core/PeltoCore.h"
#include "lib/image/SystemScreen.h"
#include "lib/snap/DlgActiveWin.h"
#include "lib/snap/DlgSnapRectHelper.h"
#include "lib/snap/ProgramWindows.h"

HWND CPeltoCore::ChooseProgramWindow() {
    CPeltoLocalResource resource;
    CDlgActiveWin dlg(nullptr);
    dlg.DoModal();
    return dlg.GetSelWnd();
}

BOOL CPeltoCore::SelectScreenRegion(CRect& rcSelected) {
    CPeltoLocalResource resource;
    CDlgSnapRectHelper dlg(nullptr);
    dlg.DoModal();
    rcSelected.SetRect(0, 0, 0, 0);
    return dlg.GetSelectedRect(rcSelected);
}

int CPeltoCore::SnapActiveWin() {
    CCaptureScope scope(*this, SNAPMODE_ACTIVEWIN);
    if (!scope.IsOpen()) return 0;
    HWND hWnd = ChooseProgramWindow();
    if (!hWnd) return 0;
    ::SetForegroundWindow(hWnd);
    LetScreenRepaint();
    WaitSnapDelay();
    PlaySnapSound();
    return SnapRect(hWnd, CRect(0, 0, 0, 0));
}

int CPeltoCore::SnapCurrentWin() {
    CCaptureScope scope(*this, SNAPMODE_CURRENTWIN);
    if (!scope.IsOpen()) return 0;
    // Listed once the main window is hidden, so that a hidden main window is never the one taken.
    CProgramWindowList list;
    list.Build();
    if (list.nCount <= 0 || list.entries.empty() || !list.entries[0].hWnd) return 0;
    WaitSnapDelay();
    PlaySnapSound();
    return SnapRect(list.entries[0].hWnd, CRect(0, 0, 0, 0));
}

int CPeltoCore::SnapWinClient() {
    CCaptureScope scope(*this, SNAPMODE_WINCLIENT);
    if (!scope.IsOpen()) return 0;
    HWND hWnd = ChooseProgramWindow();
    if (!hWnd) return 0;
    LetScreenRepaint();
    WaitSnapDelay();
    PlaySnapSound();
    CRect rcWindow(0, 0, 0, 0), rcClient(0, 0, 0, 0);
    // A window that went away meanwhile leaves both empty: no capture.
    if (!::GetWindowRect(hWnd, &rcWindow) || !::GetClientRect(hWnd, &rcClient)) return 0;
    ::MapWindowPoints(nullptr, hWnd, reinterpret_cast<LPPOINT>(&rcWindow), 2);
    CRect rcArea(rcClient.left - rcWindow.left, rcClient.top - rcWindow.top,
                 rcClient.right - rcWindow.left, rcClient.bottom - rcWindow.top);
    return SnapRect(hWnd, rcArea);
}

int CPeltoCore::SnapSelectRect() {
    // The overlay can be asked for while the object pick runs (its hot key is dispatched by the
    // pick's loop). The pick is given up first: its hook would otherwise take the overlay's clicks
    // as the pick's click, and the pick would wait for a click it no longer recognises.
    if (m_bFinding) EndWinObjPick(FALSE);
    CCaptureScope scope(*this, SNAPMODE_SELECTRECT, CCaptureScope::kBesideOthers);
    WaitSnapDelay();
    CRect rcSelected(0, 0, 0, 0);
    if (!SelectScreenRegion(rcSelected)) return 0;
    // The live screen is wanted, not the overlay's frozen picture with its frame.
    LetScreenRepaint();
    PlaySnapSound();
    return SnapRect(::GetDesktopWindow(), ScreenToDesktopDc(rcSelected));
}
