// CRectTracker: a rectangle that the user drags out or resizes with the mouse, drawn as a frame
// with resize handles.
//
// The tracking loops capture the mouse and read the thread's messages themselves until the left
// button is released; Escape or the right button cancels. Messages other than mouse moves and
// keys are dispatched as usual, so the window keeps painting while the band moves.
#pragma once

#include <windows.h>

#include "framework/FxApi.h"
#include "framework/Geometry.h"

class CWnd;
class CDC;

class FX_API CRectTracker {
public:
    enum StyleFlags {
        solidLine = 1,
        dottedLine = 2,
        hatchedBorder = 4,
        resizeInside = 8,
        resizeOutside = 16,
        hatchInside = 32,
    };
    enum TrackerHit {
        hitNothing = -1,
        hitTopLeft = 0,
        hitTopRight = 1,
        hitBottomRight = 2,
        hitBottomLeft = 3,
        hitTop = 4,
        hitRight = 5,
        hitBottom = 6,
        hitLeft = 7,
        hitMiddle = 8,
    };

    CRectTracker();
    CRectTracker(LPCRECT lpSrcRect, UINT nStyle);
    virtual ~CRectTracker();
    CRectTracker(const CRectTracker&) = delete;
    CRectTracker& operator=(const CRectTracker&) = delete;

    UINT m_nStyle = 0;
    CRect m_rect;     // in client coordinates of the tracked window; may be inverted
    CSize m_sizeMin;  // smallest size while resizing an existing rectangle
    int m_nHandleSize = 0;

    // The frame and handles for the current style.
    void Draw(CDC* pDC) const;
    // The normalised rectangle grown by what the frame and outside handles cover.
    void GetTrueRect(LPRECT lpTrueRect) const;
    // Which part of the tracker lies under the point (TrackerHit).
    int HitTest(CPoint point) const;
    // Corrects a handle number for a rectangle that is inverted in one or both directions.
    int NormalizeHit(int nHandle) const;

    // Drags a new rectangle from point until the left button is released. With bAllowInvert the
    // band may cross over its starting point (m_rect is left inverted then). True when the
    // button was released over a band that is not empty once normalised; false for a cancelled
    // or empty band, in which case m_rect is put back as it was.
    BOOL TrackRubberBand(CWnd* pWnd, CPoint point, BOOL bAllowInvert = TRUE);
    // Moves or resizes the existing rectangle from the part under point. True when it changed.
    BOOL Track(CWnd* pWnd, CPoint point, BOOL bAllowInvert = FALSE);

    // Feedback while tracking: by default an inverted focus rectangle; lpRect is the rectangle to
    // draw, or with m_bErase the one to take away.
    virtual void DrawTrackerRect(LPCRECT lpRect, CWnd* pWndClipTo, CDC* pDC, CWnd* pWnd);
    virtual void AdjustRect(int nHandle, LPRECT lpRect);
    virtual void OnChangedRect(const CRect& rectOld);
    virtual UINT GetHandleMask() const;

protected:
    virtual int GetHandleSize(LPCRECT lpRect = nullptr) const;

    // Sets the defaults of every field; the constructors run it.
    void Construct();
    BOOL TrackHandle(int nHandle, CWnd* pWnd, CPoint point);
    // The rectangle of one handle, or an empty one when the handle is not shown.
    void GetHandleRect(int nHandle, CRect* pHandleRect) const;

    BOOL m_bAllowInvert = FALSE;
    CRect m_rectLast;
    BOOL m_bErase = FALSE;       // the DrawTrackerRect call takes the last rectangle away
    BOOL m_bFinalErase = FALSE;  // ... and it is the last call of the loop
};
