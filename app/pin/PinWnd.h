// A picture pinned to the screen: a borderless window that stays above the others, shows a copy
// of the picture at the place it was captured, moves when dragged, zooms with the wheel, copies
// itself with Ctrl+C and closes with Escape or a double click. Any number can be open; each one
// owns its picture and deletes itself when closed.
#pragma once

#include <windows.h>

#include "framework/FrameWnd.h"

class CPinWnd : public CFrameWnd {
public:
    // Takes hBitmap over. Shows the pin with its top-left corner at ptScreen. Null on failure
    // (the bitmap is then freed).
    static CPinWnd* Pin(HBITMAP hBitmap, POINT ptScreen);
    // Closes every pin that is open.
    static void CloseAll();
    static int Count();

    // The zoom in percent (100: one screen pixel per picture pixel).
    int Zoom() const { return m_nZoom; }
    // Copies the picture at its own size to the clipboard.
    BOOL CopyToClipboard() const;

protected:
    CPinWnd(HBITMAP hBitmap, int cx, int cy);
    ~CPinWnd() override;

    void OnPaint();
    void OnLButtonDown(UINT nFlags, CPoint pt);
    void OnMouseMove(UINT nFlags, CPoint pt);
    void OnLButtonUp(UINT nFlags, CPoint pt);
    void OnLButtonDblClk(UINT nFlags, CPoint pt);
    void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    LRESULT OnMouseWheel(WPARAM wParam, LPARAM lParam);
    void OnDestroy();

private:
    void ApplyZoom(int nZoom, POINT ptAnchorScreen);

    HBITMAP m_hBitmap;
    int m_cx, m_cy;
    int m_nZoom = 100;
    bool m_bDragging = false;
    POINT m_ptGrab = {};  // where the pin was grabbed, in its client coordinates

    DECLARE_MESSAGE_MAP()
};
