// GDI wrappers. Each object owns what it creates and releases it when destroyed; owners move but
// never copy. A handle given to someone else for good (the clipboard, a caller) is Detach()ed.
#pragma once

#include <windows.h>

#include "framework/FxApi.h"
#include "framework/Geometry.h"

class CWnd;

class FX_API CGdiObject {
public:
    CGdiObject() = default;
    virtual ~CGdiObject();
    CGdiObject(const CGdiObject&) = delete;
    CGdiObject& operator=(const CGdiObject&) = delete;
    CGdiObject(CGdiObject&& o) noexcept : m_hObject(o.m_hObject) { o.m_hObject = nullptr; }
    CGdiObject& operator=(CGdiObject&& o) noexcept;

    HGDIOBJ m_hObject = nullptr;
    HGDIOBJ GetSafeHandle() const { return m_hObject; }

    // Takes ownership of h; false when this object already holds one.
    BOOL Attach(HGDIOBJ h);
    // Gives up ownership and returns the handle.
    HGDIOBJ Detach();
    BOOL DeleteObject();
    int GetObject(int nCount, LPVOID lpObject) const {
        return ::GetObjectW(m_hObject, nCount, lpObject);
    }
};

class FX_API CBitmap : public CGdiObject {
public:
    CBitmap() = default;
    HBITMAP GetSafeHandle() const { return static_cast<HBITMAP>(m_hObject); }
    explicit operator HBITMAP() const { return GetSafeHandle(); }

    BOOL LoadBitmap(UINT nIDResource);  // from the current resource module
    BOOL CreateBitmap(int nWidth, int nHeight, UINT nPlanes, UINT nBitcount, const void* lpBits);
    BOOL CreateCompatibleBitmap(HDC hDC, int nWidth, int nHeight);
    int GetBitmap(BITMAP* pBitmap) const { return GetObject(sizeof(BITMAP), pBitmap); }
    CSize GetSize() const;  // 0 × 0 when empty
};

class FX_API CPen : public CGdiObject {
public:
    CPen() = default;
    CPen(int nPenStyle, int nWidth, COLORREF crColor) { CreatePen(nPenStyle, nWidth, crColor); }
    HPEN GetSafeHandle() const { return static_cast<HPEN>(m_hObject); }
    BOOL CreatePen(int nPenStyle, int nWidth, COLORREF crColor);
};

class FX_API CBrush : public CGdiObject {
public:
    CBrush() = default;
    explicit CBrush(COLORREF crColor) { CreateSolidBrush(crColor); }
    HBRUSH GetSafeHandle() const { return static_cast<HBRUSH>(m_hObject); }
    BOOL CreateSolidBrush(COLORREF crColor);
    BOOL CreateHatchBrush(int nIndex, COLORREF crColor);
};

class FX_API CFont : public CGdiObject {
public:
    HFONT GetSafeHandle() const { return static_cast<HFONT>(m_hObject); }
    BOOL CreateFontIndirect(const LOGFONTW* lpLogFont);
    // Point size in tenths of a point, as the platform's dialogs give it.
    BOOL CreatePointFont(int nPointSize, LPCWSTR lpszFaceName, HDC hDC = nullptr);
};

class FX_API CPalette : public CGdiObject {
public:
    HPALETTE GetSafeHandle() const { return static_cast<HPALETTE>(m_hObject); }
    BOOL CreatePalette(const LOGPALETTE* lpLogPalette);
};

class FX_API CRgn : public CGdiObject {
public:
    HRGN GetSafeHandle() const { return static_cast<HRGN>(m_hObject); }
    BOOL CreateRectRgn(int x1, int y1, int x2, int y2);
    BOOL CreateRectRgnIndirect(LPCRECT lpRect);
    int CombineRgn(HRGN hSrc1, HRGN hSrc2, int nCombineMode);
};

// A device context. The plain CDC owns a DC it made with CreateCompatibleDC (deleted on
// destruction) or one it was given with Attach; the derived classes get and release theirs.
class FX_API CDC {
public:
    CDC() = default;
    virtual ~CDC();
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;

    HDC m_hDC = nullptr;
    HDC GetSafeHdc() const { return m_hDC; }

    BOOL Attach(HDC hDC);
    HDC Detach();
    BOOL CreateCompatibleDC(const CDC* pDC);
    BOOL CreateCompatibleDC(HDC hDC);
    BOOL DeleteDC();

    HGDIOBJ SelectObject(HGDIOBJ h) { return ::SelectObject(m_hDC, h); }
    HGDIOBJ SelectObject(const CGdiObject* p) { return ::SelectObject(m_hDC, p->m_hObject); }
    HGDIOBJ SelectStockObject(int nIndex) {
        return ::SelectObject(m_hDC, ::GetStockObject(nIndex));
    }

    BOOL BitBlt(int x, int y, int nWidth, int nHeight, const CDC* pSrcDC, int xSrc, int ySrc,
                DWORD dwRop) const;
    BOOL StretchBlt(int x, int y, int nWidth, int nHeight, const CDC* pSrcDC, int xSrc, int ySrc,
                    int nSrcWidth, int nSrcHeight, DWORD dwRop) const;
    void FillSolidRect(const RECT& r, COLORREF clr);
    void FillSolidRect(int x, int y, int cx, int cy, COLORREF clr);
    void FillRect(const RECT& r, HBRUSH hBrush) { ::FillRect(m_hDC, &r, hBrush); }
    void FrameRect(const RECT& r, HBRUSH hBrush) { ::FrameRect(m_hDC, &r, hBrush); }
    void InvertRect(const RECT& r) { ::InvertRect(m_hDC, &r); }
    void DrawFocusRect(const RECT& r) { ::DrawFocusRect(m_hDC, &r); }
    BOOL Rectangle(int x1, int y1, int x2, int y2) { return ::Rectangle(m_hDC, x1, y1, x2, y2); }
    BOOL Rectangle(const RECT& r) { return Rectangle(r.left, r.top, r.right, r.bottom); }
    CPoint MoveTo(int x, int y);
    BOOL LineTo(int x, int y) { return ::LineTo(m_hDC, x, y); }
    int SetROP2(int nDrawMode) { return ::SetROP2(m_hDC, nDrawMode); }
    int SetBkMode(int nBkMode) { return ::SetBkMode(m_hDC, nBkMode); }
    COLORREF SetBkColor(COLORREF c) { return ::SetBkColor(m_hDC, c); }
    COLORREF SetTextColor(COLORREF c) { return ::SetTextColor(m_hDC, c); }
    BOOL TextOut(int x, int y, LPCWSTR psz, int nCount) {
        return ::TextOutW(m_hDC, x, y, psz, nCount);
    }
    int DrawText(LPCWSTR psz, int nCount, LPRECT lpRect, UINT nFormat) {
        return ::DrawTextW(m_hDC, psz, nCount, lpRect, nFormat);
    }
    CSize GetTextExtent(LPCWSTR psz, int nCount) const;
    COLORREF GetPixel(int x, int y) const { return ::GetPixel(m_hDC, x, y); }
    COLORREF SetPixel(int x, int y, COLORREF c) { return ::SetPixel(m_hDC, x, y, c); }
    int GetDeviceCaps(int nIndex) const { return ::GetDeviceCaps(m_hDC, nIndex); }
    int SaveDC() { return ::SaveDC(m_hDC); }
    BOOL RestoreDC(int nSavedDC) { return ::RestoreDC(m_hDC, nSavedDC); }

protected:
    bool m_bOwnsDC = false;  // delete with DeleteDC on destruction
};

// The client area of a window (GetDC / ReleaseDC); a null window means the whole screen.
class FX_API CClientDC : public CDC {
public:
    explicit CClientDC(CWnd* pWnd);
    explicit CClientDC(HWND hWnd);
    ~CClientDC() override;

private:
    HWND m_hWnd;
};

// The whole window, frame included (GetWindowDC / ReleaseDC).
class FX_API CWindowDC : public CDC {
public:
    explicit CWindowDC(CWnd* pWnd);
    explicit CWindowDC(HWND hWnd);
    ~CWindowDC() override;

private:
    HWND m_hWnd;
};

// Painting in WM_PAINT (BeginPaint / EndPaint).
class FX_API CPaintDC : public CDC {
public:
    explicit CPaintDC(CWnd* pWnd);
    ~CPaintDC() override;
    PAINTSTRUCT m_ps;

private:
    HWND m_hWnd;
};

// Selects an object into a DC for the lifetime of the scope and puts the previous one back.
class FX_API CSelectObject {
public:
    CSelectObject(HDC hDC, HGDIOBJ hObject) : m_hDC(hDC), m_hOld(::SelectObject(hDC, hObject)) {}
    CSelectObject(CDC& dc, const CGdiObject& obj) : CSelectObject(dc.m_hDC, obj.m_hObject) {}
    ~CSelectObject() {
        if (m_hOld && m_hOld != HGDI_ERROR) ::SelectObject(m_hDC, m_hOld);
    }
    CSelectObject(const CSelectObject&) = delete;
    CSelectObject& operator=(const CSelectObject&) = delete;

private:
    HDC m_hDC;
    HGDIOBJ m_hOld;
};

// Selects a palette into a DC for the lifetime of the scope and puts the previous one back.
class FX_API CSelectPalette {
public:
    CSelectPalette(HDC hDC, HPALETTE hPalette, BOOL bForceBackground)
        : m_hDC(hDC), m_hOld(::SelectPalette(hDC, hPalette, bForceBackground)) {}
    ~CSelectPalette() {
        if (m_hOld) ::SelectPalette(m_hDC, m_hOld, FALSE);
    }
    CSelectPalette(const CSelectPalette&) = delete;
    CSelectPalette& operator=(const CSelectPalette&) = delete;

private:
    HDC m_hDC;
    HPALETTE m_hOld;
};
