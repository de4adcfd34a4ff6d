// The rectangle tracker: its geometry, its drawing, and its rubber band driven by
// mouse messages queued for its own loop.
#include <gtest/gtest.h>

#include <vector>

#include "framework/Gdi.h"
#include "framework/RectTracker.h"
#include "framework/Wnd.h"

namespace {

std::string Str(const CRect& r) {
    return "(" + std::to_string(r.left) + "," + std::to_string(r.top) + ")-(" +
           std::to_string(r.right) + "," + std::to_string(r.bottom) + ")";
}

const UINT kOverlayStyle = CRectTracker::solidLine | CRectTracker::resizeInside;

// A tracker that records what it was asked to draw while tracking.
class RecordingTracker : public CRectTracker {
public:
    struct Call {
        CRect rect;
        BOOL erase;
        BOOL finalErase;
    };
    std::vector<Call> calls;
    void DrawTrackerRect(LPCRECT lpRect, CWnd* pWndClipTo, CDC* pDC, CWnd* pWnd) override {
        calls.push_back({CRect(*lpRect), m_bErase, m_bFinalErase});
        CRectTracker::DrawTrackerRect(lpRect, pWndClipTo, pDC, pWnd);
    }
};

// A plain window whose message queue feeds the tracker's loop.
struct TrackWindow {
    CWnd wnd;
    TrackWindow() {
        wnd.CreateEx(0, nullptr, L"跟踪", WS_POPUP | WS_VISIBLE, CRect(0, 0, 300, 300), nullptr, 0);
    }
    ~TrackWindow() { wnd.DestroyWindow(); }
    void Post(UINT msg, int x, int y) const {
        PostMessageW(wnd.m_hWnd, msg, msg == WM_MOUSEMOVE ? 0 : MK_LBUTTON, MAKELPARAM(x, y));
    }
};

}  // namespace

TEST(RectTrackerTest, TrueRectGrowsByTheFrameAndOutsideHandles) {
    struct Row {
        UINT style;
        CRect rect;
        CRect expected;
    } rows[] = {
        {0, {10, 20, 110, 90}, {10, 20, 110, 90}},
        {CRectTracker::solidLine, {10, 20, 110, 90}, {9, 19, 111, 91}},
        {kOverlayStyle, {10, 20, 110, 90}, {9, 19, 111, 91}},
        {CRectTracker::resizeOutside, {10, 20, 110, 90}, {7, 17, 113, 93}},
        {CRectTracker::dottedLine | CRectTracker::resizeOutside,
         {10, 20, 110, 90},
         {6, 16, 114, 94}},
        {kOverlayStyle, {110, 90, 10, 20}, {9, 19, 111, 91}},  // inverted both ways
        {kOverlayStyle, {-1, -1, -1, -1}, {-2, -2, 0, 0}},     // the overlay's starting rectangle
    };
    for (const Row& r : rows) {
        CRectTracker t(&r.rect, r.style);
        CRect got;
        t.GetTrueRect(&got);
        EXPECT_EQ(got, r.expected) << "style " << r.style << " rect " << Str(r.rect) << ": "
                                   << Str(got) << ", expected " << Str(r.expected);
    }
}

TEST(RectTrackerTest, HitTestFindsHandlesInsideTheFrameAlsoWhenInverted) {
    const CRect normal(100, 100, 200, 180), inverted(200, 180, 100, 100);
    struct Row {
        CPoint pt;
        int hit;
    } rows[] = {
        {{100, 100}, CRectTracker::hitTopLeft},
        {{99, 99}, CRectTracker::hitTopLeft},  // the frame pixel belongs to the tracker
        {{98, 98}, CRectTracker::hitNothing},
        {{200, 180}, CRectTracker::hitBottomRight},
        {{201, 181}, CRectTracker::hitNothing},
        {{199, 100}, CRectTracker::hitTopRight},
        {{100, 179}, CRectTracker::hitBottomLeft},
        {{150, 100}, CRectTracker::hitTop},
        {{200, 140}, CRectTracker::hitRight},
        {{150, 180}, CRectTracker::hitBottom},
        {{100, 140}, CRectTracker::hitLeft},
        {{150, 140}, CRectTracker::hitMiddle},
        {{120, 105}, CRectTracker::hitMiddle},
    };
    for (const CRect& rc : {normal, inverted}) {
        CRectTracker t(&rc, kOverlayStyle);
        for (const Row& r : rows)
            EXPECT_EQ(t.HitTest(r.pt), r.hit)
                << "rect " << Str(rc) << " point (" << r.pt.x << "," << r.pt.y << ")";
    }
    // Without handles only the middle is hit.
    CRectTracker plain(&normal, CRectTracker::solidLine);
    EXPECT_EQ(plain.HitTest(CPoint(100, 100)), CRectTracker::hitMiddle);
    EXPECT_EQ(plain.HitTest(CPoint(250, 100)), CRectTracker::hitNothing);
}

TEST(RectTrackerTest, NormalizeHitSwapsTheHandlesOfAnInvertedRectangle) {
    CRect flippedX(200, 100, 100, 180), flippedY(100, 180, 200, 100), both(200, 180, 100, 100);
    CRectTracker tx(&flippedX, kOverlayStyle), ty(&flippedY, kOverlayStyle),
        tb(&both, kOverlayStyle);
    EXPECT_EQ(tx.NormalizeHit(CRectTracker::hitTopLeft), CRectTracker::hitTopRight);
    EXPECT_EQ(tx.NormalizeHit(CRectTracker::hitLeft), CRectTracker::hitRight);
    EXPECT_EQ(tx.NormalizeHit(CRectTracker::hitTop), CRectTracker::hitTop);
    EXPECT_EQ(ty.NormalizeHit(CRectTracker::hitTopLeft), CRectTracker::hitBottomLeft);
    EXPECT_EQ(ty.NormalizeHit(CRectTracker::hitBottom), CRectTracker::hitTop);
    EXPECT_EQ(tb.NormalizeHit(CRectTracker::hitTopLeft), CRectTracker::hitBottomRight);
    EXPECT_EQ(tb.NormalizeHit(CRectTracker::hitMiddle), CRectTracker::hitMiddle);
    EXPECT_EQ(tb.NormalizeHit(CRectTracker::hitNothing), CRectTracker::hitNothing);
}

TEST(RectTrackerTest, DrawsASolidFrameOutsideAndHandlesInside) {
    HDC screen = GetDC(nullptr);
    CDC dc;
    dc.CreateCompatibleDC(screen);
    CBitmap bmp;
    bmp.CreateCompatibleBitmap(screen, 300, 300);
    ReleaseDC(nullptr, screen);
    CSelectObject sel(dc, bmp);
    dc.FillSolidRect(0, 0, 300, 300, RGB(255, 255, 255));
    CRect rc(150, 140, 50, 60);  // inverted: drawn normalised
    CRectTracker t(&rc, kOverlayStyle);
    t.Draw(&dc);
    struct Probe {
        int x, y;
        COLORREF c;
        const char* what;
    } probes[] = {
        {49, 100, RGB(0, 0, 0), "left frame line"},
        {150, 100, RGB(0, 0, 0), "right frame line"},
        {70, 59, RGB(0, 0, 0), "top frame line"},
        {70, 140, RGB(0, 0, 0), "bottom frame line"},
        {51, 61, RGB(0, 0, 0), "top-left handle"},
        {148, 138, RGB(0, 0, 0), "bottom-right handle"},
        {70, 62, RGB(255, 255, 255), "inside, away from handles"},
        {100, 100, RGB(255, 255, 255), "middle"},
        {48, 100, RGB(255, 255, 255), "outside the frame"},
    };
    for (const Probe& p : probes)
        EXPECT_EQ(dc.GetPixel(p.x, p.y), p.c) << p.what << " at (" << p.x << "," << p.y << ")";
}

TEST(RectTrackerTest, RubberBandFollowsTheMouseUntilTheButtonIsReleased) {
    TrackWindow w;
    RecordingTracker t;
    t.m_nStyle = kOverlayStyle;
    w.Post(WM_MOUSEMOVE, 80, 90);
    w.Post(WM_MOUSEMOVE, 150, 140);
    w.Post(WM_LBUTTONUP, 150, 140);
    EXPECT_TRUE(t.TrackRubberBand(&w.wnd, CPoint(50, 60)));
    EXPECT_EQ(t.m_rect, CRect(50, 60, 150, 140)) << Str(t.m_rect);
    EXPECT_EQ(GetCapture(), nullptr) << "the capture is given back";
    // Drawn, erased and drawn again, then erased for good.
    ASSERT_EQ(t.calls.size(), 4u);
    EXPECT_EQ(t.calls[0].rect, CRect(50, 60, 80, 90));
    EXPECT_FALSE(t.calls[0].erase);
    EXPECT_TRUE(t.calls[1].erase);
    EXPECT_EQ(t.calls[2].rect, CRect(50, 60, 150, 140));
    EXPECT_FALSE(t.calls[2].erase);
    EXPECT_TRUE(t.calls[3].erase);
    EXPECT_TRUE(t.calls[3].finalErase);
}

TEST(RectTrackerTest, RubberBandMayCrossItsStartWhenInversionIsAllowed) {
    TrackWindow w;
    CRectTracker t;
    w.Post(WM_MOUSEMOVE, 20, 30);
    w.Post(WM_LBUTTONUP, 20, 30);
    EXPECT_TRUE(t.TrackRubberBand(&w.wnd, CPoint(120, 110), TRUE));
    EXPECT_EQ(t.m_rect, CRect(120, 110, 20, 30)) << "left inverted: " << Str(t.m_rect);
    t.m_rect.NormalizeRect();
    EXPECT_EQ(t.m_rect, CRect(20, 30, 120, 110));

    // Without inversion the band stops at the minimum size on its own side.
    CRectTracker noInvert;
    w.Post(WM_MOUSEMOVE, 20, 30);
    w.Post(WM_LBUTTONUP, 20, 30);
    EXPECT_TRUE(noInvert.TrackRubberBand(&w.wnd, CPoint(120, 110), FALSE));
    EXPECT_EQ(noInvert.m_rect,
              CRect(120, 110, 120 + noInvert.m_sizeMin.cx, 110 + noInvert.m_sizeMin.cy))
        << Str(noInvert.m_rect);
}

TEST(RectTrackerTest, ClickEmptyBandEscapeAndRightButtonGiveNoRectangle) {
    TrackWindow w;
    const CRect before(-1, -1, -1, -1);
    struct Case {
        const char* what;
        std::vector<std::pair<UINT, CPoint>> input;
    } cases[] = {
        {"click without movement", {{WM_LBUTTONUP, {60, 70}}}},
        {"moved back to the start", {{WM_MOUSEMOVE, {90, 90}}, {WM_LBUTTONUP, {60, 70}}}},
        {"moved along one axis", {{WM_MOUSEMOVE, {160, 70}}, {WM_LBUTTONUP, {160, 70}}}},
        {"escape", {{WM_MOUSEMOVE, {160, 170}}, {WM_KEYDOWN, {}}, {WM_LBUTTONUP, {160, 170}}}},
        {"right button", {{WM_MOUSEMOVE, {160, 170}}, {WM_RBUTTONDOWN, {160, 170}}}},
    };
    for (const Case& c : cases) {
        RecordingTracker t;
        t.m_nStyle = kOverlayStyle;
        t.m_rect = before;
        for (const auto& in : c.input) {
            if (in.first == WM_KEYDOWN)
                PostMessageW(w.wnd.m_hWnd, WM_KEYDOWN, VK_ESCAPE, 0);
            else
                w.Post(in.first, in.second.x, in.second.y);
        }
        EXPECT_FALSE(t.TrackRubberBand(&w.wnd, CPoint(60, 70))) << c.what;
        EXPECT_EQ(t.m_rect, before) << c.what << ": " << Str(t.m_rect);
        EXPECT_EQ(GetCapture(), nullptr) << c.what;
        // Whatever was drawn has been taken away again.
        int drawn = 0;
        for (const auto& call : t.calls) drawn += call.erase ? -1 : 1;
        EXPECT_LE(drawn, 0) << c.what;
        // Leave nothing behind for the next case (the escape case leaves its button-up).
        MSG m;
        while (PeekMessageW(&m, w.wnd.m_hWnd, 0, 0, PM_REMOVE)) {
        }
    }
}

TEST(RectTrackerTest, TrackMovesTheRectangleByItsMiddle) {
    TrackWindow w;
    CRect rc(50, 50, 150, 120);
    CRectTracker t(&rc, kOverlayStyle);
    w.Post(WM_MOUSEMOVE, 130, 110);
    w.Post(WM_LBUTTONUP, 130, 110);
    EXPECT_TRUE(t.Track(&w.wnd, CPoint(100, 85)));
    EXPECT_EQ(t.m_rect, CRect(80, 75, 180, 145)) << Str(t.m_rect);
    // A press outside the tracker does nothing.
    EXPECT_FALSE(t.Track(&w.wnd, CPoint(5, 5)));
}
