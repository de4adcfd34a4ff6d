// CSnapTipEdit: the tip window of the interactive captures. A multi-line edit control, attached
// from a dialog template, that paints a background picture, its text, and a 5-times magnifier of
// the screen round the mouse cursor with a half-transparent green crosshair.
#pragma once

#include <windows.h>

#include "base/ScreenGeometry.h"
#include "framework/Gdi.h"
#include "framework/Wnd.h"
#include "lib/PeltoLibApi.h"

class PELTOLIB_API CSnapTipEdit : public CWnd {
    DECLARE_DYNAMIC(CSnapTipEdit)

public:
    CSnapTipEdit();
    ~CSnapTipEdit() override;

    BOOL GetAtTopLeft() const { return m_bAtTopLeft; }
    void SetAtTopLeft(BOOL bAtTopLeft) { m_bAtTopLeft = bAtTopLeft; }
    CWnd* GetSourceWnd() const { return m_pSourceWnd; }
    // Stores the source and the live flag, and keeps a copy of the bitmap that is on the
    // clipboard (if any) as the picture to magnify when the source is not live.
    void SetSourceWnd(CWnd* pSourceWnd, BOOL bLive);
    // A lasting wrapper of the desktop window, the source of both uses of the tip (a temporary
    // one would be gone when the thread next becomes idle).
    static CWnd* GetDesktopSource();
    BOOL IsLiveSource() const { return m_bLiveSource; }
    HBITMAP GetSourceBitmap() const { return m_bmpSource.GetSafeHandle(); }

    // The geometry of the tip, apart from any window so that it can be checked for any cursor
    // position and screen size.
    // Top-left of the magnified source area for the cursor at pt: (pt.x - 20, pt.y - 15) kept
    // within 0 and the screen's width and height.
    static CPoint GetMagnifierOrigin(CPoint pt, CSize sizeScreen);
    // Top-left corner of the frame round the magnified cursor pixel, where the crosshair's bars
    // cross, in tip coordinates.
    static CPoint GetCrosshairPoint(CPoint pt, CPoint ptOrigin);
    // Where the tip goes when the cursor comes near it: true with the new left edge (the top is
    // always 10) when pt lies in the zone of the corner the tip occupies.
    static BOOL GetFleePosition(BOOL bAtTopLeft, CPoint pt, CSize sizeTip, int nScreenWidth,
                                int& nNewX);

    // Paints the text band and the magnifier for the cursor at pt (screen coordinates) into any
    // device context in tip coordinates; the background picture is drawn by DrawBackground.
    void DrawTip(CDC* pDC, CPoint pt);
    void DrawBackground(CDC* pDC);
    // Moves the tip to the other corner when the cursor has come into the one it occupies.
    void FleeCursor();

    static const int kMagnifierLeft = 10;
    static const int kMagnifierTop = 90;
    static const int kZoom = 5;
    static const int kSourceWidth = 40;
    static const int kSourceHeight = 30;

protected:
    int OnCreate(LPCREATESTRUCT lpCreateStruct);
    // The control-colour message the parent reflects back to the tip.
    HBRUSH CtlColor(CDC* pDC, UINT nCtlColor);
    void OnMouseMove(UINT nFlags, CPoint point);
    LRESULT OnSetFocus(WPARAM wParam, LPARAM lParam);
    LRESULT OnSetText(WPARAM wParam, LPARAM lParam);
    BOOL OnEraseBkgnd(CDC* pDC);
    void OnPaint();
    void OnDestroy();

    // The 5-times copy of the source round pt and the crosshair over it. rcBounds (screen
    // coordinates) is where the source area may start; the source's device context starts at
    // ptSourceOrigin of the screen.
    void DrawMagnifier(CDC* pDC, CDC& src, CPoint pt, const ScreenRect& rcBounds,
                       ScreenPoint ptSourceOrigin);

    BOOL m_bAtTopLeft = TRUE;
    CWnd* m_pSourceWnd = nullptr;
    CPalette m_hPalette;
    CBitmap m_bmpSource;
    BOOL m_bLiveSource = FALSE;

private:
    // The font the tip's text is drawn in: the control's own, or where that is taller than the
    // text band was made for (a display scaled up), the same face at the band's size.
    HFONT TextFont();
    CFont m_fontText;
    HFONT m_hFontTextFrom = nullptr;

    DECLARE_MESSAGE_MAP()
};
