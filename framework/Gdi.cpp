#include "framework/Gdi.h"

#include <cstdlib>

#include "framework/ResourceModule.h"
#include "framework/Wnd.h"

// ---- objects ----

CGdiObject::~CGdiObject() { DeleteObject(); }

CGdiObject& CGdiObject::operator=(CGdiObject&& o) noexcept {
    if (this != &o) {
        DeleteObject();
        m_hObject = o.m_hObject;
        o.m_hObject = nullptr;
    }
    return *this;
}

BOOL CGdiObject::Attach(HGDIOBJ h) {
    if (!h || m_hObject) return FALSE;
    m_hObject = h;
    return TRUE;
}

HGDIOBJ CGdiObject::Detach() {
    HGDIOBJ h = m_hObject;
    m_hObject = nullptr;
    return h;
}

BOOL CGdiObject::DeleteObject() {
    if (!m_hObject) return FALSE;
    BOOL ok = ::DeleteObject(m_hObject);
    m_hObject = nullptr;
    return ok;
}

BOOL CBitmap::LoadBitmap(UINT nIDResource) {
    if (m_hObject) return FALSE;
    return Attach(::LoadBitmapW(AfxGetResourceHandle(), MAKEINTRESOURCEW(nIDResource)));
}

BOOL CBitmap::CreateBitmap(int nWidth, int nHeight, UINT nPlanes, UINT nBitcount,
                           const void* lpBits) {
    if (m_hObject) return FALSE;
    return Attach(::CreateBitmap(nWidth, nHeight, nPlanes, nBitcount, lpBits));
}

BOOL CBitmap::CreateCompatibleBitmap(HDC hDC, int nWidth, int nHeight) {
    if (m_hObject) return FALSE;
    return Attach(::CreateCompatibleBitmap(hDC, nWidth, nHeight));
}

CSize CBitmap::GetSize() const {
    BITMAP bm;
    if (!m_hObject || !GetBitmap(&bm)) return CSize();
    return CSize(bm.bmWidth, bm.bmHeight);
}

BOOL CPen::CreatePen(int nPenStyle, int nWidth, COLORREF crColor) {
    if (m_hObject) return FALSE;
    return Attach(::CreatePen(nPenStyle, nWidth, crColor));
}

BOOL CBrush::CreateSolidBrush(COLORREF crColor) {
    if (m_hObject) return FALSE;
    return Attach(::CreateSolidBrush(crColor));
}

BOOL CBrush::CreateHatchBrush(int nIndex, COLORREF crColor) {
    if (m_hObject) return FALSE;
    return Attach(::CreateHatchBrush(nIndex, crColor));
}

BOOL CPalette::CreatePalette(const LOGPALETTE* lpLogPalette) {
    if (m_hObject) return FALSE;
    return Attach(::CreatePalette(lpLogPalette));
}

BOOL CFont::CreateFontIndirect(const LOGFONTW* lpLogFont) {
    if (m_hObject || !lpLogFont) return FALSE;
    return Attach(::CreateFontIndirectW(lpLogFont));
}

BOOL CFont::CreatePointFont(int nPointSize, LPCWSTR lpszFaceName, HDC hDC) {
    LOGFONTW lf = {};
    lf.lfCharSet = DEFAULT_CHARSET;
    if (lpszFaceName) lstrcpynW(lf.lfFaceName, lpszFaceName, LF_FACESIZE);
    HDC hScreen = hDC ? hDC : ::GetDC(nullptr);
    // Tenths of a point to logical units: the height of the character cell, negated.
    POINT pt = {0, ::MulDiv(::GetDeviceCaps(hScreen, LOGPIXELSY), nPointSize, 720)};
    POINT org = {0, 0};
    ::DPtoLP(hScreen, &pt, 1);
    ::DPtoLP(hScreen, &org, 1);
    lf.lfHeight = -std::abs(pt.y - org.y);
    if (!hDC) ::ReleaseDC(nullptr, hScreen);
    return CreateFontIndirect(&lf);
}

BOOL CRgn::CreateRectRgn(int x1, int y1, int x2, int y2) {
    if (m_hObject) return FALSE;
    return Attach(::CreateRectRgn(x1, y1, x2, y2));
}

BOOL CRgn::CreateRectRgnIndirect(LPCRECT lpRect) {
    if (m_hObject || !lpRect) return FALSE;
    return Attach(::CreateRectRgnIndirect(lpRect));
}

int CRgn::CombineRgn(HRGN hSrc1, HRGN hSrc2, int nCombineMode) {
    return ::CombineRgn(GetSafeHandle(), hSrc1, hSrc2, nCombineMode);
}

// ---- device contexts ----

CDC::~CDC() {
    if (m_bOwnsDC) DeleteDC();
}

BOOL CDC::Attach(HDC hDC) {
    if (!hDC || m_hDC) return FALSE;
    m_hDC = hDC;
    m_bOwnsDC = false;
    return TRUE;
}

HDC CDC::Detach() {
    HDC h = m_hDC;
    m_hDC = nullptr;
    m_bOwnsDC = false;
    return h;
}

BOOL CDC::CreateCompatibleDC(const CDC* pDC) {
    return CreateCompatibleDC(pDC ? pDC->m_hDC : nullptr);
}

BOOL CDC::CreateCompatibleDC(HDC hDC) {
    if (m_hDC) return FALSE;
    m_hDC = ::CreateCompatibleDC(hDC);
    m_bOwnsDC = m_hDC != nullptr;
    return m_bOwnsDC;
}

BOOL CDC::DeleteDC() {
    if (!m_hDC) return FALSE;
    BOOL ok = m_bOwnsDC ? ::DeleteDC(m_hDC) : FALSE;
    m_hDC = nullptr;
    m_bOwnsDC = false;
    return ok;
}

BOOL CDC::BitBlt(int x, int y, int nWidth, int nHeight, const CDC* pSrcDC, int xSrc, int ySrc,
                 DWORD dwRop) const {
    return ::BitBlt(m_hDC, x, y, nWidth, nHeight, pSrcDC ? pSrcDC->m_hDC : nullptr, xSrc, ySrc,
                    dwRop);
}

BOOL CDC::StretchBlt(int x, int y, int nWidth, int nHeight, const CDC* pSrcDC, int xSrc, int ySrc,
                     int nSrcWidth, int nSrcHeight, DWORD dwRop) const {
    return ::StretchBlt(m_hDC, x, y, nWidth, nHeight, pSrcDC ? pSrcDC->m_hDC : nullptr, xSrc, ySrc,
                        nSrcWidth, nSrcHeight, dwRop);
}

void CDC::FillSolidRect(const RECT& r, COLORREF clr) {
    COLORREF old = ::SetBkColor(m_hDC, clr);
    ::ExtTextOutW(m_hDC, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr);
    ::SetBkColor(m_hDC, old);
}

void CDC::FillSolidRect(int x, int y, int cx, int cy, COLORREF clr) {
    RECT r = {x, y, x + cx, y + cy};
    FillSolidRect(r, clr);
}

CPoint CDC::MoveTo(int x, int y) {
    POINT old = {0, 0};
    ::MoveToEx(m_hDC, x, y, &old);
    return CPoint(old);
}

CSize CDC::GetTextExtent(LPCWSTR psz, int nCount) const {
    SIZE s = {0, 0};
    ::GetTextExtentPoint32W(m_hDC, psz, nCount, &s);
    return CSizeFromSIZE(s);
}

CClientDC::CClientDC(CWnd* pWnd) : CClientDC(pWnd ? pWnd->m_hWnd : nullptr) {}
CClientDC::CClientDC(HWND hWnd) : m_hWnd(hWnd) { m_hDC = ::GetDC(hWnd); }
CClientDC::~CClientDC() {
    if (m_hDC) ::ReleaseDC(m_hWnd, Detach());
}

CWindowDC::CWindowDC(CWnd* pWnd) : CWindowDC(pWnd ? pWnd->m_hWnd : nullptr) {}
CWindowDC::CWindowDC(HWND hWnd) : m_hWnd(hWnd) { m_hDC = ::GetWindowDC(hWnd); }
CWindowDC::~CWindowDC() {
    if (m_hDC) ::ReleaseDC(m_hWnd, Detach());
}

CPaintDC::CPaintDC(CWnd* pWnd) : m_hWnd(pWnd->m_hWnd) { m_hDC = ::BeginPaint(m_hWnd, &m_ps); }
CPaintDC::~CPaintDC() {
    if (m_hDC) {
        Detach();
        ::EndPaint(m_hWnd, &m_ps);
    }
}
