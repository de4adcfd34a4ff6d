// The capture operations end to end: dialogs and the overlay driven from a second thread with
// synthetic input, as a user would, and the closing steps every capture shares.
#include <windows.h>

#include <gtest/gtest.h>

#include "lib/codec/GdiplusHeaders.h"

#include <atomic>
#include <functional>
#include <thread>

#include "lib/res/resource.h"
#include "tests/lib/core/CoreTestSupport.h"

namespace {
const COLORREF kTarget = RGB(30, 160, 90);
const COLORREF kUnder = RGB(200, 60, 200);

// Runs a driver on another thread while the test thread is inside a capture call.
class CDriver {
public:
    explicit CDriver(std::function<void()> fn) : m_thread(std::move(fn)) {}
    ~CDriver() {
        if (m_thread.joinable()) m_thread.join();
    }

private:
    std::thread m_thread;
};

// A visible dialog of this process that holds the control nCtrlId, waited for up to 20 s (or
// until *pbStop is set). Under Wine without a window manager every window that is hidden or
// destroyed first waits about 2 s for the manager, so a dialog that follows a few of them can
// take several seconds to show.
HWND WaitForDialog(int nCtrlId, const std::atomic<bool>* pbStop = nullptr) {
    struct Find {
        int id;
        HWND found;
    } find = {nCtrlId, nullptr};
    for (int i = 0; i < 2000 && !find.found && !(pbStop && *pbStop); ++i) {
        ::EnumWindows(
            [](HWND h, LPARAM lp) -> BOOL {
                Find* f = reinterpret_cast<Find*>(lp);
                DWORD pid = 0;
                ::GetWindowThreadProcessId(h, &pid);
                if (pid == ::GetCurrentProcessId() && ::IsWindowVisible(h) &&
                    ::GetDlgItem(h, f->id)) {
                    f->found = h;
                    return FALSE;
                }
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&find));
        if (!find.found) ::Sleep(10);
    }
    return find.found;
}

// Picks hWanted in the chooser (or cancels it when null).
void DriveChooser(HWND hWanted) {
    HWND hDlg = WaitForDialog(IDC_WND_LIST);
    if (!hDlg) return;
    ::Sleep(100);
    if (!hWanted) {
        ::PostMessageW(hDlg, WM_COMMAND, IDCANCEL, 0);
        return;
    }
    HWND hList = ::GetDlgItem(hDlg, IDC_WND_LIST);
    LRESULT n = ::SendMessageW(hList, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < n; ++i)
        if (reinterpret_cast<HWND>(::SendMessageW(hList, LB_GETITEMDATA, i, 0)) == hWanted)
            ::SendMessageW(hList, LB_SETCURSEL, i, 0);
    ::PostMessageW(hDlg, WM_COMMAND, IDOK, 0);
}

void Mouse(DWORD flags, int x = 0, int y = 0) {
    INPUT in = {};
    in.type = INPUT_MOUSE;
    if (flags & MOUSEEVENTF_MOVE) {
        CSize s = ScreenSize();
        in.mi.dx = (x * 65535 + s.cx / 2) / (s.cx - 1);
        in.mi.dy = (y * 65535 + s.cy / 2) / (s.cy - 1);
        flags |= MOUSEEVENTF_ABSOLUTE;
        ::SetCursorPos(x, y);
    }
    in.mi.dwFlags = flags;
    ::SendInput(1, &in, sizeof in);
}

// Waits up to 20 s for the condition, polling; false when it never held.
bool WaitUntil(const std::function<bool()>& condition) {
    for (int i = 0; i < 1000; ++i) {
        if (condition()) return true;
        ::Sleep(20);
    }
    return condition();
}

// Keeps the cursor at (x, y), where the pick's timer reads it, until the pick has framed the
// window there: the pixel (xFrame, yFrame) on the frame's line no longer has the window's colour.
bool HoldCursorUntilFramed(int x, int y, int xFrame, int yFrame, COLORREF clrWindow) {
    return WaitUntil([&] {
        Mouse(MOUSEEVENTF_MOVE, x, y);
        return ScreenPixel(xFrame, yFrame) != clrWindow;
    });
}

// A window on a thread of its own, standing for another program's window under the cursor: it
// counts the button messages it gets and notes where the mouse last moved over it.
class CBystander {
public:
    explicit CBystander(const RECT& rc) : m_rc(rc) {
        m_thread = std::thread([this] { Run(); });
        WaitUntil([this] { return m_hWnd.load() != nullptr; });
    }
    ~CBystander() {
        if (HWND h = m_hWnd.load()) ::PostMessageW(h, WM_CLOSE, 0, 0);
        m_thread.join();
    }
    CBystander(const CBystander&) = delete;
    CBystander& operator=(const CBystander&) = delete;

    std::atomic<int> m_nDowns{0}, m_nUps{0}, m_nContextMenus{0};
    std::atomic<LPARAM> m_lLastMove{-1};  // client position of the last WM_MOUSEMOVE

private:
    static LRESULT CALLBACK Proc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
        auto* self = reinterpret_cast<CBystander*>(::GetWindowLongPtrW(h, GWLP_USERDATA));
        switch (msg) {
            case WM_NCCREATE:
                ::SetWindowLongPtrW(h, GWLP_USERDATA,
                                    reinterpret_cast<LONG_PTR>(
                                        reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams));
                break;
            case WM_LBUTTONDOWN:
            case WM_RBUTTONDOWN:
                ++self->m_nDowns;
                break;
            case WM_LBUTTONUP:
            case WM_RBUTTONUP:
                ++self->m_nUps;
                break;
            case WM_CONTEXTMENU:
                ++self->m_nContextMenus;
                return 0;
            case WM_MOUSEMOVE:
                self->m_lLastMove = lp;
                break;
            case WM_DESTROY:
                ::PostQuitMessage(0);
                break;
            default:
                break;
        }
        return ::DefWindowProcW(h, msg, wp, lp);
    }
    void Run() {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = Proc;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.hbrBackground = static_cast<HBRUSH>(::GetStockObject(GRAY_BRUSH));
        wc.lpszClassName = L"PeltoTestBystander";
        ::RegisterClassW(&wc);
        HWND h =
            ::CreateWindowExW(WS_EX_TOPMOST, wc.lpszClassName, L"bystander", WS_POPUP | WS_VISIBLE,
                              m_rc.left, m_rc.top, m_rc.right - m_rc.left, m_rc.bottom - m_rc.top,
                              nullptr, nullptr, wc.hInstance, this);
        m_hWnd = h;
        MSG msg;
        while (h && ::GetMessageW(&msg, nullptr, 0, 0) > 0) ::DispatchMessageW(&msg);
    }

    RECT m_rc;
    std::atomic<HWND> m_hWnd{nullptr};
    std::thread m_thread;
};

CPeltoConfig Config(BOOL bHide = FALSE, BOOL bAutoCopy = FALSE, UINT nDelay = 0) {
    CPeltoConfig c = QuietConfig();
    c.SetHideMainWnd(bHide);
    c.SetAutoCopy(bAutoCopy);
    c.SetSnapDelayTime(nDelay);
    return c;
}

CPixels Original(CTestCore& core) { return ReadPixels(core.m_bmpOriginal.GetSafeHandle()); }

void ExpectIdle(CTestCore& core) {
    EXPECT_FALSE(core.m_bSnapping);
    EXPECT_FALSE(core.m_bFinding);
    EXPECT_EQ(core.m_hFoundWnd, nullptr);
    EXPECT_FALSE(core.m_hook.IsHooking());
    EXPECT_NE(::GetCapture(), core.GetSafeHwnd());
    EXPECT_FALSE(core.KillTimer(IDT_FINDWINDOW)) << "the pick's timer still runs";
    EXPECT_EQ(core.m_dlgSnapObj.GetSafeHwnd(), nullptr) << "the tip dialog is still there";
}
}  // namespace

TEST(CaptureModes, FullScreenHidesTheMainWindowAndRunsTheEpilogue) {
    CEngineHost host(Config(TRUE, TRUE, 300));
    CTestCore& core = host.m_core;
    // A watcher on another thread notes whether the main window was hidden during the capture.
    std::atomic<bool> bDone{false}, bSawHidden{false};
    HWND hMain = host.m_wndMain.m_hWnd;
    CDriver watcher([&] {
        while (!bDone) {
            if (!::IsWindowVisible(hMain)) bSawHidden = true;
            ::Sleep(10);
        }
    });
    struct Stop {
        std::atomic<bool>& b;
        ~Stop() { b = true; }
    } stop{bDone};
    core.SetPathName(L"C:\\a.png");
    core.SetFileName(L"a.png");
    core.m_config.SetSnapMode(SNAPMODE_SELECTRECT);
    ASSERT_EQ(core.SnapFullScreen(), 1);
    CSize screen = ScreenSize();
    CPixels shot = Original(core);
    ASSERT_EQ(shot.cx, screen.cx);
    ASSERT_EQ(shot.cy, screen.cy);
    EXPECT_TRUE(bSawHidden) << "the main window stayed visible";
    EXPECT_TRUE(host.m_wndMain.IsWindowVisible());
    EXPECT_EQ(core.m_config.GetSnapMode(), SNAPMODE_FULLSCREEN);
    EXPECT_TRUE(core.GetPathName().IsEmpty());
    EXPECT_TRUE(core.GetFileName().IsEmpty());
    EXPECT_FALSE(core.m_bSnapping);
    std::string out;
    ASSERT_EQ(RunClipboardHelper(L"get", &out), 0) << "nothing was copied";
    EXPECT_EQ(out.substr(0, out.find(' ', out.find(' ') + 1)),
              std::to_string(screen.cx) + " " + std::to_string(screen.cy));
}

TEST(CaptureModes, BusyEngineRefusesEveryModeAtOnce) {
    CEngineHost host(Config(TRUE, FALSE, 800));
    CTestCore& core = host.m_core;
    core.m_config.SetSnapMode(SNAPMODE_WINCLIENT);
    core.m_bSnapping = TRUE;
    EXPECT_EQ(core.SnapFullScreen(), 0);
    EXPECT_EQ(core.SnapActiveWin(), 0);
    EXPECT_EQ(core.SnapCurrentWin(), 0);
    EXPECT_EQ(core.SnapWinClient(), 0);
    EXPECT_EQ(core.SnapWinObj(), 0);
    EXPECT_TRUE(core.m_waits.empty()) << "a refused capture waited";
    EXPECT_TRUE(host.m_wndMain.IsWindowVisible());
    EXPECT_EQ(core.m_config.GetSnapMode(), SNAPMODE_WINCLIENT);
    EXPECT_EQ(core.GetImage(), nullptr);
    EXPECT_TRUE(core.m_bSnapping);
    core.m_bSnapping = FALSE;
}

TEST(CaptureModes, SnapOnStartWaitsBrieflyAndKeepsTheRecordedMode) {
    CPeltoConfig c = Config(FALSE, FALSE, 2000);
    c.SetSnapOnStart(TRUE);
    c.SetPlaySnapSound(TRUE);
    c.SetSnapMode(SNAPMODE_WINCLIENT);
    CEngineHost host(c, FALSE);
    CTestCore& core = host.m_core;
    EXPECT_TRUE(core.m_bStarting);
    EXPECT_EQ(core.InitSnapper(&host.m_wndMain, &host.m_wndView), 1);
    EXPECT_EQ(core.m_waits, std::vector<DWORD>{50}) << "the start-up capture waits 50 ms, not the "
                                                       "delay time";
    EXPECT_NE(core.GetImage(), nullptr);
    EXPECT_EQ(core.m_config.GetSnapMode(), SNAPMODE_WINCLIENT);
    EXPECT_FALSE(core.m_bStarting);
    EXPECT_TRUE(core.IsWindow());
}

TEST(CaptureModes, InitWithoutWindowsLoadsSettingsButMakesNoWindow) {
    CPeltoConfig c = Config(FALSE, FALSE, 1234);
    CEngineHost host(c, FALSE);
    CTestCore& core = host.m_core;
    EXPECT_EQ(core.InitSnapper(nullptr, &host.m_wndView), 0);
    EXPECT_EQ(core.m_config.GetSnapDelayTime(), 1234u);
    EXPECT_FALSE(core.IsWindow());
    EXPECT_TRUE(core.m_bStarting);
    // No window: the pick cannot run and says so without leaving the engine busy.
    EXPECT_EQ(core.SnapWinObj(), 0);
    EXPECT_FALSE(core.m_bSnapping);
}

TEST(CaptureModes, PickThatCannotHookTheMouseChangesNothing) {
    CEngineHost host(Config(TRUE, TRUE));
    CTestCore& core = host.m_core;
    ASSERT_EQ(core.SnapFullScreen(), 1);
    CTempFolder folder;
    const std::wstring path = folder.File(L"kept.png");
    ASSERT_EQ(core.SaveImage(path.c_str(), 0), 1);
    ASSERT_TRUE(::OpenClipboard(nullptr));
    ::EmptyClipboard();
    ::CloseClipboard();
    // Another part of the process holds the mouse hook.
    CFsHook other;
    ASSERT_TRUE(other.StartHook(host.m_wndView.m_hWnd));
    EXPECT_EQ(core.SnapWinObj(), 0);
    other.StopHook();
    EXPECT_TRUE(host.m_wndMain.IsWindowVisible());
    EXPECT_EQ(std::wstring(core.GetPathName().GetString()), path);
    EXPECT_FALSE(::IsClipboardFormatAvailable(CF_BITMAP)) << "nothing new was captured to copy";
    ExpectIdle(core);
}

TEST(CaptureModes, CurrentWindowIsTheTopProgramWindow) {
    CEngineHost host(Config());
    CTestCore& core = host.m_core;
    CColorWindow target(CRect(120, 140, 320, 260), kTarget);
    ::SetForegroundWindow(target.m_hWnd);
    PumpFor(50);
    ASSERT_EQ(core.SnapCurrentWin(), 1);
    CPixels shot = Original(core);
    EXPECT_EQ(shot.cx, 200);
    EXPECT_EQ(shot.cy, 120);
    EXPECT_EQ(Hex(shot.At(100, 60)), Hex(kTarget));
    EXPECT_EQ(core.m_config.GetSnapMode(), SNAPMODE_CURRENTWIN);

    // With the main window on top and not hidden, it is the one taken.
    ::SetWindowPos(host.m_wndMain.m_hWnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    PumpFor(50);
    ASSERT_EQ(core.SnapCurrentWin(), 1);
    CRect rcMain;
    host.m_wndMain.GetWindowRect(&rcMain);
    EXPECT_EQ(Original(core).cx, rcMain.Width());
    EXPECT_EQ(Original(core).cy, rcMain.Height());
}

TEST(CaptureModes, WindowIsTakenFromWhereItIsVisibleAndThatPlaceIsKept) {
    // Green up to the window's own x = 100, magenta beyond.
    struct Case {
        const char* pszName;
        CRect rcWindow;
        CRect rcVisible;
    } cases[] = {
        {"maximised-like, past the left and top edges", CRect(-60, -30, 140, 120),
         CRect(0, 0, 140, 120)},
        {"wholly on the screen", CRect(120, 140, 320, 260), CRect(120, 140, 320, 260)},
    };
    CEngineHost host(Config());
    CTestCore& core = host.m_core;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pszName);
        CColorWindow target(c.rcWindow, kTarget, kUnder, 100);
        ::SetForegroundWindow(target.m_hWnd);
        PumpFor(50);
        ASSERT_EQ(core.SnapCurrentWin(), 1);
        EXPECT_EQ(core.GetSnapOrigin(), c.rcVisible.TopLeft());
        CPixels shot = Original(core);
        ASSERT_EQ(shot.cx, c.rcVisible.Width());
        ASSERT_EQ(shot.cy, c.rcVisible.Height());
        int xSplit = c.rcWindow.left + 100 - c.rcVisible.left;
        EXPECT_EQ(Hex(shot.At(xSplit - 1, shot.cy / 2)), Hex(kTarget));
        EXPECT_EQ(Hex(shot.At(xSplit, shot.cy / 2)), Hex(kUnder));
    }
}

TEST(CaptureModes, ActiveWindowFromTheChooserAndCancelledChooser) {
    CEngineHost host(Config(FALSE, TRUE));
    CTestCore& core = host.m_core;
    CColorWindow target(CRect(150, 100, 330, 230), kTarget);
    CColorWindow other(CRect(400, 100, 450, 150), kUnder);
    {
        CDriver driver([&] { DriveChooser(target.m_hWnd); });
        ASSERT_EQ(core.SnapActiveWin(), 1);
    }
    CPixels shot = Original(core);
    EXPECT_EQ(shot.cx, 180);
    EXPECT_EQ(shot.cy, 130);
    EXPECT_EQ(Hex(shot.At(90, 65)), Hex(kTarget));
    EXPECT_EQ(core.m_config.GetSnapMode(), SNAPMODE_ACTIVEWIN);

    // Cancelled: nothing taken, the names still cleared and the previous picture copied.
    ASSERT_EQ(RunClipboardHelper(L"text"), 0);
    core.SetPathName(L"C:\\b.png");
    {
        CDriver driver([] { DriveChooser(nullptr); });
        EXPECT_EQ(core.SnapActiveWin(), 0);
    }
    EXPECT_EQ(Original(core).cx, 180);
    EXPECT_TRUE(core.GetPathName().IsEmpty());
    EXPECT_FALSE(core.m_bSnapping);
    std::string out;
    ASSERT_EQ(RunClipboardHelper(L"get", &out), 0);
    EXPECT_EQ(out.substr(0, 7), "180 130");
}

TEST(CaptureModes, ClientAreaOfTheChosenWindow) {
    CEngineHost host(Config());
    CTestCore& core = host.m_core;
    CColorWindow target(CRect(200, 150, 460, 350), kTarget, CLR_INVALID, 1 << 30,
                        WS_OVERLAPPEDWINDOW, 0, L"Pelto client test");
    RECT rcClient;
    ::GetClientRect(target.m_hWnd, &rcClient);
    {
        CDriver driver([&] { DriveChooser(target.m_hWnd); });
        ASSERT_EQ(core.SnapWinClient(), 1);
    }
    CPixels shot = Original(core);
    EXPECT_EQ(shot.cx, rcClient.right);
    EXPECT_EQ(shot.cy, rcClient.bottom);
    EXPECT_EQ(Hex(shot.At(0, 0)), Hex(kTarget));
    EXPECT_EQ(Hex(shot.At(shot.cx - 1, shot.cy - 1)), Hex(kTarget));
    EXPECT_EQ(core.m_config.GetSnapMode(), SNAPMODE_WINCLIENT);
}

TEST(CaptureModes, ObjectPickCapturesTheHighlightedWindowOnClick) {
    CEngineHost host(Config(FALSE, FALSE, 0));
    CTestCore& core = host.m_core;
    CColorWindow target(CRect(100, 100, 260, 220), kTarget);
    std::atomic<bool> bFramed{false};
    {
        CDriver driver([&] {
            bFramed = HoldCursorUntilFramed(180, 160, 101, 101, kTarget);
            Mouse(MOUSEEVENTF_LEFTDOWN);
            Mouse(MOUSEEVENTF_LEFTUP);
        });
        EXPECT_EQ(core.SnapWinObj(), 1);
    }
    EXPECT_TRUE(bFramed) << "the target was never framed";
    CPixels shot = Original(core);
    EXPECT_EQ(shot.cx, 160);
    EXPECT_EQ(shot.cy, 120);
    // The frame was taken away before the capture.
    EXPECT_EQ(Hex(shot.At(1, 1)), Hex(kTarget));
    EXPECT_EQ(Hex(shot.At(80, 60)), Hex(kTarget));
    EXPECT_EQ(core.m_config.GetSnapMode(), SNAPMODE_WINOBJ);
    ExpectIdle(core);
}

TEST(CaptureModes, ObjectPickEndedEarlyOrByRightClickCapturesNothing) {
    CEngineHost host(Config(TRUE));
    CTestCore& core = host.m_core;
    CColorWindow target(CRect(100, 100, 260, 220), kTarget);
    // A click before the first timer tick: no window highlighted yet.
    {
        CDriver driver([] {
            // The pick starts with its tip window; hiding the main window may take a while.
            WaitForDialog(IDC_SNAP_OBJ_TIP);
            Mouse(MOUSEEVENTF_MOVE, 180, 160);
            Mouse(MOUSEEVENTF_LEFTDOWN);
            Mouse(MOUSEEVENTF_LEFTUP);
        });
        EXPECT_EQ(core.SnapWinObj(), 1);
    }
    EXPECT_EQ(core.GetImage(), nullptr);
    ExpectIdle(core);
    EXPECT_TRUE(host.m_wndMain.IsWindowVisible());
    // A right click after the window was highlighted.
    std::atomic<bool> bFramed{false};
    {
        CDriver driver([&] {
            WaitForDialog(IDC_SNAP_OBJ_TIP);
            bFramed = HoldCursorUntilFramed(180, 160, 101, 101, kTarget);
            Mouse(MOUSEEVENTF_RIGHTDOWN);
            Mouse(MOUSEEVENTF_RIGHTUP);
        });
        EXPECT_EQ(core.SnapWinObj(), 1);
    }
    EXPECT_TRUE(bFramed) << "the target was never framed";
    EXPECT_EQ(core.GetImage(), nullptr);
    ExpectIdle(core);
    EXPECT_TRUE(host.m_wndMain.IsWindowVisible());
    PumpFor(100);
    EXPECT_EQ(Hex(ScreenPixel(101, 101)), Hex(kTarget)) << "the frame was left on the window";
}

TEST(CaptureModes, HighlightFrameIsUndoneByDrawingItAgain) {
    CEngineHost host(Config());
    CTestCore& core = host.m_core;
    const COLORREF kGrey = RGB(128, 100, 70);
    CColorWindow target(CRect(300, 100, 400, 180), kGrey);
    ASSERT_EQ(Hex(ScreenPixel(301, 101)), Hex(kGrey)) << "the window is not on the screen";
    core.HighlightFoundWindow(target.m_hWnd);
    // Wine draws into the window's own surface and hands it to the display when the thread next
    // waits for messages: the screen is read after that, as a user would see it.
    PumpFor(100);
    // Not-XOR of the red pen and the window's colour, on the frame's 4 pixels inside the edge.
    COLORREF expected = RGB(~(255 ^ 128) & 0xFF, ~(0 ^ 100) & 0xFF, ~(0 ^ 70) & 0xFF);
    EXPECT_EQ(Hex(ScreenPixel(300, 100)), Hex(expected)) << "top-left corner";
    EXPECT_EQ(Hex(ScreenPixel(301, 140)), Hex(expected)) << "left edge";
    EXPECT_EQ(Hex(ScreenPixel(399, 179)), Hex(expected)) << "bottom-right corner";
    EXPECT_EQ(Hex(ScreenPixel(350, 140)), Hex(kGrey)) << "the frame reached the inside";
    EXPECT_EQ(Hex(ScreenPixel(310, 110)), Hex(kGrey)) << "the frame is wider than its pen";
    core.HighlightFoundWindow(target.m_hWnd);
    PumpFor(100);
    EXPECT_EQ(Hex(ScreenPixel(300, 100)), Hex(kGrey)) << "the second drawing left the frame";
    EXPECT_EQ(Hex(ScreenPixel(301, 140)), Hex(kGrey)) << "the second drawing left the frame";
    EXPECT_EQ(Hex(ScreenPixel(399, 179)), Hex(kGrey)) << "the second drawing left the frame";
}

TEST(CaptureModes, RegionDraggedOnTheOverlay) {
    CEngineHost host(Config());
    CTestCore& core = host.m_core;
    const COLORREF kAbove = RGB(240, 200, 20);
    CColorWindow above(CRect(100, 60, 300, 120), kAbove);
    CColorWindow target(CRect(100, 120, 300, 250), kTarget, kUnder, 100);
    core.m_bSnapping = FALSE;
    {
        CDriver driver([] {
            if (!WaitForDialog(IDC_SNAP_RECT_TIP)) return;
            ::Sleep(300);
            Mouse(MOUSEEVENTF_MOVE, 150, 120);
            ::Sleep(50);
            Mouse(MOUSEEVENTF_LEFTDOWN);
            for (int i = 1; i <= 5; ++i) {
                Mouse(MOUSEEVENTF_MOVE, 150 + 20 * i, 120 + 16 * i);
                ::Sleep(40);
            }
            Mouse(MOUSEEVENTF_LEFTUP);
        });
        EXPECT_EQ(core.SnapSelectRect(), 1);
    }
    // The band ran from (150, 120) to (250, 200). The overlay hands over the tracker's true
    // rectangle, which takes in the band's 1-pixel solid frame on every side: the capture is
    // (149, 119)-(251, 201) of the live screen.
    CPixels shot = Original(core);
    ASSERT_EQ(shot.cx, 102);
    ASSERT_EQ(shot.cy, 82);
    // Screen column 199 is the last of the left colour, 200 the first of the right one.
    EXPECT_EQ(Hex(shot.At(50, 40)), Hex(kTarget)) << "the capture does not start at x = 149";
    EXPECT_EQ(Hex(shot.At(51, 40)), Hex(kUnder)) << "the capture does not start at x = 149";
    // Screen row 119 is the last of the window above, 120 the first of the target.
    EXPECT_EQ(Hex(shot.At(30, 0)), Hex(kAbove)) << "the capture does not start at y = 119";
    EXPECT_EQ(Hex(shot.At(30, 1)), Hex(kTarget)) << "the capture does not start at y = 119";
    EXPECT_EQ(Hex(shot.At(101, 81)), Hex(kUnder));
    EXPECT_EQ(core.m_config.GetSnapMode(), SNAPMODE_SELECTRECT);
    EXPECT_FALSE(core.m_bSnapping);
}

TEST(CaptureModes, RegionCaptureStartedDuringThePickEndsThePick) {
    CEngineHost host(Config());
    CTestCore& core = host.m_core;
    CColorWindow target(CRect(100, 100, 300, 250), kTarget);
    static CTestCore* s_pCore = &core;
    static int s_nRegionResult = -1;
    s_nRegionResult = -1;
    // The region hot key arrives inside the pick's loop.
    UINT_PTR idTimer = ::SetTimer(nullptr, 0, 400, [](HWND, UINT, UINT_PTR id, DWORD) {
        ::KillTimer(nullptr, id);
        s_nRegionResult = s_pCore->SnapSelectRect();
    });
    std::atomic<bool> bOverlaySeen{false};
    {
        CDriver driver([&] {
            HWND hOverlay = WaitForDialog(IDC_SNAP_RECT_TIP);
            bOverlaySeen = hOverlay != nullptr;
            if (hOverlay) ::PostMessageW(hOverlay, WM_COMMAND, IDCANCEL, 0);
        });
        EXPECT_EQ(core.SnapWinObj(), 1);
    }
    ::KillTimer(nullptr, idTimer);
    EXPECT_TRUE(bOverlaySeen) << "the region overlay never showed";
    EXPECT_EQ(s_nRegionResult, 0);
    ExpectIdle(core);
    EXPECT_EQ(core.m_config.GetSnapMode(), SNAPMODE_SELECTRECT);
}

TEST(CaptureModes, RegionCaptureRunsBesideABusyEngineAndLeavesItBusy) {
    CEngineHost host(Config(TRUE));
    CTestCore& core = host.m_core;
    core.m_bSnapping = TRUE;
    core.SetPathName(L"C:\\c.png");
    {
        CDriver driver([] {
            if (HWND hOverlay = WaitForDialog(IDC_SNAP_RECT_TIP))
                ::PostMessageW(hOverlay, WM_COMMAND, IDCANCEL, 0);
        });
        EXPECT_EQ(core.SnapSelectRect(), 0);
    }
    EXPECT_EQ(core.m_config.GetSnapMode(), SNAPMODE_SELECTRECT) << "the overlay never ran";
    // Cancelled, yet the epilogue ran; the flag belongs to the capture that set it.
    EXPECT_TRUE(host.m_wndMain.IsWindowVisible());
    EXPECT_TRUE(core.GetPathName().IsEmpty());
    EXPECT_TRUE(core.m_bSnapping);
    core.m_bSnapping = FALSE;
}

TEST(CaptureModes, ObjectPickLeavesNoUnpairedReleaseOnTheWindowUnderTheCursor) {
    CEngineHost host(Config());
    CTestCore& core = host.m_core;
    const CRect rcBystander(760, 100, 960, 260);
    CBystander bystander(rcBystander);
    struct Case {
        const char* pszName;
        DWORD dwDown, dwUp;
    } cases[] = {{"left click", MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP},
                 {"right click", MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP}};
    int nMarker = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pszName);
        {
            CDriver driver([&] {
                WaitForDialog(IDC_SNAP_OBJ_TIP);
                Mouse(MOUSEEVENTF_MOVE, 860, 180);
                Mouse(c.dwDown);
                // The user lets go a moment after the press that ended the pick.
                ::Sleep(200);
                Mouse(c.dwUp);
            });
            EXPECT_EQ(core.SnapWinObj(), 1);
        }
        ExpectIdle(core);
        // A move sent after the release: once the bystander has seen it, it has had the release
        // too, had the release come its way.
        ++nMarker;
        const POINT ptMarker = {rcBystander.left + 20 + nMarker, rcBystander.top + 30};
        const LPARAM lMarker =
            MAKELPARAM(ptMarker.x - rcBystander.left, ptMarker.y - rcBystander.top);
        bool bSeen = false;
        for (int i = 0; i < 1000 && !bSeen; ++i) {
            Mouse(MOUSEEVENTF_MOVE, ptMarker.x, ptMarker.y);
            PumpFor(20);
            bSeen = bystander.m_lLastMove == lMarker;
        }
        ASSERT_TRUE(bSeen) << "the bystander never saw the mouse move over it";
        EXPECT_EQ(bystander.m_nDowns, 0) << "the press that ended the pick reached the window";
        EXPECT_EQ(bystander.m_nUps, 0) << "the release of that press reached the window";
        EXPECT_EQ(bystander.m_nContextMenus, 0) << "the window was asked for its context menu";
    }
}

TEST(CaptureModes, ObjectPickIsRefusedWhenTheHookCannotStart) {
    CEngineHost host(Config(TRUE));
    CTestCore& core = host.m_core;
    // The one mouse hook a process can have is taken.
    CFsHook other;
    ASSERT_TRUE(other.StartHook(host.m_wndView.m_hWnd));
    std::atomic<bool> bReturned{false}, bTipShown{false};
    int nResult = -1;
    {
        // Should the pick run after all, its tip is closed, so that the test fails instead of
        // hanging.
        CDriver driver([&] {
            if (HWND hTip = WaitForDialog(IDC_SNAP_OBJ_TIP, &bReturned)) {
                bTipShown = true;
                ::PostMessageW(hTip, WM_COMMAND, IDCANCEL, 0);
            }
        });
        nResult = core.SnapWinObj();
        bReturned = true;
    }
    EXPECT_EQ(nResult, 0);
    EXPECT_FALSE(bTipShown) << "a pick ran that no click could end";
    ExpectIdle(core);
    EXPECT_TRUE(host.m_wndMain.IsWindowVisible());
    EXPECT_TRUE(other.IsHooking());
}

TEST(CaptureModes, ObjectPickEndsOnAClickTheHookMissed) {
    CEngineHost host(Config());
    CTestCore& core = host.m_core;
    CColorWindow target(CRect(100, 100, 260, 220), kTarget);
    // The platform drops a hook that answers too slowly, and says nothing: here it goes as soon
    // as the pick's loop runs.
    static CTestCore* s_pCore = &core;
    static std::atomic<bool> s_bHookGone{false};
    s_pCore = &core;
    s_bHookGone = false;
    UINT_PTR idTimer = ::SetTimer(nullptr, 0, 10, [](HWND, UINT, UINT_PTR id, DWORD) {
        ::KillTimer(nullptr, id);
        s_pCore->m_hook.StopHook();
        s_bHookGone = true;
    });
    std::atomic<bool> bFramed{false}, bEnded{false};
    {
        CDriver driver([&] {
            HWND hTip = WaitForDialog(IDC_SNAP_OBJ_TIP);
            WaitUntil([] { return s_bHookGone.load(); });
            bFramed = HoldCursorUntilFramed(180, 160, 101, 101, kTarget);
            // Held until the pick notices it.
            Mouse(MOUSEEVENTF_LEFTDOWN);
            bEnded = WaitUntil([&] { return !::IsWindow(hTip) || !::IsWindowVisible(hTip); });
            if (!bEnded && hTip) ::PostMessageW(hTip, WM_COMMAND, IDCANCEL, 0);
            Mouse(MOUSEEVENTF_LEFTUP);
        });
        EXPECT_EQ(core.SnapWinObj(), 1);
    }
    ::KillTimer(nullptr, idTimer);
    EXPECT_TRUE(s_bHookGone);
    EXPECT_TRUE(bFramed) << "the target was never framed";
    EXPECT_TRUE(bEnded) << "the held button did not end the pick";
    CPixels shot = Original(core);
    EXPECT_EQ(shot.cx, 160);
    EXPECT_EQ(shot.cy, 120);
    ExpectIdle(core);
}
