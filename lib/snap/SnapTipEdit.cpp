#include "lib/snap/SnapTipEdit.h"

#include <optional>
#include <utility>
#include <vector>

#include "lib/image/ClipboardAccess.h"
#include "lib/image/SystemScreen.h"
#include "lib/res/PeltoLocalResource.h"
#include "lib/res/resource.h"

IMPLEMENT_DYNAMIC(CSnapTipEdit, CWnd)

BEGIN_MESSAGE_MAP(CSnapTipEdit, CWnd)
ON_WM_CREATE()
ON_WM_MOUSEMOVE()
ON_MESSAGE(WM_SETFOCUS, OnSetFocus)
ON_MESSAGE(WM_SETTEXT, OnSetText)
ON_WM_ERASEBKGND()
ON_WM_PAINT()
ON_WM_DESTROY()
ON_WM_CTLCOLOR_REFLECT()
END_MESSAGE_MAP()

CSnapTipEdit::CSnapTipEdit() = default;

CSnapTipEdit::~CSnapTipEdit() = default;

void CSnapTipEdit::SetSourceWnd(CWnd* pSourceWnd, BOOL bLive) {
    m_pSourceWnd = pSourceWnd;
    m_bLiveSource = bLive;
    if (!OpenClipboardWithRetry(nullptr)) return;
    if (::IsClipboardFormatAvailable(CF_BITMAP)) {
        // The clipboard keeps its own bitmap; the tip magnifies a copy of it.
        HANDLE hClip = ::GetClipboardData(CF_BITMAP);
        CBitmap copy;
        if (hClip) copy.Attach(::CopyImage(hClip, IMAGE_BITMAP, 0, 0, 0));
        if (copy.GetSafeHandle()) m_bmpSource = std::move(copy);
    }
    ::CloseClipboard();
}

CWnd* CSnapTipEdit::GetDesktopSource() {
    static CWnd s_desktop(::GetDesktopWindow());
    return &s_desktop;
}

CPoint CSnapTipEdit::GetMagnifierOrigin(CPoint pt, CSize sizeScreen) {
    return ToCPoint(MagnifierSourceOrigin(ToScreenPoint(pt), kSourceWidth, kSourceHeight,
                                          {0, 0, sizeScreen.cx, sizeScreen.cy}));
}

CPoint CSnapTipEdit::GetCrosshairPoint(CPoint pt, CPoint ptOrigin) {
    return CPoint(kZoom * (pt.x - ptOrigin.x) + kMagnifierLeft - 1,
                  kMagnifierTop - 1 + kZoom * (pt.y - ptOrigin.y));
}

BOOL CSnapTipEdit::GetFleePosition(BOOL bAtTopLeft, CPoint pt, CSize sizeTip, int nScreenWidth,
                                   int& nNewX) {
    CRect zone;
    if (bAtTopLeft) {
        zone.SetRect(0, 0, sizeTip.cx + 10, sizeTip.cy + 10);
        nNewX = nScreenWidth - 230;
    } else {
        zone.SetRect(nScreenWidth - 230, 0, nScreenWidth, sizeTip.cy + 10);
        nNewX = 10;
    }
    return zone.PtInRect(pt);
}

void CSnapTipEdit::DrawBackground(CDC* pDC) {
    CBitmap back;
    back.Attach(
        ::LoadImageW(FsGetResourceHandle(), MAKEINTRESOURCEW(IDB_SNAP_TIP), IMAGE_BITMAP, 0, 0, 0));
    if (!back.GetSafeHandle()) return;
    CRect rc;
    GetClientRect(&rc);
    CDC mem;
    if (mem.CreateCompatibleDC(pDC)) {
        CSelectObject sel(mem, back);
        pDC->BitBlt(0, 0, rc.Width(), rc.Height(), &mem, 0, 0, SRCCOPY);
    }
}

HFONT CSnapTipEdit::TextFont() {
    // The picture and its 50-pixel text band keep their size on every display, while a dialog's
    // font grows with the display's scale: three lines of it no longer fit from 150 % on. The
    // band was made for the dialog font at 100 %, 12 pixels high.
    const LONG kBandFontPixels = 12;
    HFONT hControl = GetFont();
    if (hControl != m_hFontTextFrom) {
        m_fontText.DeleteObject();
        m_hFontTextFrom = hControl;
        LOGFONTW lf = {};
        if (hControl && ::GetObjectW(hControl, sizeof lf, &lf) == sizeof lf &&
            (lf.lfHeight > kBandFontPixels || lf.lfHeight < -kBandFontPixels)) {
            lf.lfHeight = -kBandFontPixels;
            lf.lfWidth = 0;
            m_fontText.CreateFontIndirect(&lf);
        }
    }
    HFONT hFitted = static_cast<HFONT>(m_fontText.GetSafeHandle());
    return hFitted ? hFitted : hControl;
}

void CSnapTipEdit::DrawTip(CDC* pDC, CPoint pt) {
    int saved = pDC->SaveDC();
    pDC->SetBkMode(TRANSPARENT);
    // The control's own font (the dialog's) rather than the device's raster system font, which
    // has no Chinese glyphs on every system.
    HFONT hFont = TextFont();
    pDC->SelectObject(hFont ? static_cast<HGDIOBJ>(hFont) : ::GetStockObject(DEFAULT_GUI_FONT));
    pDC->SetTextColor(RGB(0, 0, 0));

    CRect rc;
    GetClientRect(&rc);
    CRect band(rc.left, rc.top + 30, rc.right, rc.top + 80);
    // Only the alignment of the edit's style means the same to text drawing; its other bits
    // would ask for things like measuring instead of drawing.
    UINT nFormat = (GetStyle() & (ES_CENTER | ES_RIGHT)) | DT_WORDBREAK;
    CString text = GetWindowText();
    pDC->DrawText(text, text.GetLength(), band, nFormat);

    if (m_pSourceWnd) {
        if (m_bLiveSource) {
            // The live screen reaches every monitor, also those left of and above the primary.
            CWindowDC live(m_pSourceWnd->GetSafeHwnd());
            RECT rcSource = {0, 0, 0, 0};
            ::GetWindowRect(m_pSourceWnd->GetSafeHwnd(), &rcSource);
            if (live.m_hDC)
                DrawMagnifier(pDC, live, pt, VirtualScreen(GetSystemScreenMetrics()),
                              ScreenPoint{int(rcSource.left), int(rcSource.top)});
        } else {
            // The frozen picture is the primary screen from its top-left corner.
            CDC mem;
            if (mem.CreateCompatibleDC(pDC)) {
                std::optional<CSelectObject> sel;
                if (m_bmpSource.GetSafeHandle()) sel.emplace(mem, m_bmpSource);
                DrawMagnifier(pDC, mem, pt, PrimaryScreen(GetSystemScreenMetrics()), {0, 0});
            }
        }
    }
    pDC->RestoreDC(saved);
}

void CSnapTipEdit::DrawMagnifier(CDC* pDC, CDC& src, CPoint pt, const ScreenRect& rcBounds,
                                 ScreenPoint ptSourceOrigin) {
    CPoint o =
        ToCPoint(MagnifierSourceOrigin(ToScreenPoint(pt), kSourceWidth, kSourceHeight, rcBounds));
    CPoint ptSource(o.x - ptSourceOrigin.x, o.y - ptSourceOrigin.y);
    std::optional<CSelectPalette> palDst, palSrc;
    if (m_hPalette.GetSafeHandle()) {
        palDst.emplace(pDC->m_hDC, m_hPalette.GetSafeHandle(), FALSE);
        palSrc.emplace(src.m_hDC, m_hPalette.GetSafeHandle(), FALSE);
        ::RealizePalette(src.m_hDC);
    }
    ::SetStretchBltMode(pDC->m_hDC, COLORONCOLOR);
    pDC->StretchBlt(kMagnifierLeft, kMagnifierTop, kSourceWidth * kZoom, kSourceHeight * kZoom,
                    &src, ptSource.x, ptSource.y, kSourceWidth, kSourceHeight, SRCCOPY);

    CPoint cross = GetCrosshairPoint(pt, o);
    CDC green;
    CBitmap bmpGreen;
    if (green.CreateCompatibleDC(pDC) && bmpGreen.CreateCompatibleBitmap(pDC->m_hDC, 1, 1)) {
        CSelectObject sel(green, bmpGreen);
        green.SetPixel(0, 0, RGB(0, 255, 0));
        BLENDFUNCTION bf = {AC_SRC_OVER, 0, 127, 0};
        ::GdiAlphaBlend(pDC->m_hDC, cross.x, kMagnifierTop, 7, kSourceHeight * kZoom, green.m_hDC,
                        0, 0, 1, 1, bf);
        ::GdiAlphaBlend(pDC->m_hDC, kMagnifierLeft, cross.y, kSourceWidth * kZoom, 7, green.m_hDC,
                        0, 0, 1, 1, bf);
    }
    pDC->SelectStockObject(BLACK_PEN);
    pDC->SelectStockObject(NULL_BRUSH);
    pDC->Rectangle(cross.x, cross.y, cross.x + 6, cross.y + 6);
}

HBRUSH CSnapTipEdit::CtlColor(CDC* pDC, UINT) {
    pDC->SetBkMode(TRANSPARENT);
    return nullptr;
}

int CSnapTipEdit::OnCreate(LPCREATESTRUCT lpCreateStruct) {
    if (DefWindowProc(WM_CREATE, 0, reinterpret_cast<LPARAM>(lpCreateStruct)) == -1) return -1;
    m_hPalette.DeleteObject();
    if (!m_pSourceWnd) return 0;
    CClientDC dc(m_pSourceWnd->GetSafeHwnd());
    if (!dc.m_hDC) return 0;
    if (dc.GetDeviceCaps(RASTERCAPS) & RC_PALETTE) {
        int bits = dc.GetDeviceCaps(BITSPIXEL) * dc.GetDeviceCaps(PLANES);
        if (bits > 0 && bits <= 8) {
            int n = 1 << bits;
            std::vector<BYTE> buf(sizeof(LOGPALETTE) + sizeof(PALETTEENTRY) * n);
            LOGPALETTE* pal = reinterpret_cast<LOGPALETTE*>(buf.data());
            pal->palVersion = 0x300;
            pal->palNumEntries = static_cast<WORD>(n);
            ::GetSystemPaletteEntries(dc.m_hDC, 0, static_cast<UINT>(n), pal->palPalEntry);
            m_hPalette.CreatePalette(pal);
        }
    }
    return 0;
}

void CSnapTipEdit::OnMouseMove(UINT nFlags, CPoint point) {
    FleeCursor();
    DefWindowProc(WM_MOUSEMOVE, nFlags, MAKELPARAM(point.x, point.y));
}

void CSnapTipEdit::FleeCursor() {
    CPoint pt;
    ::GetCursorPos(&pt);
    CWnd* pParent = GetParent();
    CRect rcParent;
    if (pParent) {
        pParent->ScreenToClient(&pt);
        pParent->GetClientRect(&rcParent);
    }
    CRect rc;
    GetWindowRect(&rc);
    int nNewX = 0;
    // In a parent no larger than the tip itself (the object pick's dialog) the other corner lies
    // outside the parent and the tip would vanish; there the owner moves the whole dialog.
    // The parent's own width: its client coordinates are what the tip moves in.
    int nWidth = pParent ? rcParent.Width() : ::GetSystemMetrics(SM_CXSCREEN);
    if (GetFleePosition(m_bAtTopLeft, pt, rc.Size(), nWidth, nNewX) &&
        rcParent.PtInRect(CPoint(nNewX + rc.Width() - 1, 10 + rc.Height() - 1))) {
        MoveWindow(nNewX, 10, rc.Width(), rc.Height(), TRUE);
        m_bAtTopLeft = nNewX == 10;
    }
}

LRESULT CSnapTipEdit::OnSetFocus(WPARAM wParam, LPARAM lParam) {
    LRESULT r = DefWindowProc(WM_SETFOCUS, wParam, lParam);
    ::HideCaret(m_hWnd);
    return r;
}

LRESULT CSnapTipEdit::OnSetText(WPARAM wParam, LPARAM lParam) {
    LRESULT r = DefWindowProc(WM_SETTEXT, wParam, lParam);
    // The edit invalidates only the lines it would draw itself, at its own top; the text band
    // and the magnifier are elsewhere and must follow every change.
    Invalidate(TRUE);
    return r;
}

BOOL CSnapTipEdit::OnEraseBkgnd(CDC* pDC) {
    // Keeps the edit from scrolling its text away from the band it is drawn in.
    SendMessage(EM_SETSEL, 0, 0);
    SendMessage(EM_SCROLLCARET);
    DrawBackground(pDC);
    return TRUE;
}

void CSnapTipEdit::OnPaint() {
    CPaintDC dc(this);
    CPoint pt;
    ::GetCursorPos(&pt);
    DrawTip(&dc, pt);
}

void CSnapTipEdit::OnDestroy() {
    DefWindowProc(WM_DESTROY, 0, 0);
    m_hPalette.DeleteObject();
    m_bmpSource.DeleteObject();
}
