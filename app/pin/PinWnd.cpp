#include "app/pin/PinWnd.h"

#include <algorithm>
#include <vector>

#include "framework/MessageMap.h"

namespace {
constexpr int kMinZoom = 10;
constexpr int kMaxZoom = 800;

std::vector<CPinWnd*>& OpenPins() {
    static std::vector<CPinWnd*> pins;
    return pins;
}
}  // namespace

BEGIN_MESSAGE_MAP(CPinWnd, CFrameWnd)
ON_WM_PAINT()
ON_WM_LBUTTONDOWN()
ON_WM_MOUSEMOVE()
ON_WM_LBUTTONUP()
ON_WM_LBUTTONDBLCLK()
ON_WM_KEYDOWN()
ON_MESSAGE(WM_MOUSEWHEEL, OnMouseWheel)
ON_WM_DESTROY()
END_MESSAGE_MAP()

CPinWnd::CPinWnd(HBITMAP hBitmap, int cx, int cy) : m_hBitmap(hBitmap), m_cx(cx), m_cy(cy) {}

CPinWnd::~CPinWnd() {
    if (m_hBitmap) ::DeleteObject(m_hBitmap);
}

CPinWnd* CPinWnd::Pin(HBITMAP hBitmap, POINT ptScreen) {
    BITMAP bm = {};
    if (!hBitmap || !::GetObjectW(hBitmap, sizeof bm, &bm) || bm.bmWidth <= 0 || bm.bmHeight <= 0) {
        if (hBitmap) ::DeleteObject(hBitmap);
        return nullptr;
    }
    auto* pPin = new CPinWnd(hBitmap, bm.bmWidth, bm.bmHeight);
    CRect rc(ptScreen.x, ptScreen.y, ptScreen.x + bm.bmWidth, ptScreen.y + bm.bmHeight);
    if (!pPin->CreateEx(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, nullptr, L"钉在屏幕上",
                        WS_POPUP | WS_BORDER, rc, nullptr, 0)) {
        delete pPin;
        return nullptr;
    }
    // The border sits outside the picture: the picture keeps its place on the screen.
    RECT frame = {0, 0, 0, 0};
    ::AdjustWindowRectEx(&frame, WS_POPUP | WS_BORDER, FALSE, WS_EX_TOPMOST | WS_EX_TOOLWINDOW);
    ::SetWindowPos(pPin->m_hWnd, HWND_TOPMOST, rc.left + frame.left, rc.top + frame.top,
                   bm.bmWidth + frame.right - frame.left, bm.bmHeight + frame.bottom - frame.top,
                   SWP_SHOWWINDOW);
    OpenPins().push_back(pPin);
    return pPin;
}

void CPinWnd::CloseAll() {
    std::vector<CPinWnd*> pins = OpenPins();
    for (CPinWnd* p : pins) p->DestroyWindow();
}

int CPinWnd::Count() { return static_cast<int>(OpenPins().size()); }

void CPinWnd::OnDestroy() {
    auto& pins = OpenPins();
    pins.erase(std::remove(pins.begin(), pins.end(), this), pins.end());
}

void CPinWnd::OnPaint() {
    PAINTSTRUCT ps;
    HDC hdc = ::BeginPaint(m_hWnd, &ps);
    HDC hMem = ::CreateCompatibleDC(hdc);
    HGDIOBJ old = ::SelectObject(hMem, m_hBitmap);
    CRect rc;
    GetClientRect(&rc);
    if (rc.Width() == m_cx && rc.Height() == m_cy) {
        ::BitBlt(hdc, 0, 0, m_cx, m_cy, hMem, 0, 0, SRCCOPY);
    } else {
        ::SetStretchBltMode(hdc, HALFTONE);
        ::SetBrushOrgEx(hdc, 0, 0, nullptr);
        ::StretchBlt(hdc, 0, 0, rc.Width(), rc.Height(), hMem, 0, 0, m_cx, m_cy, SRCCOPY);
    }
    ::SelectObject(hMem, old);
    ::DeleteDC(hMem);
    ::EndPaint(m_hWnd, &ps);
}

void CPinWnd::OnLButtonDown(UINT, CPoint pt) {
    m_bDragging = true;
    m_ptGrab = {pt.x, pt.y};
    SetCapture();
}

void CPinWnd::OnMouseMove(UINT, CPoint pt) {
    if (!m_bDragging) return;
    CRect rc;
    GetWindowRect(&rc);
    int dx = pt.x - m_ptGrab.x, dy = pt.y - m_ptGrab.y;
    if (dx == 0 && dy == 0) return;
    ::SetWindowPos(m_hWnd, nullptr, rc.left + dx, rc.top + dy, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CPinWnd::OnLButtonUp(UINT, CPoint) {
    if (!m_bDragging) return;
    m_bDragging = false;
    ::ReleaseCapture();
}

void CPinWnd::OnLButtonDblClk(UINT, CPoint) { DestroyWindow(); }

void CPinWnd::OnKeyDown(UINT nChar, UINT, UINT) {
    if (nChar == VK_ESCAPE) {
        DestroyWindow();
    } else if (nChar == 'C' && (::GetKeyState(VK_CONTROL) & 0x8000)) {
        CopyToClipboard();
    }
}

LRESULT CPinWnd::OnMouseWheel(WPARAM wParam, LPARAM lParam) {
    int delta = GET_WHEEL_DELTA_WPARAM(wParam);
    int nZoom = delta > 0 ? m_nZoom * 5 / 4 : m_nZoom * 4 / 5;
    if (nZoom == m_nZoom) nZoom += delta > 0 ? 1 : -1;
    POINT pt = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    ApplyZoom(nZoom, pt);
    return 0;
}

void CPinWnd::ApplyZoom(int nZoom, POINT ptAnchorScreen) {
    nZoom = std::max(kMinZoom, std::min(kMaxZoom, nZoom));
    if (nZoom == m_nZoom) return;
    CRect rcWindow, rcClient;
    GetWindowRect(&rcWindow);
    GetClientRect(&rcClient);
    int frameX = rcWindow.Width() - rcClient.Width();
    int frameY = rcWindow.Height() - rcClient.Height();
    int cx = std::max(1, static_cast<int>(static_cast<long long>(m_cx) * nZoom / 100));
    int cy = std::max(1, static_cast<int>(static_cast<long long>(m_cy) * nZoom / 100));
    // The picture point under the cursor stays under it.
    double fx = rcClient.Width()
                    ? static_cast<double>(ptAnchorScreen.x - rcWindow.left) / rcWindow.Width()
                    : 0;
    double fy = rcClient.Height()
                    ? static_cast<double>(ptAnchorScreen.y - rcWindow.top) / rcWindow.Height()
                    : 0;
    fx = std::max(0.0, std::min(1.0, fx));
    fy = std::max(0.0, std::min(1.0, fy));
    int w = cx + frameX, h = cy + frameY;
    int x = ptAnchorScreen.x - static_cast<int>(fx * w);
    int y = ptAnchorScreen.y - static_cast<int>(fy * h);
    m_nZoom = nZoom;
    ::SetWindowPos(m_hWnd, nullptr, x, y, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
    Invalidate(FALSE);
}

BOOL CPinWnd::CopyToClipboard() const {
    HBITMAP hCopy = static_cast<HBITMAP>(::CopyImage(m_hBitmap, IMAGE_BITMAP, 0, 0, 0));
    if (!hCopy) return FALSE;
    for (int attempt = 0; attempt < 10; ++attempt) {
        if (::OpenClipboard(m_hWnd)) {
            ::EmptyClipboard();
            // The clipboard owns the copy once it took it.
            BOOL ok = ::SetClipboardData(CF_BITMAP, hCopy) != nullptr;
            ::CloseClipboard();
            if (!ok) ::DeleteObject(hCopy);
            return ok;
        }
        ::Sleep(20);
    }
    ::DeleteObject(hCopy);
    return FALSE;
}
