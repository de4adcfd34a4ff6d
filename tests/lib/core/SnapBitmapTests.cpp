// The screen-to-bitmap primitive against real windows of known colours.
#include <gtest/gtest.h>

#include <climits>
#include <memory>

#include "lib/image/ScreenGrab.h"
#include "tests/lib/core/CoreTestSupport.h"

namespace {
const COLORREF kRed = RGB(220, 20, 30);
const COLORREF kGreen = RGB(10, 200, 40);
const COLORREF kBlue = RGB(20, 40, 210);

std::unique_ptr<CImageBitmap> Snap(HWND h, CRect rc) {
    return std::unique_ptr<CImageBitmap>(CPeltoCore::SnapBitmap(h, rc));
}

bool IsTopmost(HWND h) { return (::GetWindowLongPtrW(h, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }
}  // namespace

TEST(SnapBitmap, WholeWindowWithEmptyRectangleHasItsSizeAndColours) {
    CColorWindow wnd(CRect(100, 120, 300, 270), kRed, kBlue, 120);
    auto bmp = Snap(wnd.m_hWnd, CRect(0, 0, 0, 0));
    ASSERT_TRUE(bmp);
    CPixels p = ReadPixels(bmp->GetSafeHandle());
    ASSERT_EQ(p.cx, 200);
    ASSERT_EQ(p.cy, 150);
    EXPECT_EQ(Hex(p.At(0, 0)), Hex(kRed));
    EXPECT_EQ(Hex(p.At(119, 149)), Hex(kRed));
    EXPECT_EQ(Hex(p.At(120, 0)), Hex(kBlue));
    EXPECT_EQ(Hex(p.At(199, 149)), Hex(kBlue));
    EXPECT_EQ(bmp->m_clrBackground, 0x00FFFFFFu);
}

TEST(SnapBitmap, RectangleIsTakenInTheWindowsOwnCoordinates) {
    CColorWindow wnd(CRect(100, 120, 300, 270), kRed, kBlue, 120);
    // (110, 10)-(140, 30) of the window straddles the colour boundary at x = 120.
    auto bmp = Snap(wnd.m_hWnd, CRect(110, 10, 140, 30));
    ASSERT_TRUE(bmp);
    CPixels p = ReadPixels(bmp->GetSafeHandle());
    ASSERT_EQ(p.cx, 30);
    ASSERT_EQ(p.cy, 20);
    EXPECT_EQ(Hex(p.At(9, 5)), Hex(kRed));
    EXPECT_EQ(Hex(p.At(10, 5)), Hex(kBlue));
}

TEST(SnapBitmap, AreaIsCutAtTheRightAndBottomScreenEdges) {
    CSize screen = ScreenSize();
    CColorWindow wnd(CRect(screen.cx - 80, screen.cy - 60, screen.cx, screen.cy), kGreen);
    auto bmp = Snap(::GetDesktopWindow(),
                    CRect(screen.cx - 50, screen.cy - 40, screen.cx + 100, screen.cy + 300));
    ASSERT_TRUE(bmp);
    CPixels p = ReadPixels(bmp->GetSafeHandle());
    EXPECT_EQ(p.cx, 50);
    EXPECT_EQ(p.cy, 40);
    EXPECT_EQ(Hex(p.At(0, 0)), Hex(kGreen));
    EXPECT_EQ(Hex(p.At(49, 39)), Hex(kGreen));
}

TEST(SnapBitmap, NegativeOriginBecomesZero) {
    CColorWindow wnd(CRect(0, 0, 90, 70), kBlue, kGreen, 40);
    auto bmp = Snap(::GetDesktopWindow(), CRect(-30, -20, 70, 60));
    ASSERT_TRUE(bmp);
    CPixels p = ReadPixels(bmp->GetSafeHandle());
    EXPECT_EQ(p.cx, 70);
    EXPECT_EQ(p.cy, 60);
    // Screen (0, 0) lands at (0, 0): the boundary at screen x = 40 stays at x = 40.
    EXPECT_EQ(Hex(p.At(39, 30)), Hex(kBlue));
    EXPECT_EQ(Hex(p.At(40, 30)), Hex(kGreen));
}

TEST(SnapBitmap, PictureIsTheVisiblePartOfTheWindowWhereverItStarts) {
    CSize screen = ScreenSize();
    // Each window is 200 x 150, green up to its own x = 100 and red beyond; the rectangle is in
    // the window's own coordinates (empty: the whole window).
    struct Case {
        const char* pszName;
        CRect rcWindow;
        CRect rcArea;
        CRect rcExpected;  // the screen part copied
    } cases[] = {
        // A maximised window starts above and left of the screen.
        {"past the left and top edges", CRect(-50, -40, 150, 110), CRect(0, 0, 0, 0),
         CRect(0, 0, 150, 110)},
        {"client-like area past the left and top edges", CRect(-50, -40, 150, 110),
         CRect(20, 10, 180, 140), CRect(0, 0, 130, 100)},
        {"area of a window past the right edge", CRect(screen.cx - 120, 100, screen.cx + 80, 250),
         CRect(10, 10, 190, 140), CRect(screen.cx - 110, 110, screen.cx, 240)},
        {"area of a window wholly on the screen", CRect(100, 100, 300, 250),
         CRect(10, 10, 190, 140), CRect(110, 110, 290, 240)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pszName);
        CColorWindow wnd(c.rcWindow, kGreen, kRed, 100);
        CRect rcCopied(0, 0, 0, 0);
        std::unique_ptr<CImageBitmap> bmp = GrabScreenBitmap(wnd.m_hWnd, c.rcArea, &rcCopied);
        ASSERT_TRUE(bmp);
        EXPECT_EQ(rcCopied, c.rcExpected);
        CPixels p = ReadPixels(bmp->GetSafeHandle());
        ASSERT_EQ(p.cx, c.rcExpected.Width());
        ASSERT_EQ(p.cy, c.rcExpected.Height());
        // Where the window's own x = 100 lands in the picture.
        int xSplit = c.rcWindow.left + 100 - c.rcExpected.left;
        int y = p.cy / 2;
        EXPECT_EQ(Hex(p.At(0, y)), Hex(kGreen));
        EXPECT_EQ(Hex(p.At(xSplit - 1, y)), Hex(kGreen));
        EXPECT_EQ(Hex(p.At(xSplit, y)), Hex(kRed));
        EXPECT_EQ(Hex(p.At(p.cx - 1, p.cy - 1)), Hex(kRed));
    }
}

TEST(SnapBitmap, NothingForNullWindowOrAreaEmptyAfterClipping) {
    CSize screen = ScreenSize();
    EXPECT_EQ(CPeltoCore::SnapBitmap(nullptr, CRect(0, 0, 10, 10)), nullptr);
    EXPECT_EQ(
        CPeltoCore::SnapBitmap(::GetDesktopWindow(), CRect(screen.cx + 10, 0, screen.cx + 50, 10)),
        nullptr);
    EXPECT_EQ(CPeltoCore::SnapBitmap(::GetDesktopWindow(), CRect(-50, -50, -10, -10)), nullptr);
    // A handle that named a window once.
    HWND hGone = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                   nullptr, nullptr);
    ::DestroyWindow(hGone);
    EXPECT_EQ(CPeltoCore::SnapBitmap(hGone, CRect(0, 0, 0, 0)), nullptr);
}

TEST(SnapBitmap, HugeAndDegenerateRectanglesStayWithinTheScreen) {
    CSize screen = ScreenSize();
    auto huge = Snap(::GetDesktopWindow(), CRect(INT_MIN, INT_MIN, INT_MAX, INT_MAX));
    ASSERT_TRUE(huge);
    CPixels p = ReadPixels(huge->GetSafeHandle());
    EXPECT_EQ(p.cx, screen.cx);
    EXPECT_EQ(p.cy, screen.cy);
    // Zero width: taken as "the whole window".
    CColorWindow wnd(CRect(200, 200, 260, 230), kRed);
    auto flat = Snap(wnd.m_hWnd, CRect(10, 5, 10, 25));
    ASSERT_TRUE(flat);
    CPixels q = ReadPixels(flat->GetSafeHandle());
    EXPECT_EQ(q.cx, 60);
    EXPECT_EQ(q.cy, 30);
}

TEST(SnapBitmap, WindowKeepsItsTopmostStateAfterwards) {
    for (DWORD dwExStyle : {DWORD(0), DWORD(WS_EX_TOPMOST)}) {
        SCOPED_TRACE(dwExStyle ? "topmost" : "plain");
        CColorWindow wnd(CRect(100, 100, 160, 160), kBlue, CLR_INVALID, 1 << 30, WS_POPUP,
                         dwExStyle);
        const bool bTopmost = dwExStyle != 0;
        ASSERT_EQ(IsTopmost(wnd.m_hWnd), bTopmost);
        auto bmp = Snap(wnd.m_hWnd, CRect(0, 0, 0, 0));
        ASSERT_TRUE(bmp);
        EXPECT_EQ(IsTopmost(wnd.m_hWnd), bTopmost);
        CPixels p = ReadPixels(bmp->GetSafeHandle());
        EXPECT_EQ(Hex(p.At(30, 30)), Hex(kBlue));
    }
}
