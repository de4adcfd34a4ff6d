// CDlgSnapRectHelper: the full-screen overlay of the region capture. It freezes the screen, shows
// it as its background and lets the user drag out a rectangle on it with the left button; Esc
// gives up. CSnapTrack is its rubber band; the overlay is the band's owner and paints it.
#pragma once

#include "framework/Dialog.h"
#include "framework/Gdi.h"
#include "lib/PeltoLibApi.h"
#include "lib/image/ImageBitmap.h"
#include "lib/snap/SnapTipEdit.h"
#include "lib/snap/SnapTrack.h"

class PELTOLIB_API CDlgSnapRectHelper : public CDialog, protected ISnapTrackOwner {
    DECLARE_DYNAMIC(CDlgSnapRectHelper)

public:
    enum SnapState {
        stateWaiting = 0,   // for the left button
        stateDragging = 1,  // (and, rarely, a finished band that is still shown)
        stateDone = 2,      // the dialog is ending with OK
    };

    explicit CDlgSnapRectHelper(CWnd* pParent = nullptr);
    ~CDlgSnapRectHelper() override;

    // Copies the selection (screen coordinates); nonzero exactly when it is not empty.
    BOOL GetSelectedRect(CRect& rcSelected);
    // Invalidates the whole overlay except the tip window, so the tip does not flicker.
    void PaintTipWindow();
    // Paints the overlay into any DC in client coordinates, for the cursor at ptCursor (screen
    // coordinates): the frozen picture, the coordinate box while dragging and the band's frame.
    void Draw(CDC* pDC, CPoint ptCursor) const;

    // Where the coordinate box goes for the cursor at pt: above and right of the cursor, to the
    // left of it near the right edge, below it near the top edge. In the overlay's client
    // coordinates, nScreenWidth being the overlay's width.
    static CRect GetInfoBoxRect(CPoint pt, int nBoxWidth, int nLineHeight, int nScreenWidth);

protected:
    BOOL SnapFullScreen();
    void DrawTipWindow();
    void DrawInfoWindow(CDC* pDC, const CRect& rect, CPoint ptCursor) const;
    // The left button was released: with a band being dragged the selection is done.
    void FinishSelection();
    void OnTrackChanged() override;

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

    CSnapTipEdit m_editTip;
    HCURSOR m_hCursor = nullptr;
    CSnapTrack m_tracker;
    CImageBitmap m_bmpScreen;
    SnapState m_nState = stateWaiting;
    CRect m_rcSelected;
    CRgn m_rgnUpdate;
    CFont m_fontInfo;  // the coordinate box's

    DECLARE_MESSAGE_MAP()
};
