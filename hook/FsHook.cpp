#include "hook/FsHook.h"

namespace {
// A low-level hook procedure gets no context of its own, so the one running hook lives here. It is
// only touched on the thread that installed it (the platform calls the procedure on that thread).
HHOOK g_hHook = nullptr;
HWND g_hTarget = nullptr;
const CFsHook* g_pOwner = nullptr;
DWORD g_nHookThread = 0;
// Releases that belong to presses the hook swallowed: they are swallowed too, so no window gets a
// release without its press.
bool g_bEatLeftUp = false;
bool g_bEatRightUp = false;
// Set while StopHook waits for those releases: nothing more is reported or swallowed.
bool g_bStopping = false;

// A press usually ends the pick before its release has come; the user lets go 50 to 150 ms later.
// A release that never comes (the button held on and on, or a press without one) must not keep
// the hook in place for longer than this.
const DWORD kReleaseWait = 1000;
const DWORD kWaitSlice = 10;

HMODULE ThisModule() {
    HMODULE hModule = nullptr;
    ::GetModuleHandleExW(
        GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
        reinterpret_cast<LPCWSTR>(&ThisModule), &hModule);
    return hModule;
}

void WaitForSwallowedReleases() {
    const ULONGLONG nDeadline = ::GetTickCount64() + kReleaseWait;
    while (g_bEatLeftUp || g_bEatRightUp) {
        ULONGLONG nNow = ::GetTickCount64();
        if (nNow >= nDeadline) break;
        DWORD nSlice =
            nDeadline - nNow < kWaitSlice ? static_cast<DWORD>(nDeadline - nNow) : kWaitSlice;
        ::MsgWaitForMultipleObjectsEx(0, nullptr, nSlice, QS_SENDMESSAGE, 0);
        // The platform calls the hook procedure through a sent message. Only sent messages are
        // handled here: the caller is usually inside a message handler and its posted messages
        // must keep their order.
        MSG msg;
        ::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}
}  // namespace

CFsHook::CFsHook() {}

CFsHook::~CFsHook() { StopHook(); }

BOOL CFsHook::StartHook(HWND hTarget) {
    if (!hTarget || !::IsWindow(hTarget)) return FALSE;
    if (g_hHook) {
        if (g_pOwner != this) return FALSE;
        g_hTarget = hTarget;
        return TRUE;
    }
    HHOOK hHook = ::SetWindowsHookExW(WH_MOUSE_LL, &CFsHook::LowLevelMouseProc, ThisModule(), 0);
    if (!hHook) return FALSE;
    g_hHook = hHook;
    g_hTarget = hTarget;
    g_pOwner = this;
    g_nHookThread = ::GetCurrentThreadId();
    g_bEatLeftUp = g_bEatRightUp = false;
    g_bStopping = false;
    return TRUE;
}

void CFsHook::StopHook() {
    if (!g_hHook || g_pOwner != this || g_bStopping) return;
    // Removed at once, the hook would let the release of the press that ended the pick through
    // to the window under the cursor: a stray button-up there, or its context menu after a right
    // click. The procedure only runs on the hooking thread, so only there can it be waited for.
    if (::GetCurrentThreadId() == g_nHookThread) {
        g_bStopping = true;
        WaitForSwallowedReleases();
    }
    ::UnhookWindowsHookEx(g_hHook);
    g_hHook = nullptr;
    g_hTarget = nullptr;
    g_pOwner = nullptr;
    g_nHookThread = 0;
    g_bStopping = false;
}

BOOL CFsHook::IsHooking() const { return g_hHook && g_pOwner == this && !g_bStopping; }

LRESULT CALLBACK CFsHook::LowLevelMouseProc(int nCode, WPARAM wParam, LPARAM lParam) {
    if (nCode != HC_ACTION || !g_hHook) return ::CallNextHookEx(g_hHook, nCode, wParam, lParam);
    if (g_bStopping) {
        if (wParam == WM_LBUTTONUP && g_bEatLeftUp) {
            g_bEatLeftUp = false;
            return 1;
        }
        if (wParam == WM_RBUTTONUP && g_bEatRightUp) {
            g_bEatRightUp = false;
            return 1;
        }
        return ::CallNextHookEx(g_hHook, nCode, wParam, lParam);
    }
    const MSLLHOOKSTRUCT* pInfo = reinterpret_cast<const MSLLHOOKSTRUCT*>(lParam);
    WPARAM x = static_cast<WPARAM>(static_cast<LONG_PTR>(pInfo->pt.x));
    LPARAM y = static_cast<LPARAM>(pInfo->pt.y);
    // Posted, never sent: the receiver may wait and capture, and a low-level hook that does not
    // return quickly is dropped by the platform.
    switch (wParam) {
        case WM_MOUSEMOVE:
            ::PostMessageW(g_hTarget, WM_ES_MOUSEMOVE, x, y);
            break;
        case WM_LBUTTONDOWN:
            g_bEatLeftUp = ::PostMessageW(g_hTarget, WM_ES_LBUTTONDOWN, x, y) != FALSE;
            if (g_bEatLeftUp) return 1;
            break;
        case WM_RBUTTONDOWN:
            g_bEatRightUp = ::PostMessageW(g_hTarget, WM_ES_RBUTTONDOWN, x, y) != FALSE;
            if (g_bEatRightUp) return 1;
            break;
        case WM_LBUTTONUP:
            if (g_bEatLeftUp) {
                g_bEatLeftUp = false;
                return 1;
            }
            break;
        case WM_RBUTTONUP:
            if (g_bEatRightUp) {
                g_bEatRightUp = false;
                return 1;
            }
            break;
        default:
            break;
    }
    return ::CallNextHookEx(g_hHook, nCode, wParam, lParam);
}
