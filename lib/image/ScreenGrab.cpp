#include "lib/image/ScreenGrab.h"

#include <algorithm>
#include <new>

std::unique_ptr<CImageBitmap> GrabScreenBitmap(HWND hWnd, CRect rect) {
    if (!hWnd || !::IsWindow(hWnd)) return nullptr;
    BOOL bWholeWindow = FALSE;
    // Compared, not subtracted: a far-off rectangle would overflow the width.
    if (rect.right <= rect.left || rect.bottom <= rect.top) {
        if (!::GetWindowRect(hWnd, &rect)) return nullptr;
        bWholeWindow = TRUE;
    }
    rect.right = std::min(rect.right, static_cast<LONG>(::GetSystemMetrics(SM_CXSCREEN)));
    rect.bottom = std::min(rect.bottom, static_cast<LONG>(::GetSystemMetrics(SM_CYSCREEN)));
    rect.left = std::max(rect.left, 0L);
    rect.top = std::max(rect.top, 0L);
    int nWidth = rect.right - rect.left;
    int nHeight = rect.bottom - rect.top;
    if (nWidth <= 0 || nHeight <= 0) return nullptr;

    const UINT kKeepPlace = SWP_NOMOVE | SWP_NOSIZE;
    ::SetWindowPos(hWnd, HWND_TOPMOST, 0, 0, 0, 0, kKeepPlace);

    std::unique_ptr<CImageBitmap> pBitmap(new (std::nothrow) CImageBitmap(0x00FFFFFF));
    if (pBitmap) {
        {
            CWindowDC dcWindow(hWnd);
            CDC dcMemory;
            if (dcWindow.m_hDC && dcMemory.CreateCompatibleDC(dcWindow.m_hDC) &&
                pBitmap->CreateCompatibleBitmap(dcWindow.m_hDC, nWidth, nHeight)) {
                CSelectObject select(dcMemory, *pBitmap);
                int xSource = bWholeWindow ? 0 : rect.left;
                int ySource = bWholeWindow ? 0 : rect.top;
                ::BitBlt(dcMemory.m_hDC, 0, 0, nWidth, nHeight, dcWindow.m_hDC, xSource, ySource,
                         SRCCOPY);
            }
        }
        // A bitmap the platform could not make (the area is too large for the memory left) is no
        // capture: handing out an empty holder would read as success to the caller.
        if (!pBitmap->GetSafeHandle()) pBitmap.reset();
    }

    ::SetWindowPos(hWnd, HWND_NOTOPMOST, 0, 0, 0, 0, kKeepPlace);
    return pBitmap;
}
