// The tip window and the object-pick dialog with real windows, the real clipboard and the
// cursor moved by synthetic input.
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "framework/ResourceModule.h"
#include "lib/snap/DlgSnapObjHelper.h"
#include "lib/snap/ProgramWindows.h"
#include "lib/snap/SnapTipEdit.h"
#include "tests/lib/snap/SnapTestSupport.h"

using namespace snaptest;

namespace {

const COLORREF kQuadrants[4] = {RGB(255, 0, 0), RGB(0, 200, 0), RGB(0, 0, 255), RGB(255, 255, 0)};

bool Near(COLORREF a, COLORREF b, int tolerance) {
    return std::abs(GetRValue(a) - GetRValue(b)) <= tolerance &&
           std::abs(GetGValue(a) - GetGValue(b)) <= tolerance &&
           std::abs(GetBValue(a) - GetBValue(b)) <= tolerance;
}

// Where the magnifier shows source pixel (i, j) of its 40 x 30 area, in tip coordinates (the
// middle of the 5 x 5 block).
CPoint Magnified(int i, int j) {
    return CPoint(CSnapTipEdit::kMagnifierLeft + 5 * i + 2,
                  CSnapTipEdit::kMagnifierTop + 5 * j + 2);
}

// A bitmap whose pixel (x, y) has the colour ColourAt(x, y), or one colour with a differently
// coloured block in its bottom-right corner.
COLORREF ColourAt(int x, int y) { return RGB(x * 6 % 256, y * 8 % 256, 100); }

HBITMAP MakeBitmap(int w, int h, bool gradient, CSize corner = CSize()) {
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    HBITMAP bmp = CreateCompatibleBitmap(screen, w, h);
    HGDIOBJ old = SelectObject(mem, bmp);
    if (gradient) {
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) SetPixel(mem, x, y, ColourAt(x, y));
    } else {
        RECT all = {0, 0, w, h}, block = {w - corner.cx, h - corner.cy, w, h};
        HBRUSH blue = CreateSolidBrush(RGB(0, 0, 255)), red = CreateSolidBrush(RGB(255, 0, 0));
        FillRect(mem, &all, blue);
        FillRect(mem, &block, red);
        DeleteObject(blue);
        DeleteObject(red);
    }
    SelectObject(mem, old);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    return bmp;
}

// A tip window made from a plain multi-line edit inside a pop-up at the screen origin, as the
// overlay hosts it.
struct HostedTip {
    HWND hParent = nullptr;
    CSnapTipEdit tip;
    HostedTip() {
        hParent = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, GetSystemMetrics(SM_CXSCREEN),
                                  GetSystemMetrics(SM_CYSCREEN), nullptr, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
        HWND hEdit =
            CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | ES_MULTILINE, 10, 10, 220, 253,
                            hParent, nullptr, GetModuleHandleW(nullptr), nullptr);
        tip.SubclassWindow(hEdit);
    }
    ~HostedTip() {
        tip.DestroyWindow();
        DestroyWindow(hParent);
    }
    CRect PlaceInParent() const {
        CRect rc;
        GetWindowRect(tip.m_hWnd, &rc);
        MapWindowPoints(nullptr, hParent, reinterpret_cast<POINT*>(&rc), 2);
        return rc;
    }
};

// Draws the tip for a cursor position into a bitmap of the tip's size and reads pixels back.
struct TipPicture {
    HDC screen = GetDC(nullptr);
    CDC dc;
    HBITMAP bmp = nullptr;
    HGDIOBJ old = nullptr;
    TipPicture(CSnapTipEdit& tip, CPoint pt) {
        dc.CreateCompatibleDC(screen);
        bmp = CreateCompatibleBitmap(screen, 220, 253);
        old = dc.SelectObject(bmp);
        tip.DrawBackground(&dc);
        tip.DrawTip(&dc, pt);
    }
    ~TipPicture() {
        dc.SelectObject(old);
        DeleteObject(bmp);
        ReleaseDC(nullptr, screen);
    }
    COLORREF At(CPoint p) const { return dc.GetPixel(p.x, p.y); }
};

}  // namespace

TEST(SnapTipEditTest, KeepsItsOwnCopyOfTheClipboardBitmap) {
    HBITMAP original = MakeBitmap(50, 40, true);
    ASSERT_TRUE(PutBitmapOnClipboard(original));
    HBITMAP onClipboard = nullptr;
    {
        CSnapTipEdit tip;
        EXPECT_TRUE(tip.GetAtTopLeft());
        EXPECT_EQ(tip.GetSourceWnd(), nullptr);
        tip.SetSourceWnd(CSnapTipEdit::GetDesktopSource(), TRUE);  // taken whatever the flag
        EXPECT_EQ(tip.GetSourceWnd()->m_hWnd, GetDesktopWindow());
        EXPECT_TRUE(tip.IsLiveSource());
        ASSERT_NE(tip.GetSourceBitmap(), nullptr);
        ASSERT_TRUE(OpenClipboard(nullptr));
        onClipboard = static_cast<HBITMAP>(GetClipboardData(CF_BITMAP));
        CloseClipboard();
        EXPECT_NE(tip.GetSourceBitmap(), onClipboard) << "the tip must not share the handle";
        for (int k = 0; k < 5; ++k) {
            int x = k * 11, y = k * 9;
            EXPECT_EQ(BitmapPixel(tip.GetSourceBitmap(), x, y), ColourAt(x, y))
                << "pixel (" << x << "," << y << ")";
        }
    }
    // The tip is gone; the clipboard's bitmap is still whole.
    HBITMAP after = CopyClipboardBitmap();
    ASSERT_NE(after, nullptr);
    EXPECT_EQ(BitmapPixel(after, 33, 22), ColourAt(33, 22));
    DeleteObject(after);
    DeleteObject(original);
}

TEST(SnapTipEditTest, TakesTheClipboardBitmapWhenAnotherThreadHeldTheClipboardAMoment) {
    HBITMAP original = MakeBitmap(50, 40, true);
    ASSERT_TRUE(PutBitmapOnClipboard(original));
    DeleteObject(original);
    CSnapTipEdit tip;
    {
        ClipboardHolder holder([] { return true; });
        ASSERT_TRUE(holder.Held());
        tip.SetSourceWnd(CSnapTipEdit::GetDesktopSource(), FALSE);
    }
    ASSERT_NE(tip.GetSourceBitmap(), nullptr);
    EXPECT_EQ(BitmapPixel(tip.GetSourceBitmap(), 33, 22), ColourAt(33, 22));
}

TEST(SnapTipEditTest, WithoutABitmapOnTheClipboardTheSourceStaysEmpty) {
    ASSERT_TRUE(PutTextOnClipboard(L"文字"));
    CSnapTipEdit tip;
    tip.SetSourceWnd(CSnapTipEdit::GetDesktopSource(), FALSE);
    EXPECT_EQ(tip.GetSourceBitmap(), nullptr);
    EXPECT_FALSE(tip.IsLiveSource());
    // Painting from the empty picture must still work.
    HostedTip host;
    host.tip.SetSourceWnd(CSnapTipEdit::GetDesktopSource(), FALSE);
    TipPicture pic(host.tip, CPoint(100, 100));
    EXPECT_NE(pic.At(CPoint(215, 85)), CLR_INVALID);
}

TEST(SnapTipEditTest, MagnifiesTheClipboardPictureFromTheTopLeftCorner) {
    HBITMAP source = MakeBitmap(64, 48, true);
    ASSERT_TRUE(PutBitmapOnClipboard(source));
    HostedTip host;
    host.tip.SetSourceWnd(CSnapTipEdit::GetDesktopSource(), FALSE);
    // Cursor at (3, 4): the source area starts at the corner (0, 0).
    TipPicture pic(host.tip, CPoint(3, 4));
    const int cells[][2] = {{0, 0}, {1, 0}, {0, 1}, {10, 12}, {39, 29}, {25, 20}, {39, 0}};
    for (const auto& c : cells) {
        COLORREF got = pic.At(Magnified(c[0], c[1]));
        EXPECT_EQ(got, ColourAt(c[0], c[1]))
            << "source pixel (" << c[0] << "," << c[1] << ") shown as " << ColourText(got);
    }
    // The bars cross at (24, 109): the cursor pixel (3, 4) framed in black.
    CPoint cross = CSnapTipEdit::GetCrosshairPoint(CPoint(3, 4), CPoint(0, 0));
    ASSERT_EQ(cross, CPoint(24, 109));
    EXPECT_EQ(pic.At(cross), RGB(0, 0, 0));
    EXPECT_EQ(pic.At(CPoint(cross.x + 5, cross.y + 5)), RGB(0, 0, 0));
    EXPECT_EQ(pic.At(CPoint(cross.x + 5, cross.y)), RGB(0, 0, 0));
    // Half-transparent green over the magnified pixels of the vertical and horizontal bar.
    COLORREF under = ColourAt(3, 12);
    COLORREF blended =
        RGB((GetRValue(under) * 128) / 255, (GetGValue(under) * 128 + 255 * 127) / 255,
            (GetBValue(under) * 128) / 255);
    COLORREF bar = pic.At(CPoint(cross.x + 3, Magnified(3, 12).y));
    EXPECT_TRUE(Near(bar, blended, 3))
        << "vertical bar " << ColourText(bar) << ", expected about " << ColourText(blended);
    under = ColourAt(30, 4);
    blended = RGB((GetRValue(under) * 128) / 255, (GetGValue(under) * 128 + 255 * 127) / 255,
                  (GetBValue(under) * 128) / 255);
    bar = pic.At(CPoint(Magnified(30, 4).x, cross.y + 3));
    EXPECT_TRUE(Near(bar, blended, 3))
        << "horizontal bar " << ColourText(bar) << ", expected about " << ColourText(blended);
    // Left of the bar nothing is green-tinted.
    EXPECT_EQ(pic.At(Magnified(1, 12)), ColourAt(1, 12));
    DeleteObject(source);
}

TEST(SnapTipEditTest, NearTheBottomRightCornerTheSourceAreaReachesPastTheScreen) {
    int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    HBITMAP screen = MakeBitmap(w, h, false, CSize(21, 16));
    ASSERT_TRUE(PutBitmapOnClipboard(screen));
    HostedTip host;
    host.tip.SetSourceWnd(CSnapTipEdit::GetDesktopSource(), FALSE);
    TipPicture pic(host.tip, CPoint(w - 1, h - 1));
    // Origin (w - 21, h - 16): the red corner block fills the magnifier's first 21 x 16 cells.
    const int red[][2] = {{0, 0}, {2, 2}, {18, 2}, {2, 14}, {18, 14}};
    for (const auto& c : red)
        EXPECT_EQ(pic.At(Magnified(c[0], c[1])), RGB(255, 0, 0))
            << "cell (" << c[0] << "," << c[1] << ")";
    // Had the origin been pulled back to keep the area on the screen, the first cells would
    // show the blue part.
    EXPECT_EQ(CSnapTipEdit::GetCrosshairPoint(CPoint(w - 1, h - 1), CPoint(w - 21, h - 16)),
              CPoint(109, 164));
    DeleteObject(screen);
}

TEST(SnapTipEditTest, BackgroundIsTheLibrarysPicture) {
    HostedTip host;
    TipPicture pic(host.tip, CPoint(100, 100));
    EXPECT_EQ(pic.At(CPoint(100, 2)), RGB(86, 142, 214)) << "title strip";
    EXPECT_EQ(pic.At(CPoint(215, 85)), RGB(222, 236, 252)) << "panel";
    EXPECT_EQ(pic.At(CPoint(9, 240)), RGB(0, 0, 0)) << "frame round the magnifier";
    EXPECT_EQ(pic.At(CPoint(100, 250)), RGB(150, 188, 232)) << "bottom band";
}

TEST(SnapTipEditTest, ThreeLinesFitTheTextBandWhateverTheControlsFont) {
    HostedTip host;
    // A display scaled to 200 % gives the dialog font twice its pixels; 12 is its size at 100 %.
    for (int nPixels : {12, 24}) {
        HFONT hFont = ::CreateFontW(-nPixels, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0,
                                    0, L"SimSun");
        host.tip.SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(hFont), FALSE);
        // The third line shows when the picture with it differs from the one without it.
        auto draw = [&](const wchar_t* text) {
            host.tip.SetWindowText(text);
            TipPicture pic(host.tip, CPoint(100, 100));
            std::vector<COLORREF> band;
            for (int y = 30; y < 80; ++y)
                for (int x = 0; x < 220; ++x) band.push_back(pic.At(CPoint(x, y)));
            return band;
        };
        EXPECT_NE(draw(L"·一\r\n·二\r\n·三"), draw(L"·一\r\n·二\r\n")) << nPixels << " pixels";
        host.tip.SendMessage(WM_SETFONT, 0, FALSE);
        ::DeleteObject(hFont);
    }
}

TEST(SnapTipEditTest, MovesToTheOtherTopCornerWhenTheCursorComesNear) {
    HostedTip host;
    int w = GetSystemMetrics(SM_CXSCREEN);
    ASSERT_TRUE(host.tip.GetAtTopLeft());
    CPoint p = MoveCursor(50, 60);
    host.tip.SendMessage(WM_MOUSEMOVE, 0, 0);
    ASSERT_EQ(p, CPoint(50, 60)) << "the cursor did not move";
    EXPECT_EQ(host.PlaceInParent(), CRect(w - 230, 10, w - 10, 263));
    EXPECT_FALSE(host.tip.GetAtTopLeft());

    // Away from both zones nothing happens.
    MoveCursor(600, 500);
    host.tip.SendMessage(WM_MOUSEMOVE, 0, 0);
    EXPECT_EQ(host.PlaceInParent(), CRect(w - 230, 10, w - 10, 263));

    MoveCursor(w - 100, 200);
    host.tip.SendMessage(WM_MOUSEMOVE, 0, 0);
    EXPECT_EQ(host.PlaceInParent(), CRect(10, 10, 230, 263));
    EXPECT_TRUE(host.tip.GetAtTopLeft());
}

TEST(SnapObjectHelperTest, OpensBottomRightOnTopAndMagnifiesWhatIsUnderTheCursor) {
    ColourWindow pattern(CRect(200, 200, 400, 400), kQuadrants);
    int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
    CDlgSnapObjHelper dlg;
    EXPECT_EQ(dlg.m_nWidth, 220);
    EXPECT_EQ(dlg.m_nHeight, 216);
    EXPECT_FALSE(dlg.m_bAtTopLeft);
    EXPECT_TRUE(dlg.m_bActivateTop);

    CRect place, tipPlace, client, tipAfterHover;
    LONG_PTR exStyle = 0;
    CString text;
    CPoint cursor;
    HWND expectedFront = nullptr, front = nullptr;
    BOOL activateAfter = TRUE;
    COLORREF cells[4] = {};
    COLORREF frame = 0;
    TimerScript script;
    script.Add([&] {
        GetWindowRect(dlg.m_hWnd, &place);
        GetClientRect(dlg.m_hWnd, &client);
        GetWindowRect(dlg.m_editTip.m_hWnd, &tipPlace);
        exStyle = GetWindowLongPtrW(dlg.m_hWnd, GWL_EXSTYLE);
        CProgramWindowList list;
        list.Build();
        if (list.nCount > 0) expectedFront = list.entries[0].hWnd;

        cursor = MoveCursor(300, 300);
        dlg.SendMessage(WM_MOUSEMOVE, 0, 0);
        dlg.m_editTip.UpdateWindow();
        PumpFor(150);
        text = dlg.m_editTip.GetWindowText();
        front = GetForegroundWindow();
        activateAfter = dlg.m_bActivateTop;
        const int ij[4][2] = {{5, 5}, {35, 5}, {5, 25}, {35, 25}};
        for (int k = 0; k < 4; ++k) {
            CPoint m = Magnified(ij[k][0], ij[k][1]);
            cells[k] = ScreenPixel(tipPlace.left + m.x, tipPlace.top + m.y);
        }
        CPoint cross =
            CSnapTipEdit::GetCrosshairPoint(cursor, CPoint(cursor.x - 20, cursor.y - 15));
        frame = ScreenPixel(tipPlace.left + cross.x, tipPlace.top + cross.y);
        SaveScreenshot(L"object_pick_tip", CRect(sw - 300, sh - 300, sw, sh));
        // The cursor over the tip inside its own dialog does not send it out of the dialog.
        MoveCursor(place.left + 30, place.top + 30);
        dlg.m_editTip.SendMessage(WM_MOUSEMOVE, 0, 0);
        GetWindowRect(dlg.m_editTip.m_hWnd, &tipAfterHover);
        SaveScreenshot(L"object_pick_screen", CRect(0, 0, sw, sh));
        dlg.ShowWindow(SW_HIDE);
        dlg.EndDialog(1);
    });
    INT_PTR result = 0;
    {
        CFxResourceScope scope(LibraryModule());
        script.Run([&] { result = dlg.DoModal(); });
    }
    EXPECT_EQ(result, 1);
    EXPECT_EQ(place, CRect(sw - 230, sh - 263, sw - 10, sh - 10));
    EXPECT_EQ(dlg.m_nWidth, 220);
    EXPECT_EQ(dlg.m_nHeight, 253);
    EXPECT_TRUE(exStyle & WS_EX_TOPMOST);
    EXPECT_EQ(tipPlace, place) << "the tip fills the dialog";
    EXPECT_EQ(tipAfterHover, place) << "the tip left its dialog";
    EXPECT_EQ(client.Size(), CSize(220, 253));

    ASSERT_EQ(cursor, CPoint(300, 300));
    EXPECT_EQ(text, L"·坐标(X:300, Y:300)\r\n·左键点击截取图像\r\n·点击右键退出");
    EXPECT_FALSE(activateAfter) << "the first move clears the flag";
    EXPECT_EQ(front, expectedFront) << "the first move brings the top program window forward";
    EXPECT_TRUE(dlg.m_bActivateTop) << "set again when the window is destroyed";

    const char* names[4] = {"top-left", "top-right", "bottom-left", "bottom-right"};
    for (int k = 0; k < 4; ++k)
        EXPECT_EQ(cells[k], kQuadrants[k])
            << names[k] << " quadrant magnified as " << ColourText(cells[k]) << ", expected "
            << ColourText(kQuadrants[k]);
    EXPECT_EQ(frame, RGB(0, 0, 0)) << "frame round the cursor pixel";
}

TEST(SnapObjectHelperTest, RunsAgainFromTheSameObject) {
    // The engine keeps one helper and runs it for every pick.
    CDlgSnapObjHelper dlg;
    int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
    for (int run = 0; run < 2; ++run) {
        CRect place;
        BOOL activateAtStart = FALSE;
        CString text;
        TimerScript script;
        script.Add([&] {
            activateAtStart = dlg.m_bActivateTop;
            GetWindowRect(dlg.m_hWnd, &place);
            MoveCursor(640, 480);
            dlg.SendMessage(WM_MOUSEMOVE, 0, 0);
            text = dlg.m_editTip.GetWindowText();
            dlg.EndDialog(1);
        });
        INT_PTR result = 0;
        {
            CFxResourceScope scope(LibraryModule());
            script.Run([&] { result = dlg.DoModal(); });
        }
        EXPECT_EQ(result, 1) << "run " << run;
        EXPECT_EQ(place, CRect(sw - 230, sh - 263, sw - 10, sh - 10)) << "run " << run;
        EXPECT_TRUE(activateAtStart) << "run " << run;
        EXPECT_EQ(dlg.m_editTip.m_hWnd, nullptr) << "the tip is let go with its window";
        EXPECT_EQ(text.Find(L"·坐标(X:"), 0) << "run " << run << ": the tip was not attached";
    }
}
