#include "framework/RectTracker.h"

#include <cstdlib>

#include "framework/Gdi.h"
#include "framework/Wnd.h"

namespace {
// The platform's default width of in-place resize borders.
const int kDefaultHandleSize = 4;

CRect Normalized(const CRect& r) {
    CRect n = r;
    n.NormalizeRect();
    return n;
}
}  // namespace

CRectTracker::CRectTracker() { Construct(); }

CRectTracker::CRectTracker(LPCRECT lpSrcRect, UINT nStyle) {
    if (lpSrcRect) m_rect = *lpSrcRect;
    m_nStyle = nStyle;
    Construct();
}

CRectTracker::~CRectTracker() = default;

void CRectTracker::Construct() {
    m_nHandleSize = kDefaultHandleSize;
    m_sizeMin = CSize(m_nHandleSize * 2, m_nHandleSize * 2);
    m_rectLast.SetRectEmpty();
    m_bAllowInvert = FALSE;
    m_bErase = FALSE;
    m_bFinalErase = FALSE;
}

int CRectTracker::GetHandleSize(LPCRECT lpRect) const {
    int size = m_nHandleSize;
    if (!(m_nStyle & resizeOutside)) {
        // Handles inside a small rectangle must not cover each other.
        CRect r = lpRect ? CRect(*lpRect) : m_rect;
        int sizeMax =
            std::abs(r.Width()) < std::abs(r.Height()) ? std::abs(r.Width()) : std::abs(r.Height());
        if (size * 2 > sizeMax) size = sizeMax / 2;
    }
    return size;
}

UINT CRectTracker::GetHandleMask() const {
    UINT mask = 0x0F;  // the corners always
    int size = m_nHandleSize * 2;
    if (std::abs(m_rect.Width()) - size > 4) mask |= 0x50;   // top and bottom middles
    if (std::abs(m_rect.Height()) - size > 4) mask |= 0xA0;  // right and left middles
    return mask;
}

void CRectTracker::GetTrueRect(LPRECT lpTrueRect) const {
    CRect r = Normalized(m_rect);
    int inflate = 0;
    if (m_nStyle & (resizeOutside | hatchedBorder)) inflate += GetHandleSize() - 1;
    if (m_nStyle & (solidLine | dottedLine)) ++inflate;
    r.InflateRect(inflate, inflate);
    *lpTrueRect = r;
}

void CRectTracker::GetHandleRect(int nHandle, CRect* pHandleRect) const {
    pHandleRect->SetRectEmpty();
    if (nHandle < hitTopLeft || nHandle > hitLeft) return;
    CRect r = Normalized(m_rect);
    if (m_nStyle & (solidLine | dottedLine)) r.InflateRect(1, 1);
    int size = GetHandleSize(&r);
    if (m_nStyle & resizeOutside) r.InflateRect(size - 1, size - 1);
    int xLeft = r.left, xRight = r.right - size, xMid = r.left + (r.Width() - size) / 2;
    int yTop = r.top, yBottom = r.bottom - size, yMid = r.top + (r.Height() - size) / 2;
    static const int kX[8] = {0, 2, 2, 0, 1, 2, 1, 0};  // 0 left, 1 middle, 2 right
    static const int kY[8] = {0, 0, 2, 2, 0, 1, 2, 1};
    int x = kX[nHandle] == 0 ? xLeft : kX[nHandle] == 1 ? xMid : xRight;
    int y = kY[nHandle] == 0 ? yTop : kY[nHandle] == 1 ? yMid : yBottom;
    pHandleRect->SetRect(x, y, x + size, y + size);
}

void CRectTracker::Draw(CDC* pDC) const {
    if (!pDC || !pDC->m_hDC) return;
    int saved = pDC->SaveDC();
    CRect r = Normalized(m_rect);
    if (m_nStyle & (solidLine | dottedLine)) {
        CPen pen((m_nStyle & dottedLine) ? PS_DOT : PS_SOLID, 1, RGB(0, 0, 0));
        CSelectObject selPen(*pDC, pen);
        CSelectObject selBrush(pDC->m_hDC, ::GetStockObject(NULL_BRUSH));
        pDC->SetROP2(R2_COPYPEN);
        pDC->SetBkMode(TRANSPARENT);
        CRect line = r;
        line.InflateRect(1, 1);
        pDC->Rectangle(line);
    }
    if (m_nStyle & (hatchInside | hatchedBorder)) {
        CBrush hatch;
        hatch.CreateHatchBrush(HS_BDIAGONAL, RGB(0, 0, 0));
        pDC->SetBkMode(TRANSPARENT);
        if (m_nStyle & hatchInside) pDC->FillRect(r, hatch.GetSafeHandle());
        if (m_nStyle & hatchedBorder) {
            CRect t;
            GetTrueRect(&t);
            pDC->FillRect(CRect(t.left, t.top, t.right, r.top), hatch.GetSafeHandle());
            pDC->FillRect(CRect(t.left, r.bottom, t.right, t.bottom), hatch.GetSafeHandle());
            pDC->FillRect(CRect(t.left, r.top, r.left, r.bottom), hatch.GetSafeHandle());
            pDC->FillRect(CRect(r.right, r.top, t.right, r.bottom), hatch.GetSafeHandle());
        }
    }
    if (m_nStyle & (resizeInside | resizeOutside)) {
        UINT mask = GetHandleMask();
        for (int i = 0; i < 8; ++i) {
            if (!(mask & (1u << i))) continue;
            CRect h;
            GetHandleRect(i, &h);
            if (!h.IsRectEmpty()) pDC->FillSolidRect(h, RGB(0, 0, 0));
        }
    }
    pDC->RestoreDC(saved);
}

int CRectTracker::HitTest(CPoint point) const {
    CRect t;
    GetTrueRect(&t);
    if (!t.PtInRect(point)) return hitNothing;
    if (m_nStyle & (resizeInside | resizeOutside)) {
        UINT mask = GetHandleMask();
        for (int i = 0; i < 8; ++i) {
            if (!(mask & (1u << i))) continue;
            CRect h;
            GetHandleRect(i, &h);
            if (h.PtInRect(point)) return i;
        }
    }
    return hitMiddle;
}

int CRectTracker::NormalizeHit(int nHandle) const {
    if (nHandle < hitTopLeft || nHandle > hitLeft) return nHandle;
    static const int kSwapX[8] = {hitTopRight, hitTopLeft, hitBottomLeft, hitBottomRight,
                                  hitTop,      hitLeft,    hitBottom,     hitRight};
    static const int kSwapY[8] = {hitBottomLeft, hitBottomRight, hitTopRight, hitTopLeft,
                                  hitBottom,     hitRight,       hitTop,      hitLeft};
    if (m_rect.Width() < 0) nHandle = kSwapX[nHandle];
    if (m_rect.Height() < 0) nHandle = kSwapY[nHandle];
    return nHandle;
}

void CRectTracker::AdjustRect(int, LPRECT) {}

void CRectTracker::OnChangedRect(const CRect&) {}

void CRectTracker::DrawTrackerRect(LPCRECT lpRect, CWnd*, CDC* pDC, CWnd*) {
    if (!pDC) return;
    // Focus rectangles are drawn with XOR: drawing the last one again takes it away.
    if (m_bErase) {
        if (!m_rectLast.IsRectEmpty()) pDC->DrawFocusRect(m_rectLast);
        m_rectLast.SetRectEmpty();
        return;
    }
    CRect r = Normalized(CRect(*lpRect));
    if (!r.IsRectEmpty()) pDC->DrawFocusRect(r);
    m_rectLast = r;
}

BOOL CRectTracker::TrackRubberBand(CWnd* pWnd, CPoint point, BOOL bAllowInvert) {
    if (!pWnd || !pWnd->IsWindow()) return FALSE;
    m_bAllowInvert = bAllowInvert;
    CRect rectSave = m_rect;
    m_rect.SetRect(point.x, point.y, point.x, point.y);
    BOOL bReleased = TrackHandle(hitBottomRight, pWnd, point);
    if (!bReleased || Normalized(m_rect).IsRectEmpty()) {
        m_rect = rectSave;
        return FALSE;
    }
    return TRUE;
}

BOOL CRectTracker::Track(CWnd* pWnd, CPoint point, BOOL bAllowInvert) {
    if (!pWnd || !pWnd->IsWindow()) return FALSE;
    int nHandle = HitTest(point);
    if (nHandle == hitNothing) return FALSE;
    m_bAllowInvert = bAllowInvert;
    CRect rectSave = m_rect;
    if (!TrackHandle(NormalizeHit(nHandle), pWnd, point)) {
        m_rect = rectSave;
        return FALSE;
    }
    return m_rect != rectSave;
}

// Runs the mouse loop for one handle; true when the left button ended it, false when it was
// cancelled (Escape, right button, lost capture, quit).
BOOL CRectTracker::TrackHandle(int nHandle, CWnd* pWnd, CPoint point) {
    if (::GetCapture()) return FALSE;
    LONG* px = nullptr;
    LONG* py = nullptr;
    switch (nHandle) {
        case hitTopLeft:
            px = &m_rect.left, py = &m_rect.top;
            break;
        case hitTopRight:
            px = &m_rect.right, py = &m_rect.top;
            break;
        case hitBottomRight:
            px = &m_rect.right, py = &m_rect.bottom;
            break;
        case hitBottomLeft:
            px = &m_rect.left, py = &m_rect.bottom;
            break;
        case hitTop:
            py = &m_rect.top;
            break;
        case hitRight:
            px = &m_rect.right;
            break;
        case hitBottom:
            py = &m_rect.bottom;
            break;
        case hitLeft:
            px = &m_rect.left;
            break;
        case hitMiddle:
            px = &m_rect.left, py = &m_rect.top;
            break;
        default:
            return FALSE;
    }
    const int xDiff = px ? point.x - *px : 0;
    const int yDiff = py ? point.y - *py : 0;
    const CSize sizeMoved = m_rect.Size();
    const CRect rectSave = m_rect;

    pWnd->UpdateWindow();
    HWND hWnd = pWnd->m_hWnd;
    ::SetCapture(hWnd);
    CClientDC dc(hWnd);
    m_rectLast.SetRectEmpty();
    m_bErase = m_bFinalErase = FALSE;
    BOOL bMoved = FALSE, bReleased = FALSE;

    for (;;) {
        MSG msg;
        BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) {
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (got < 0 || ::GetCapture() != hWnd) break;
        bool bCancel = false;
        switch (msg.message) {
            case WM_MOUSEMOVE:
            case WM_LBUTTONUP: {
                POINT pt = {static_cast<short>(LOWORD(msg.lParam)),
                            static_cast<short>(HIWORD(msg.lParam))};
                if (msg.hwnd != hWnd) ::MapWindowPoints(msg.hwnd, hWnd, &pt, 1);
                CRect rectOld = m_rect;
                if (px) *px = pt.x - xDiff;
                if (py) *py = pt.y - yDiff;
                if (nHandle == hitMiddle) {
                    m_rect.right = m_rect.left + sizeMoved.cx;
                    m_rect.bottom = m_rect.top + sizeMoved.cy;
                } else if (!m_bAllowInvert) {
                    // Keep the moving edges on their side, at least the minimum size away.
                    if (px == &m_rect.left && m_rect.left > m_rect.right - m_sizeMin.cx)
                        m_rect.left = m_rect.right - m_sizeMin.cx;
                    if (px == &m_rect.right && m_rect.right < m_rect.left + m_sizeMin.cx)
                        m_rect.right = m_rect.left + m_sizeMin.cx;
                    if (py == &m_rect.top && m_rect.top > m_rect.bottom - m_sizeMin.cy)
                        m_rect.top = m_rect.bottom - m_sizeMin.cy;
                    if (py == &m_rect.bottom && m_rect.bottom < m_rect.top + m_sizeMin.cy)
                        m_rect.bottom = m_rect.top + m_sizeMin.cy;
                }
                AdjustRect(nHandle, &m_rect);
                bool bUp = msg.message == WM_LBUTTONUP;
                if (bUp) m_bFinalErase = TRUE;
                if (m_rect != rectOld || bUp) {
                    if (bMoved) {
                        m_bErase = TRUE;
                        DrawTrackerRect(&rectOld, nullptr, &dc, pWnd);
                    }
                    OnChangedRect(rectOld);
                    if (!bUp) bMoved = TRUE;
                }
                if (bUp) {
                    bReleased = TRUE;
                    break;
                }
                if (m_rect != rectOld) {
                    m_bErase = FALSE;
                    DrawTrackerRect(&m_rect, nullptr, &dc, pWnd);
                }
                break;
            }
            case WM_KEYDOWN:
                if (msg.wParam == VK_ESCAPE) bCancel = true;
                break;  // other keys are swallowed while the mouse is tracked
            case WM_RBUTTONDOWN:
                bCancel = true;
                break;
            default:
                ::DispatchMessageW(&msg);
                break;
        }
        if (bCancel) {
            if (bMoved) {
                m_bErase = m_bFinalErase = TRUE;
                DrawTrackerRect(&m_rect, nullptr, &dc, pWnd);
            }
            m_rect = rectSave;
            break;
        }
        if (bReleased) break;
    }

    if (::GetCapture() == hWnd) ::ReleaseCapture();
    if (!bMoved) m_rect = rectSave;
    m_bErase = m_bFinalErase = FALSE;
    return bReleased;
}
