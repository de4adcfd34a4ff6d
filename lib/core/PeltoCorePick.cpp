// The object pick: a timer highlights the window under the cursor with a blinking frame, the hook
// reports the mouse, and the first left click captures the window highlighted last.
#include "lib/core/CaptureScope.h"
#include "lib/core/PeltoCore.h"
#include "lib/image/WindowResponse.h"

namespace {
const UINT kFindWindowPeriod = 500;
const int kFramePenWidth = 4;
const int kTipEdgeGap = 10;
const int kTipZoneMargin = 20;
const UINT kLeftButton = 1;
const UINT kRightButton = 2;
// The pick's mouse hook runs on this thread: no wait may outlast the time the platform gives a
// low-level hook (a fraction of a second), or the mouse stalls on the whole desktop and the hook
// can be removed without notice.
const UINT kHookedAnswerTimeout = 100;

UINT ButtonsHeld() {
    UINT nHeld = 0;
    if (::GetAsyncKeyState(VK_LBUTTON) & 0x8000) nHeld |= kLeftButton;
    if (::GetAsyncKeyState(VK_RBUTTON) & 0x8000) nHeld |= kRightButton;
    return nHeld;
}
}  // namespace

BOOL CPeltoCore::HasTipWindow() const {
    HWND hTip = m_dlgSnapObj.GetSafeHwnd();
    return hTip && ::IsWindow(hTip);
}

int CPeltoCore::SnapWinObj() {
    // Without the engine window nothing would receive the timer or the clicks, and the pick could
    // not be ended.
    if (!IsWindow()) return 0;
    CCaptureScope scope(*this, SNAPMODE_WINOBJ);
    if (!scope.IsOpen()) return 0;
    // Without the hook no click would reach the engine, and the pick could only be left by a key
    // while its tip had the focus. Nothing was captured, so nothing else changes.
    if (!m_hook.StartHook(m_hWnd)) {
        scope.Abandon();
        return 0;
    }
    m_pPickScope = &scope;
    SetCapture();
    m_bFinding = TRUE;
    m_hFoundWnd = nullptr;
    // A button already held when the pick starts is not the click that ends it.
    m_nHeldButtons = ButtonsHeld();
    SetTimer(IDT_FINDWINDOW, kFindWindowPeriod);
    {
        CPeltoLocalResource resource;
        m_dlgSnapObj.DoModal();
    }
    // The tip dialog can also end on its own (Esc, or a template that cannot be made); the engine
    // must not stay busy with a pick nobody can finish.
    if (m_bFinding) EndWinObjPick(FALSE);
    return 1;
}

void CPeltoCore::OnTimer(UINT_PTR nIDEvent) {
    if (nIDEvent == IDT_FINDWINDOW && m_bFinding && !EndPickOnMissedClick()) {
        POINT pt;
        ::GetCursorPos(&pt);
        HWND hWnd = ::WindowFromPoint(pt);
        if (hWnd && ::IsWindow(hWnd)) {
            if (hWnd != m_hFoundWnd && m_hFoundWnd) RefreshFoundWindow(m_hFoundWnd);
            m_hFoundWnd = hWnd;
            HighlightFoundWindow(hWnd);
        }
        if (HasTipWindow()) {
            LocateSnapObjTip();
            m_dlgSnapObj.SendMessage(WM_MOUSEMOVE, 0, 0);
        }
    }
    DefWindowProc(WM_TIMER, nIDEvent, 0);
}

BOOL CPeltoCore::EndPickOnMissedClick() {
    // The hook swallows the presses it reports, so they never show in the button state. A button
    // that shows as newly held got past the hook: the platform dropped it (it removes a hook that
    // answers too slowly, and says nothing). The click still ends the pick.
    UINT nHeld = ButtonsHeld();
    UINT nPressed = nHeld & ~m_nHeldButtons;
    m_nHeldButtons = nHeld;
    if (!nPressed) return FALSE;
    EndWinObjPick((nPressed & kLeftButton) ? TRUE : FALSE);
    return TRUE;
}

LRESULT CPeltoCore::HighlightFoundWindow(HWND hWnd) {
    CRect rc(0, 0, 0, 0);
    ::GetWindowRect(hWnd, &rc);
    CWindowDC dc(hWnd);
    if (!dc.m_hDC) return 0;
    CPen pen(PS_SOLID, kFramePenWidth, RGB(255, 0, 0));
    {
        CSelectObject selectPen(dc, pen);
        CSelectObject selectBrush(dc.m_hDC, ::GetStockObject(NULL_BRUSH));
        int nOldRop = dc.SetROP2(R2_NOTXORPEN);
        dc.Rectangle(0, 0, rc.Width(), rc.Height());
        dc.SetROP2(nOldRop);
    }
    return 0;
}

LRESULT CPeltoCore::RefreshFoundWindow(HWND hWnd) {
    RepaintWindowUnder(hWnd);
    return 0;
}

void CPeltoCore::RepaintWindowUnder(HWND hWnd) {
    // Repainting at once waits for the window's thread, which a hung program never gives.
    RepaintWindowNow(hWnd, kHookedAnswerTimeout);
}

BOOL CPeltoCore::CheckWindowValidity(HWND hWnd, int bExcludeFound) {
    if (!hWnd || !::IsWindow(hWnd)) return FALSE;
    if (bExcludeFound && hWnd == m_hFoundWnd) return FALSE;
    return TRUE;
}

void CPeltoCore::LocateSnapObjTip() {
    if (!HasTipWindow()) return;
    CRect rcScreen(0, 0, 0, 0);
    ::GetWindowRect(::GetDesktopWindow(), &rcScreen);
    POINT pt;
    ::GetCursorPos(&pt);
    int w = m_dlgSnapObj.m_nWidth;
    int h = m_dlgSnapObj.m_nHeight;
    BOOL bAtTopLeft = m_dlgSnapObj.m_bAtTopLeft;

    CRect rcZone = bAtTopLeft
                       ? CRect(0, kTipEdgeGap, w, h + kTipEdgeGap)
                       : CRect(rcScreen.right - kTipEdgeGap - w, rcScreen.bottom - kTipEdgeGap - h,
                               rcScreen.right - kTipEdgeGap, rcScreen.bottom - kTipEdgeGap);
    ::InflateRect(&rcZone, kTipZoneMargin, kTipZoneMargin);
    if (!::PtInRect(&rcZone, pt)) return;

    if (bAtTopLeft)
        m_dlgSnapObj.MoveWindow(rcScreen.right - kTipEdgeGap - w, rcScreen.bottom - kTipEdgeGap - h,
                                w, h, TRUE);
    else
        m_dlgSnapObj.MoveWindow(kTipEdgeGap, kTipEdgeGap, w, h, TRUE);
    m_dlgSnapObj.m_bAtTopLeft = !bAtTopLeft;
    RepaintWindowUnder(::WindowFromPoint(pt));
}

LRESULT CPeltoCore::OnEsMouseMove(WPARAM, LPARAM) {
    if (m_config.GetSnapMode() == SNAPMODE_WINOBJ && m_bFinding && HasTipWindow()) {
        LocateSnapObjTip();
        m_dlgSnapObj.SendMessage(WM_MOUSEMOVE, 0, 0);
    }
    return 0;
}

LRESULT CPeltoCore::OnEsLButtonDown(WPARAM, LPARAM) {
    if (m_config.GetSnapMode() != SNAPMODE_WINOBJ || !m_bFinding || !HasTipWindow()) return 0;
    EndWinObjPick(TRUE);
    return 0;
}

LRESULT CPeltoCore::OnEsRButtonDown(WPARAM, LPARAM) {
    if (m_bFinding) EndWinObjPick(FALSE);
    return 0;
}

void CPeltoCore::EndWinObjPick(BOOL bCapture) {
    // Waits for the release of the press that ended the pick, which must not reach the window
    // under the cursor either. First: hiding a window can take a while, and the hook is not
    // called meanwhile.
    m_hook.StopHook();
    m_dlgSnapObj.m_bAtTopLeft = FALSE;
    if (HasTipWindow()) {
        m_dlgSnapObj.ShowWindow(SW_HIDE);
        m_dlgSnapObj.EndDialog(1);
    }
    if (bCapture) WaitSnapDelay();
    KillTimer(IDT_FINDWINDOW);
    if (m_hFoundWnd) {
        HWND hFound = m_hFoundWnd;
        if (bCapture) PlaySnapSound();
        RefreshFoundWindow(hFound);
        if (bCapture) SnapRect(hFound, CRect(0, 0, 0, 0));
        m_hFoundWnd = nullptr;
    }
    // The pick ends here, in a message handler inside its own modal loop, or on its way out.
    if (m_pPickScope) m_pPickScope->Close();
    m_pPickScope = nullptr;
    if (m_hWnd && ::GetCapture() == m_hWnd) ::ReleaseCapture();
    m_bFinding = FALSE;
}
