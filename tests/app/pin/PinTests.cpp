// A pin as a user handles it: it appears at the given place showing the picture, follows a drag,
// zooms around the cursor, copies itself, and closes on Escape or a double click.
#include <gtest/gtest.h>

#include "app/pin/PinWnd.h"
#include "tests/lib/core/CoreTestSupport.h"

namespace {
const COLORREF kLeft = RGB(20, 90, 200);
const COLORREF kRight = RGB(230, 200, 10);
COLORREF Split(int x, int) { return x < 60 ? kLeft : kRight; }

CRect ClientOnScreen(HWND h) {
    CRect rc;
    ::GetClientRect(h, &rc);
    POINT p = {0, 0};
    ::ClientToScreen(h, &p);
    rc.OffsetRect(p.x, p.y);
    return rc;
}
}  // namespace

TEST(PinTest, ShowsMovesZoomsCopiesAndCloses) {
    CPinWnd* pPin = CPinWnd::Pin(MakeBitmap(120, 80, &Split), POINT{200, 150});
    ASSERT_NE(pPin, nullptr);
    HWND h = pPin->m_hWnd;
    CPinWnd* pSecond = CPinWnd::Pin(MakeBitmap(30, 30, &Split), POINT{600, 500});
    ASSERT_NE(pSecond, nullptr);
    EXPECT_EQ(CPinWnd::Count(), 2);
    PumpFor(100);

    // At the place it was captured, the picture at its own size, above other windows.
    EXPECT_EQ(ClientOnScreen(h), CRect(200, 150, 320, 230));
    EXPECT_TRUE(::GetWindowLongPtrW(h, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ(Hex(ScreenPixel(210, 160)), Hex(kLeft));
    EXPECT_EQ(Hex(ScreenPixel(300, 220)), Hex(kRight));

    // Dragged by 40, 25.
    ::SendMessageW(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
    ::SendMessageW(h, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(50, 35));
    ::SendMessageW(h, WM_LBUTTONUP, 0, MAKELPARAM(50, 35));
    EXPECT_EQ(ClientOnScreen(h), CRect(240, 175, 360, 255));

    // Zoomed in with the wheel, then back out.
    CRect before = ClientOnScreen(h);
    ::SendMessageW(h, WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), MAKELPARAM(250, 180));
    EXPECT_EQ(pPin->Zoom(), 125);
    EXPECT_EQ(ClientOnScreen(h).Width(), 150);
    EXPECT_EQ(ClientOnScreen(h).Height(), 100);
    ::SendMessageW(h, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)),
                   MAKELPARAM(250, 180));
    EXPECT_EQ(pPin->Zoom(), 100);
    EXPECT_EQ(ClientOnScreen(h).Width(), before.Width());

    // Ctrl+C puts the picture, at its own size, on the clipboard.
    ASSERT_TRUE(pPin->CopyToClipboard());
    ASSERT_TRUE(::OpenClipboard(nullptr));
    HBITMAP hClip = static_cast<HBITMAP>(::GetClipboardData(CF_BITMAP));
    CPixels copied = hClip ? ReadPixels(hClip) : CPixels();
    ::CloseClipboard();
    ASSERT_EQ(copied.cx, 120);
    ASSERT_EQ(copied.cy, 80);
    EXPECT_EQ(Hex(copied.At(0, 0)), Hex(kLeft));
    EXPECT_EQ(Hex(copied.At(119, 79)), Hex(kRight));

    // Escape closes one pin, a double click the other.
    ::SendMessageW(h, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_FALSE(::IsWindow(h));
    HWND h2 = pSecond->m_hWnd;
    ::SendMessageW(h2, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(5, 5));
    EXPECT_FALSE(::IsWindow(h2));
    EXPECT_EQ(CPinWnd::Count(), 0);

    // A picture that is no bitmap pins nothing.
    EXPECT_EQ(CPinWnd::Pin(nullptr, POINT{0, 0}), nullptr);
}
