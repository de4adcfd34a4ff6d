#include "lib/snap/SnapTrack.h"

CSnapTrack::CSnapTrack(ISnapTrackOwner* pOwner) : m_pOwner(pOwner) {
    m_rect.SetRectEmpty();
    m_rectLast.SetRectEmpty();
    Construct();
}

CSnapTrack::~CSnapTrack() = default;

void CSnapTrack::DrawTrackerRect(LPCRECT lpRect, CWnd* pWndClipTo, CDC* pDC, CWnd* pWnd) {
    if (!m_pOwner) {
        CRectTracker::DrawTrackerRect(lpRect, pWndClipTo, pDC, pWnd);
        return;
    }
    m_pOwner->OnTrackChanged();
}
