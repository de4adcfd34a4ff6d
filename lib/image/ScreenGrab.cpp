#include "lib/image/ScreenGrab.h"

#include "lib/image/SystemScreen.h"
#include "lib/image/WindowResponse.h"

#include <algorithm>
#include <cstdint>
#include <new>

namespace {

// The part of rect (in the coordinates of the window DC of a window at rcWindow; empty: the whole
// window) that lies on the primary screen, in screen coordinates. Worked in 64 bits: a far-off
// rectangle plus the window's origin would overflow an int.
BOOL VisibleScreenArea(const CRect& rcWindow, CRect rect, CRect& rcScreen) {
    int64_t left = rcWindow.left, top = rcWindow.top;
    int64_t right = rcWindow.right, bottom = rcWindow.bottom;
    // Compared, not subtracted: a far-off rectangle would overflow the width.
    if (rect.right > rect.left && rect.bottom > rect.top) {
        left = int64_t(rcWindow.left) + rect.left;
        top = int64_t(rcWindow.top) + rect.top;
        right = int64_t(rcWindow.left) + rect.right;
        bottom = int64_t(rcWindow.top) + rect.bottom;
    }
    left = std::max<int64_t>(left, 0);
    top = std::max<int64_t>(top, 0);
    right = std::min<int64_t>(right, ::GetSystemMetrics(SM_CXSCREEN));
    bottom = std::min<int64_t>(bottom, ::GetSystemMetrics(SM_CYSCREEN));
    if (right <= left || bottom <= top) return FALSE;
    rcScreen.SetRect(static_cast<int>(left), static_cast<int>(top), static_cast<int>(right),
                     static_cast<int>(bottom));
    return TRUE;
}

}  // namespace

std::unique_ptr<CImageBitmap> GrabScreenBitmap(HWND hWnd, CRect rect, CRect* pScreenArea) {
    if (!hWnd || !::IsWindow(hWnd)) return nullptr;
    CRect rcScreen, rcWindow;
    if (!::GetWindowRect(hWnd, &rcWindow)) return nullptr;
    if (rect.right <= rect.left || rect.bottom <= rect.top) {
        // The whole window is what the user sees of it, without the invisible resize border.
        CRect rcVisible;
        if (!GetVisibleWindowRect(hWnd, rcVisible)) return nullptr;
        rect =
            ToCRect(ScreenToClientRect(ToScreenRect(rcVisible), ToScreenPoint(rcWindow.TopLeft())));
    }
    if (!VisibleScreenArea(rcWindow, rect, rcScreen)) return nullptr;
    int nWidth = rcScreen.Width();
    int nHeight = rcScreen.Height();
    // The window DC starts at the window's own corner, which may lie off the screen (a maximised
    // window starts a few pixels above and left of it).
    int xSource = rcScreen.left - rcWindow.left;
    int ySource = rcScreen.top - rcWindow.top;

    // Raised for the copy so that nothing covers it; a window the user had pinned on top keeps
    // that afterwards. A window whose program hangs is copied as the screen shows it: its thread
    // would have to take part in the raise.
    const BOOL bWasTopmost = (::GetWindowLongPtrW(hWnd, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
    const BOOL bAnswering = bWasTopmost || IsWindowAnswering(hWnd);
    if (!bWasTopmost) SetWindowZOrder(hWnd, HWND_TOPMOST, bAnswering);

    std::unique_ptr<CImageBitmap> pBitmap(new (std::nothrow) CImageBitmap(0x00FFFFFF));
    if (pBitmap) {
        {
            CWindowDC dcWindow(hWnd);
            CDC dcMemory;
            if (dcWindow.m_hDC && dcMemory.CreateCompatibleDC(dcWindow.m_hDC) &&
                pBitmap->CreateCompatibleBitmap(dcWindow.m_hDC, nWidth, nHeight)) {
                CSelectObject select(dcMemory, *pBitmap);
                ::BitBlt(dcMemory.m_hDC, 0, 0, nWidth, nHeight, dcWindow.m_hDC, xSource, ySource,
                         SRCCOPY);
            }
        }
        // A bitmap the platform could not make (the area is too large for the memory left) is no
        // capture: handing out an empty holder would read as success to the caller.
        if (!pBitmap->GetSafeHandle()) pBitmap.reset();
    }

    if (!bWasTopmost) SetWindowZOrder(hWnd, HWND_NOTOPMOST, bAnswering);
    if (pBitmap && pScreenArea) *pScreenArea = rcScreen;
    return pBitmap;
}
