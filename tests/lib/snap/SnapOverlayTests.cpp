// The region overlay run modally over a real screen, driven by queued mouse messages and by
// synthetic input, with the real clipboard.
#include <gtest/gtest.h>

#include <vector>

#include "framework/Gdi.h"
#include "framework/ResourceModule.h"
#include "lib/snap/DlgSnapRectHelper.h"
#include "tests/lib/snap/SnapTestSupport.h"

using namespace snaptest;

namespace {

const wchar_t kWaiting[] = L"·按下鼠标左键选择截取范围\r\n·按ESC键放弃";
const wchar_t kDragging[] = L"·松开鼠标左键确定截取范围\r\n·按ESC键放弃";

class TestOverlay : public CDlgSnapRectHelper {
public:
    SnapState State() const { return m_nState; }
    const CRect& TrackerRect() const { return m_tracker.m_rect; }
    CSnapTipEdit& Tip() { return m_editTip; }
    HBITMAP Frozen() const { return m_bmpScreen.GetSafeHandle(); }
    CString TipText() const { return m_editTip.GetWindowText(); }
    bool Open() const { return m_hWnd && ::IsWindow(m_hWnd) && ::IsWindowVisible(m_hWnd); }
    void Post(UINT msg, CPoint pt) const {
        ::PostMessageW(m_hWnd, msg, msg == WM_LBUTTONDOWN ? MK_LBUTTON : 0, MAKELPARAM(pt.x, pt.y));
    }
    void PressKey(UINT vk) const {
        HWND focus = ::GetFocus();
        ::PostMessageW(focus ? focus : m_hWnd, WM_KEYDOWN, vk, 0);
    }
};

INT_PTR RunOverlay(TestOverlay& overlay, TimerScript& script) {
    INT_PTR result = -2;
    CFxResourceScope scope(LibraryModule());
    script.Run([&] { result = overlay.DoModal(); });
    return result;
}

std::string Str(const CRect& r) {
    return "(" + std::to_string(r.left) + "," + std::to_string(r.top) + ")-(" +
           std::to_string(r.right) + "," + std::to_string(r.bottom) + ")";
}

std::string Utf8(const wchar_t* s) {
    int n = WideCharToMultiByte(CP_UTF8, 0, s, -1, nullptr, 0, nullptr, nullptr);
    std::string out(n > 0 ? n - 1 : 0, '\0');
    if (n > 1) WideCharToMultiByte(CP_UTF8, 0, s, -1, &out[0], n, nullptr, nullptr);
    return out;
}

CSize Screen() { return CSize(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)); }

// The coordinate box the overlay should draw for the cursor at pt, measured with the same font.
CRect ExpectedInfoBox(CPoint pt) {
    HDC screen = GetDC(nullptr);
    CFont font;
    font.CreatePointFont(90, L"宋体", screen);
    HGDIOBJ old = SelectObject(screen, font.GetSafeHandle());
    TEXTMETRICW tm = {};
    GetTextMetricsW(screen, &tm);
    SIZE ext = {};
    GetTextExtentPoint32W(screen, L"顶点位置  ", 6, &ext);
    SelectObject(screen, old);
    ReleaseDC(nullptr, screen);
    return CDlgSnapRectHelper::GetInfoBoxRect(pt, ext.cx, tm.tmHeight + tm.tmExternalLeading,
                                              Screen().cx);
}

}  // namespace

TEST(SnapOverlayTest, DraggingEitherWayGivesTheSameSelection) {
    const CPoint a(300, 250), b(520, 410);
    CRect selections[2];
    for (int dir = 0; dir < 2; ++dir) {
        CPoint from = dir ? b : a, to = dir ? a : b;
        TestOverlay overlay;
        CRect place, tipPlace;
        int stateBefore = -1;
        CString textBefore;
        TimerScript script;
        script.Add([&] {
            GetWindowRect(overlay.m_hWnd, &place);
            GetWindowRect(overlay.Tip().m_hWnd, &tipPlace);
            stateBefore = overlay.State();
            textBefore = overlay.TipText();
            overlay.Post(WM_LBUTTONDOWN, from);
            overlay.Post(WM_MOUSEMOVE, CPoint((from.x + to.x) / 2, (from.y + to.y) / 2));
            overlay.Post(WM_MOUSEMOVE, to);
            overlay.Post(WM_LBUTTONUP, to);
        });
        script.Add([&] { overlay.PostMessage(WM_COMMAND, IDCANCEL); });  // only if still open
        EXPECT_EQ(RunOverlay(overlay, script), IDOK) << "direction " << dir;
        EXPECT_EQ(place, CRect(CPoint(0, 0), Screen())) << "the overlay covers the screen";
        EXPECT_EQ(tipPlace, CRect(10, 10, 230, 263));
        EXPECT_EQ(stateBefore, CDlgSnapRectHelper::stateWaiting);
        EXPECT_NE(textBefore.Find(kWaiting), -1) << "state 0 line missing";
        EXPECT_EQ(overlay.State(), CDlgSnapRectHelper::stateDone);
        EXPECT_TRUE(overlay.GetSelectedRect(selections[dir])) << "direction " << dir;
    }
    // The true rectangle: the dragged one and its one-pixel frame.
    EXPECT_EQ(selections[0], CRect(299, 249, 521, 411)) << Str(selections[0]);
    EXPECT_EQ(selections[1], selections[0]) << Str(selections[1]);
}

TEST(SnapOverlayTest, ClickWithoutMovementKeepsWaitingAndEscapeGivesNoRectangle) {
    TestOverlay overlay;
    int stateAfterClick = -1;
    bool openAfterClick = false;
    CString textAfterClick;
    TimerScript script;
    script.Add([&] {
        overlay.Post(WM_LBUTTONDOWN, CPoint(400, 300));
        overlay.Post(WM_LBUTTONUP, CPoint(400, 300));
    });
    script.Add([&] {
        stateAfterClick = overlay.State();
        openAfterClick = overlay.Open();
        textAfterClick = overlay.TipText();
        overlay.PressKey(VK_ESCAPE);
    });
    script.Add([&] { overlay.PostMessage(WM_COMMAND, IDOK); });  // Escape did not end it
    EXPECT_EQ(RunOverlay(overlay, script), IDCANCEL);
    EXPECT_EQ(stateAfterClick, CDlgSnapRectHelper::stateWaiting);
    EXPECT_TRUE(openAfterClick);
    EXPECT_NE(textAfterClick.Find(kWaiting), -1) << "state 0 line missing";
    CRect rc(1, 2, 3, 4);
    EXPECT_FALSE(overlay.GetSelectedRect(rc));
    EXPECT_EQ(rc, CRect()) << Str(rc);
}

TEST(SnapOverlayTest, EscapeDuringTheDragCancelsOnlyTheBand) {
    TestOverlay overlay;
    int stateDuring = -1, stateAfter = -1;
    CString textDuring;
    CRect trackerAfter;
    bool openAfter = false;
    TimerScript script;
    script.Add([&] {
        overlay.Post(WM_LBUTTONDOWN, CPoint(200, 200));
        overlay.Post(WM_MOUSEMOVE, CPoint(350, 330));
    });
    script.Add([&] {  // runs inside the band's own loop
        stateDuring = overlay.State();
        textDuring = overlay.TipText();
        overlay.PressKey(VK_ESCAPE);
    });
    script.Add([&] {
        stateAfter = overlay.State();
        trackerAfter = overlay.TrackerRect();
        openAfter = overlay.Open();
        overlay.PostMessage(WM_COMMAND, IDCANCEL);
    });
    EXPECT_EQ(RunOverlay(overlay, script), IDCANCEL);
    EXPECT_EQ(stateDuring, CDlgSnapRectHelper::stateDragging);
    EXPECT_NE(textDuring.Find(kDragging), -1) << "state 1 line missing";
    EXPECT_EQ(stateAfter, CDlgSnapRectHelper::stateWaiting);
    EXPECT_TRUE(openAfter) << "the band's Escape must not end the overlay";
    EXPECT_EQ(trackerAfter, CRect(-1, -1, -1, -1)) << Str(trackerAfter);
    CRect rc;
    EXPECT_FALSE(overlay.GetSelectedRect(rc));
}

TEST(SnapOverlayTest, OkBeforeAnyDragEndsWithTheStartingTrueRectangle) {
    TestOverlay overlay;
    TimerScript script;
    script.Add([&] { overlay.PostMessage(WM_COMMAND, IDOK); });
    EXPECT_EQ(RunOverlay(overlay, script), IDOK);
    CRect rc;
    EXPECT_TRUE(overlay.GetSelectedRect(rc));
    EXPECT_EQ(rc, CRect(-2, -2, 0, 0)) << Str(rc);
}

TEST(SnapOverlayTest, FreezesTheScreenOntoTheClipboardAndReadsItsPixels) {
    ColourWindow blue(CRect(400, 300, 600, 500), RGB(0, 0, 255), L"蓝色");
    PumpFor(100);
    ASSERT_TRUE(PutTextOnClipboard(L"之前的内容"));
    TestOverlay overlay;
    HBITMAP tipSource = nullptr;
    COLORREF frozenPixel = 0, clipPixel = 0;
    CSize clipSize;
    CPoint cursor;
    CString text;
    TimerScript script;
    script.Add([&] {
        HBITMAP clip = CopyClipboardBitmap();
        clipPixel = BitmapPixel(clip, 500, 400);
        BITMAP bm = {};
        if (clip && GetObjectW(clip, sizeof bm, &bm)) clipSize = CSize(bm.bmWidth, bm.bmHeight);
        if (clip) DeleteObject(clip);
        frozenPixel = BitmapPixel(overlay.Frozen(), 500, 400);
        tipSource = overlay.Tip().GetSourceBitmap();
        cursor = MoveCursor(500, 400);
        overlay.SendMessage(WM_MOUSEMOVE, 0, 0);
        text = overlay.TipText();
    });
    script.Add([&] {
        SaveScreenshot(L"overlay_waiting", CRect(CPoint(0, 0), Screen()));
        overlay.PressKey(VK_ESCAPE);
    });
    script.Add([&] { overlay.PostMessage(WM_COMMAND, IDCANCEL); });
    EXPECT_EQ(RunOverlay(overlay, script), IDCANCEL);

    EXPECT_EQ(clipSize, Screen()) << "the clipboard holds the whole screen";
    EXPECT_EQ(clipPixel, RGB(0, 0, 255)) << ColourText(clipPixel);
    EXPECT_EQ(frozenPixel, RGB(0, 0, 255)) << ColourText(frozenPixel);
    EXPECT_NE(tipSource, nullptr) << "the tip magnifies the clipboard's picture";
    ASSERT_EQ(cursor, CPoint(500, 400));
    EXPECT_EQ(Utf8(text.Left(text.Find(L"\r\n"))), Utf8(L"·像素RGB(0,0,255)"));
    EXPECT_NE(text.Find(kWaiting), -1);
    // The picture stays on the clipboard after the overlay is gone.
    HBITMAP after = CopyClipboardBitmap();
    ASSERT_NE(after, nullptr);
    EXPECT_EQ(BitmapPixel(after, 450, 350), RGB(0, 0, 255));
    DeleteObject(after);
}

TEST(SnapOverlayTest, FrozenScreenReachesTheClipboardThatAnotherThreadHeldAMoment) {
    ColourWindow blue(CRect(400, 300, 600, 500), RGB(0, 0, 255), L"蓝色");
    PumpFor(100);
    ASSERT_TRUE(PutTextOnClipboard(L"之前的内容"));
    TestOverlay overlay;
    CSize clipSize;
    HBITMAP tipSource = nullptr;
    TimerScript script;
    script.Add([&] {
        HBITMAP clip = CopyClipboardBitmap();
        BITMAP bm = {};
        if (clip && GetObjectW(clip, sizeof bm, &bm)) clipSize = CSize(bm.bmWidth, bm.bmHeight);
        if (clip) DeleteObject(clip);
        tipSource = overlay.Tip().GetSourceBitmap();
        overlay.PostMessage(WM_COMMAND, IDCANCEL);
    });
    {
        // Let go only after the overlay has frozen the screen, just before it hands it over.
        ClipboardHolder holder([&] { return overlay.Frozen() != nullptr; });
        ASSERT_TRUE(holder.Held());
        EXPECT_EQ(RunOverlay(overlay, script), IDCANCEL);
    }
    EXPECT_EQ(clipSize, Screen()) << "the clipboard holds the whole screen";
    EXPECT_NE(tipSource, nullptr) << "the tip magnifies the clipboard's picture";
}

TEST(SnapOverlayTest, CoordinateBoxFlipsNearTheRightAndTopEdges) {
    CSize screen = Screen();
    struct Case {
        const char* what;
        CPoint from, to;
    } cases[] = {
        {"middle", {500, 500}, {700, 600}},
        {"right edge", {900, 500}, {screen.cx - 5, 600}},
        {"top edge", {500, 400}, {700, 8}},
    };
    for (const Case& c : cases) {
        TestOverlay overlay;
        CRect box = ExpectedInfoBox(c.to);
        COLORREF corners[2] = {};
        CPoint cursor;
        TimerScript script(120);
        script.Add([&] {
            cursor = MoveCursor(c.to.x, c.to.y);
            overlay.Post(WM_LBUTTONDOWN, c.from);
            overlay.Post(WM_MOUSEMOVE, c.to);
        });
        script.Add([&] {  // inside the band's loop, after it went idle and painted
            corners[0] = ScreenPixel(box.left, box.top);
            corners[1] = ScreenPixel(box.right - 1, box.bottom - 1);
            if (c.what[0] == 'r') {
                SaveScreenshot(L"overlay_dragging", CRect(CPoint(0, 0), screen));
            }
            overlay.Post(WM_LBUTTONUP, c.to);
        });
        script.Add([&] { overlay.PostMessage(WM_COMMAND, IDCANCEL); });
        EXPECT_EQ(RunOverlay(overlay, script), IDOK) << c.what;
        ASSERT_EQ(cursor, c.to) << c.what;
        // Right of the cursor unless near the right edge, above it unless near the top.
        bool right = box.left > c.to.x, above = box.bottom < c.to.y;
        EXPECT_EQ(right, c.what[0] != 'r') << c.what << ": box " << Str(box);
        EXPECT_EQ(above, c.what[0] != 't') << c.what << ": box " << Str(box);
        for (COLORREF px : corners)
            EXPECT_EQ(px, RGB(147, 147, 147))
                << c.what << ": box " << Str(box) << " corner shows " << ColourText(px);
    }
}

TEST(SnapOverlayTest, SyntheticDragFromBottomRightMovesTheTipAway) {
    const COLORREF quadrants[4] = {RGB(255, 0, 0), RGB(0, 200, 0), RGB(0, 0, 255),
                                   RGB(255, 255, 0)};
    ColourWindow pattern(CRect(0, 0, 200, 240), quadrants);
    PumpFor(100);
    TestOverlay overlay;
    CString tipText;
    CRect tipWhileDragging;
    int stateWhileDragging = -1;
    TimerScript script(150);
    script.Add([&] {
        MoveCursor(700, 600);
        MouseButton(true);
    });
    script.Add([&] { MoveCursor(400, 400); });
    script.Add([&] { MoveCursor(100, 120); });  // into the tip's corner
    script.Add([&] {
        stateWhileDragging = overlay.State();
        GetWindowRect(overlay.Tip().m_hWnd, &tipWhileDragging);
        tipText = overlay.TipText();
        SaveScreenshot(L"overlay_tip_fled", CRect(CPoint(0, 0), Screen()));
        MouseButton(false);
    });
    script.Add([&] { overlay.PostMessage(WM_COMMAND, IDCANCEL); });
    EXPECT_EQ(RunOverlay(overlay, script), IDOK);
    EXPECT_EQ(stateWhileDragging, CDlgSnapRectHelper::stateDragging);
    EXPECT_NE(tipText.Find(kDragging), -1) << "state 1 line missing";
    int w = Screen().cx;
    EXPECT_EQ(tipWhileDragging, CRect(w - 230, 10, w - 10, 263)) << Str(tipWhileDragging);
    CRect rc;
    EXPECT_TRUE(overlay.GetSelectedRect(rc));
    EXPECT_EQ(rc, CRect(99, 119, 701, 601)) << Str(rc);
}

TEST(SnapOverlayTest, PaintsIntoAMemoryDcWhatItShowsOnTheScreen) {
    const CPoint from(300, 250), to(520, 410);
    const CSize screen = Screen();
    const CRect box = ExpectedInfoBox(to);
    struct Probe {
        CPoint pt;
        bool frameWhileDragging;  // black while dragging; always the frozen picture otherwise
        const char* what;
    };
    const Probe probes[] = {
        {{from.x - 1, 330}, true, "left frame line"},
        {{400, to.y}, true, "bottom frame line"},
        {{from.x + 1, from.y + 1}, true, "top-left handle"},
        {{400, 330}, false, "inside the band"},
        {{100, 600}, false, "far from the band"},
    };
    struct Drawn {
        std::vector<COLORREF> probes, frozen;
        COLORREF corners[2] = {}, frozenCorners[2] = {};
    } drawn[2];  // waiting, dragging
    TestOverlay overlay;
    auto drawInto = [&](Drawn& d) {
        CClientDC screenDC(static_cast<HWND>(nullptr));
        CDC mem;
        CBitmap bmp;
        if (!mem.CreateCompatibleDC(&screenDC) ||
            !bmp.CreateCompatibleBitmap(screenDC.m_hDC, screen.cx, screen.cy))
            return;
        CSelectObject sel(mem, bmp);
        mem.FillSolidRect(0, 0, screen.cx, screen.cy, RGB(1, 2, 3));
        overlay.Draw(&mem, to);
        for (const Probe& p : probes) {
            d.probes.push_back(mem.GetPixel(p.pt.x, p.pt.y));
            d.frozen.push_back(BitmapPixel(overlay.Frozen(), p.pt.x, p.pt.y));
        }
        d.corners[0] = mem.GetPixel(box.left, box.top);
        d.corners[1] = mem.GetPixel(box.right - 1, box.bottom - 1);
        d.frozenCorners[0] = BitmapPixel(overlay.Frozen(), box.left, box.top);
        d.frozenCorners[1] = BitmapPixel(overlay.Frozen(), box.right - 1, box.bottom - 1);
    };
    TimerScript script;
    script.Add([&] {
        drawInto(drawn[0]);
        overlay.Post(WM_LBUTTONDOWN, from);
        overlay.Post(WM_MOUSEMOVE, to);
    });
    script.Add([&] {  // inside the band's loop
        drawInto(drawn[1]);
        overlay.Post(WM_LBUTTONUP, to);
    });
    script.Add([&] { overlay.PostMessage(WM_COMMAND, IDCANCEL); });
    EXPECT_EQ(RunOverlay(overlay, script), IDOK);
    for (int dragging = 0; dragging < 2; ++dragging) {
        const Drawn& d = drawn[dragging];
        ASSERT_EQ(d.probes.size(), sizeof probes / sizeof probes[0]) << "nothing drawn";
        for (size_t i = 0; i < d.probes.size(); ++i) {
            COLORREF want = dragging && probes[i].frameWhileDragging ? RGB(0, 0, 0) : d.frozen[i];
            EXPECT_EQ(d.probes[i], want)
                << probes[i].what << (dragging ? " while dragging" : "") << ": "
                << ColourText(d.probes[i]) << ", expected " << ColourText(want);
        }
        for (int k = 0; k < 2; ++k) {
            // The coordinate box only while dragging.
            COLORREF want = dragging ? RGB(147, 147, 147) : d.frozenCorners[k];
            EXPECT_EQ(d.corners[k], want)
                << "coordinate box corner " << k << (dragging ? " while dragging" : "") << ": "
                << ColourText(d.corners[k]);
        }
    }
}
