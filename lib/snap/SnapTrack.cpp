#include "lib/snap/DlgSnapRectHelper.h"

CSnapTrack::CSnapTrack() {
    m_rect.SetRectEmpty();
    m_rectLast.SetRectEmpty();
    Construct();
}

CSnapTrack::~CSnapTrack() = default;

void CSnapTrack::DrawTrackerRect(LPCRECT lpRect, CWnd* pWndClipTo, CDC* pDC, CWnd* pWnd) {
    CDlgSnapRectHelper* pOverlay = dynamic_cast<CDlgSnapRectHelper*>(pWnd);
    if (!pOverlay || !pOverlay->m_hWnd) {
        CRectTracker::DrawTrackerRect(lpRect, pWndClipTo, pDC, pWnd);
        return;
    }
    // The overlay draws the band itself when it repaints; the tip moves out of the way first.
    if (pOverlay->m_editTip.m_hWnd) pOverlay->m_editTip.SendMessage(WM_MOUSEMOVE, 0, 0);
    pOverlay->PaintTipWindow();
    pOverlay->SendMessage(WM_MOUSEMOVE, 0, 0);
}
