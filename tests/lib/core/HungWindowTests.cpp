// A program that hangs must not hang a capture of its window: each call the engine makes on such
// a window during a capture or a pick returns, the picture is what the screen shows, and the
// window is as it was once its program wakes up.
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <memory>
#include <string>

#include "lib/image/WindowResponse.h"
#include "tests/lib/core/CoreTestSupport.h"

namespace {

const COLORREF kHungColour = RGB(200, 120, 30);

// A window on a thread of its own that stops looking at its messages once the window is shown
// and painted, until it is released.
class CHungWindow {
public:
    explicit CHungWindow(const RECT& rc) : m_rc(rc) {
        m_hReady = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
        m_hRelease = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
        m_hFinish = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
        m_hThread = ::CreateThread(nullptr, 0, &CHungWindow::Run, this, 0, nullptr);
        ::WaitForSingleObject(m_hReady, 30000);
    }
    ~CHungWindow() {
        Release();
        ::SetEvent(m_hFinish);
        ::WaitForSingleObject(m_hThread, 30000);
        for (HANDLE h : {m_hThread, m_hFinish, m_hRelease, m_hReady}) ::CloseHandle(h);
    }
    void Release() { ::SetEvent(m_hRelease); }
    HWND m_hWnd = nullptr;

private:
    static DWORD WINAPI Run(LPVOID pParam) {
        auto* self = static_cast<CHungWindow*>(pParam);
        {
            CColorWindow wnd(self->m_rc, kHungColour);
            ::SetForegroundWindow(wnd.m_hWnd);
            PumpFor(100);
            self->m_hWnd = wnd.m_hWnd;
            ::SetEvent(self->m_hReady);
            ::WaitForSingleObject(self->m_hRelease, INFINITE);
            // Awake again: what others queued for the window while it hung is handled now, and
            // the window stays until the test has looked at it.
            while (::WaitForSingleObject(self->m_hFinish, 0) != WAIT_OBJECT_0) PumpFor(20);
        }
        return 0;
    }
    CRect m_rc;
    HANDLE m_hReady = nullptr, m_hRelease = nullptr, m_hFinish = nullptr, m_hThread = nullptr;
};

bool IsTopmost(HWND h) { return (::GetWindowLongPtrW(h, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }

}  // namespace

TEST(HungWindow, CapturesAndPickCallsReturnAndLeaveTheWindowIntact) {
    const CRect rcHung(160, 120, 460, 320);
    // A generous bound: each call may wait about a second for the window to answer, and an
    // engine host takes a few seconds to make and close under a display without a window manager.
    const DWORD kLimit = 30000;
    CHungWindow hung(rcHung);
    ASSERT_TRUE(hung.m_hWnd);
    const HWND hWnd = hung.m_hWnd;

    struct Row {
        const char* pszName;
        std::function<void(std::string& failure)> call;
    } rows[] = {
        {"SnapBitmap of the whole window",
         [hWnd](std::string& failure) {
             std::unique_ptr<CImageBitmap> bmp(CPeltoCore::SnapBitmap(hWnd, CRect(0, 0, 0, 0)));
             CPixels p = bmp ? ReadPixels(bmp->GetSafeHandle()) : CPixels();
             // The screen as it shows the window: it was painted before it hung.
             if (p.cx != 300 || p.cy != 200 || p.At(150, 100) != kHungColour)
                 failure = "picture " + std::to_string(p.cx) + "x" + std::to_string(p.cy);
         }},
        {"current window capture by the engine",
         [hWnd, rcHung](std::string& failure) {
             CEngineHost host;
             // The host's own window goes under the hung one, which is then the current window.
             ::SetWindowPos(host.m_wndMain.m_hWnd, HWND_BOTTOM, 0, 0, 0, 0,
                            SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
             int nResult = host.m_core.SnapCurrentWin();
             if (nResult != 1 || host.m_core.GetSnapOrigin() != rcHung.TopLeft())
                 failure = "result " + std::to_string(nResult);
         }},
        {"repaint after the pick's highlight",
         [hWnd](std::string&) {
             CEngineHost host;
             host.m_core.HighlightFoundWindow(hWnd);
             host.m_core.RefreshFoundWindow(hWnd);
         }},
    };
    // All on a thread of their own, so that the test can stop waiting for them.
    std::string failures[3];
    std::atomic<int> nDone(0);
    std::function<void()> work = [&] {
        for (const Row& row : rows) {
            row.call(failures[nDone]);
            ++nDone;
        }
    };
    HANDLE hWorker = ::CreateThread(
        nullptr, 0,
        [](LPVOID p) -> DWORD {
            (*static_cast<std::function<void()>*>(p))();
            return 0;
        },
        &work, 0, nullptr);
    bool bReturned = ::WaitForSingleObject(hWorker, kLimit) == WAIT_OBJECT_0;
    const int nStuck = nDone < 3 ? nDone.load() : 2;
    // Whatever happened, the window's program wakes up before anything is checked or left, and
    // a call that waited for it can then end.
    hung.Release();
    ::WaitForSingleObject(hWorker, 30000);
    ::CloseHandle(hWorker);
    EXPECT_TRUE(bReturned) << rows[nStuck].pszName << " waited for the hung window";
    for (int i = 0; i < 3; ++i) EXPECT_EQ(failures[i], "") << rows[i].pszName;

    // Intact: still there, same place and size, and not left topmost by the raise it missed.
    ASSERT_TRUE(::IsWindow(hWnd));
    for (int n = 0; n < 200 && !IsWindowAnswering(hWnd, 50); ++n) ::Sleep(10);
    CRect rcNow;
    ::GetWindowRect(hWnd, &rcNow);
    EXPECT_EQ(rcNow, rcHung);
    EXPECT_FALSE(IsTopmost(hWnd));
}
