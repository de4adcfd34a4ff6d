// CDlgSnapRectHelper: the full-screen overlay of the region capture. It freezes the screen, shows
// it as its background and lets the user drag out a rectangle on it with the left button; Esc
// gives up. CSnapTrack is its rubber band.
#pragma once

#include "framework/Dialog.h"
#include "framework/Gdi.h"
#include "framework/RectTracker.h"
#include "lib/PeltoLibApi.h"
#include "lib/image/ImageBitmap.h"
#include "lib/snap/SnapTipEdit.h"

class PELTOLIB_API CSnapTrack : public CRectTracker {
public:
    CSnapTrack();
    ~CSnapTrack() override;

    // Instead of an inverted band, asks the overlay (pWnd) to repaint round its tip window and to
    // refresh the tip: the band is shown by the overlay's own painting.
    void DrawTrackerRect(LPCRECT lpRect, CWnd* pWndClipTo, CDC* pDC, CWnd* pWnd) override;
};

class PELTOLIB_API CDlgSnapRectHelper : public CDialog {
public:
    explicit CDlgSnapRectHelper(CWnd* pParent = nullptr);
    ~CDlgSnapRectHelper() override;

    // Copies the selection (screen coordinates); nonzero exactly when it is not empty.
    BOOL GetSelectedRect(CRect& rcSelected);
    // Invalidates the whole overlay except the tip window, so the tip does not flicker.
    void PaintTipWindow();

    // Where the coordinate box goes for the cursor at pt: above and right of the cursor, to the
    // left of it near the right edge, below it near the top edge.
    static CRect GetInfoBoxRect(CPoint pt, int nBoxWidth, int nLineHeight, int nScreenWidth);

protected:
    BOOL SnapFullScreen();
    void DrawTipWindow();
    void DrawInfoWindow(CRect& rect);

    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    void DoDataExchange(CDataExchange* pDX) override;

    void OnPaint();
    BOOL OnEraseBkgnd(CDC* pDC);
    BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
    void OnLButtonDown(UINT nFlags, CPoint point);
    void OnLButtonUp(UINT nFlags, CPoint point);
    void OnMouseMove(UINT nFlags, CPoint point);
    HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);

    CSnapTipEdit m_editTip;
    HCURSOR m_hCursor = nullptr;
    CSnapTrack m_tracker;
    CImageBitmap m_bmpScreen;
    int m_nState = 0;  // 0 waiting for the button, 1 dragging, 2 done
    CRect m_rcSelected;
    CRgn m_rgnUpdate;

    friend class CSnapTrack;

    DECLARE_MESSAGE_MAP()
};
