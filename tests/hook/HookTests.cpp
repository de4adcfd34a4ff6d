// The mouse hook against synthetic input: what reaches the target window, and what the hook keeps
// from other windows.
#include <windows.h>

#include <gtest/gtest.h>

#include "tests/support/TestPump.h"

#include <vector>

#include "hook/FsHook.h"

namespace {
struct Seen {
    std::vector<UINT> messages;
    std::vector<POINT> points;
    std::vector<HWND> targets;
    int nPlainClicks = 0;  // WM_LBUTTONDOWN that reached the bystander window itself
};
Seen g_seen;

LRESULT CALLBACK TargetProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_ES_LBUTTONDOWN || msg == WM_ES_RBUTTONDOWN || msg == WM_ES_MOUSEMOVE) {
        g_seen.messages.push_back(msg);
        g_seen.targets.push_back(h);
        g_seen.points.push_back(
            POINT{static_cast<LONG>(static_cast<LONG_PTR>(wp)), static_cast<LONG>(lp)});
        return 0;
    }
    if (msg == WM_LBUTTONDOWN) ++g_seen.nPlainClicks;
    return ::DefWindowProcW(h, msg, wp, lp);
}

HWND MakeWindow(DWORD style, int x, int y, int cx, int cy) {
    static bool registered = false;
    if (!registered) {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = TargetProc;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.hbrBackground = static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH));
        wc.lpszClassName = L"PeltoHookTestTarget";
        ::RegisterClassW(&wc);
        registered = true;
    }
    return ::CreateWindowExW(0, L"PeltoHookTestTarget", L"hook test", style, x, y, cx, cy, nullptr,
                             nullptr, ::GetModuleHandleW(nullptr), nullptr);
}

void SendMouse(DWORD flags, int x = 0, int y = 0) {
    INPUT in = {};
    in.type = INPUT_MOUSE;
    if (flags & MOUSEEVENTF_MOVE) {
        int cx = ::GetSystemMetrics(SM_CXSCREEN), cy = ::GetSystemMetrics(SM_CYSCREEN);
        in.mi.dx = (x * 65535 + cx / 2) / (cx - 1);
        in.mi.dy = (y * 65535 + cy / 2) / (cy - 1);
        flags |= MOUSEEVENTF_ABSOLUTE;
    }
    in.mi.dwFlags = flags;
    // From another thread: the hook runs on this one, and input sent from the hooking thread
    // waits for the hook until the platform's timeout.
    HANDLE hThread = ::CreateThread(
        nullptr, 0,
        [](LPVOID p) -> DWORD {
            ::SendInput(1, static_cast<INPUT*>(p), sizeof(INPUT));
            return 0;
        },
        &in, 0, nullptr);
    while (::MsgWaitForMultipleObjects(1, &hThread, FALSE, 5000, QS_ALLINPUT) ==
           WAIT_OBJECT_0 + 1) {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);
    }
    ::CloseHandle(hThread);
}

int Count(UINT msg) {
    int n = 0;
    for (UINT m : g_seen.messages) n += (m == msg);
    return n;
}

class HookTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_seen = Seen();
        m_hTarget = MakeWindow(WS_POPUP, 0, 0, 1, 1);
        m_hBystander = MakeWindow(WS_POPUP | WS_VISIBLE, 400, 300, 200, 150);
        ::SetForegroundWindow(m_hBystander);
        PumpFor(100);
    }
    void TearDown() override {
        ::DestroyWindow(m_hBystander);
        ::DestroyWindow(m_hTarget);
    }
    HWND m_hTarget = nullptr;
    HWND m_hBystander = nullptr;
};
}  // namespace

TEST_F(HookTest, MovesAndPressesArriveAtTheTargetWithTheirPositions) {
    CFsHook hook;
    ASSERT_TRUE(hook.StartHook(m_hTarget));
    EXPECT_TRUE(hook.IsHooking());
    SendMouse(MOUSEEVENTF_MOVE, 450, 350);
    PumpFor(100);
    SendMouse(MOUSEEVENTF_LEFTDOWN);
    SendMouse(MOUSEEVENTF_LEFTUP);
    SendMouse(MOUSEEVENTF_RIGHTDOWN);
    SendMouse(MOUSEEVENTF_RIGHTUP);
    PumpFor(200);
    EXPECT_GE(Count(WM_ES_MOUSEMOVE), 1);
    EXPECT_EQ(Count(WM_ES_LBUTTONDOWN), 1);
    EXPECT_EQ(Count(WM_ES_RBUTTONDOWN), 1);
    for (size_t i = 0; i < g_seen.messages.size(); ++i) {
        if (g_seen.messages[i] != WM_ES_LBUTTONDOWN) continue;
        EXPECT_NEAR(g_seen.points[i].x, 450, 1);
        EXPECT_NEAR(g_seen.points[i].y, 350, 1);
    }
    // The press that ended a pick must not also click the window under it.
    EXPECT_EQ(g_seen.nPlainClicks, 0);
}

TEST_F(HookTest, NothingArrivesAfterStopAndClicksReachWindowsAgain) {
    {
        CFsHook hook;
        ASSERT_TRUE(hook.StartHook(m_hTarget));
        hook.StopHook();
        EXPECT_FALSE(hook.IsHooking());
        hook.StopHook();  // twice is harmless
    }
    SendMouse(MOUSEEVENTF_MOVE, 460, 360);
    PumpFor(50);
    SendMouse(MOUSEEVENTF_LEFTDOWN);
    SendMouse(MOUSEEVENTF_LEFTUP);
    PumpFor(200);
    EXPECT_EQ(g_seen.messages.size(), 0u);
    EXPECT_EQ(g_seen.nPlainClicks, 1);
}

TEST_F(HookTest, DestroyingTheObjectRemovesTheHook) {
    {
        CFsHook hook;
        ASSERT_TRUE(hook.StartHook(m_hTarget));
    }
    SendMouse(MOUSEEVENTF_MOVE, 470, 370);
    SendMouse(MOUSEEVENTF_LEFTDOWN);
    SendMouse(MOUSEEVENTF_LEFTUP);
    PumpFor(200);
    EXPECT_EQ(g_seen.messages.size(), 0u);
    // A new hook can start once the old one is gone.
    CFsHook again;
    EXPECT_TRUE(again.StartHook(m_hTarget));
}

TEST_F(HookTest, OnlyOneHookPerProcessAndBadTargetsAreRefused) {
    CFsHook first, second;
    EXPECT_FALSE(first.StartHook(nullptr));
    HWND hGone = MakeWindow(WS_POPUP, 0, 0, 1, 1);
    ::DestroyWindow(hGone);
    EXPECT_FALSE(first.StartHook(hGone));
    EXPECT_FALSE(first.IsHooking());
    ASSERT_TRUE(first.StartHook(m_hTarget));
    EXPECT_FALSE(second.StartHook(m_hTarget));
    EXPECT_FALSE(second.IsHooking());
    second.StopHook();  // must not remove the other object's hook
    EXPECT_TRUE(first.IsHooking());
    // Retargeting the running hook.
    HWND hOther = MakeWindow(WS_POPUP, 0, 0, 1, 1);
    EXPECT_TRUE(first.StartHook(hOther));
    SendMouse(MOUSEEVENTF_MOVE, 480, 380);
    PumpFor(150);
    size_t nOld = 0, nNew = 0;
    for (HWND h : g_seen.targets) (h == hOther ? nNew : nOld) += 1;
    EXPECT_EQ(nOld, 0u) << "messages still went to the old target";
    EXPECT_GE(nNew, 1u);
    first.StopHook();
    ::DestroyWindow(hOther);
}

TEST_F(HookTest, StopGivesUpWaitingForAReleaseThatNeverComes) {
    CFsHook hook;
    ASSERT_TRUE(hook.StartHook(m_hTarget));
    SendMouse(MOUSEEVENTF_MOVE, 450, 350);
    SendMouse(MOUSEEVENTF_LEFTDOWN);
    for (int i = 0; i < 1000 && Count(WM_ES_LBUTTONDOWN) == 0; ++i) PumpFor(10);
    ASSERT_EQ(Count(WM_ES_LBUTTONDOWN), 1);
    // The button stays down: the stop must not wait for it for good.
    hook.StopHook();
    EXPECT_FALSE(hook.IsHooking());
    SendMouse(MOUSEEVENTF_LEFTUP);
    SendMouse(MOUSEEVENTF_LEFTDOWN);
    SendMouse(MOUSEEVENTF_LEFTUP);
    for (int i = 0; i < 1000 && g_seen.nPlainClicks == 0; ++i) PumpFor(10);
    EXPECT_EQ(g_seen.nPlainClicks, 1) << "clicks no longer reach the windows";
    EXPECT_EQ(Count(WM_ES_LBUTTONDOWN), 1);
}
