#include "hook/FsHook.h"

namespace {
// A low-level hook procedure gets no context of its own, so the one running hook lives here. It is
// only touched on the thread that installed it (the platform calls the procedure on that thread).
HHOOK g_hHook = nullptr;
HWND g_hTarget = nullptr;
const CFsHook* g_pOwner = nullptr;
// Releases that belong to presses the hook swallowed: they are swallowed too, so no window gets a
// release without its press.
bool g_bEatLeftUp = false;
bool g_bEatRightUp = false;

HMODULE ThisModule() {
    HMODULE hModule = nullptr;
    ::GetModuleHandleExW(
        GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
        reinterpret_cast<LPCWSTR>(&ThisModule), &hModule);
    return hModule;
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
    g_bEatLeftUp = g_bEatRightUp = false;
    return TRUE;
}

void CFsHook::StopHook() {
    if (!g_hHook || g_pOwner != this) return;
    ::UnhookWindowsHookEx(g_hHook);
    g_hHook = nullptr;
    g_hTarget = nullptr;
    g_pOwner = nullptr;
}

BOOL CFsHook::IsHooking() const { return g_hHook && g_pOwner == this; }

LRESULT CALLBACK CFsHook::LowLevelMouseProc(int nCode, WPARAM wParam, LPARAM lParam) {
    if (nCode != HC_ACTION || !g_hHook) return ::CallNextHookEx(g_hHook, nCode, wParam, lParam);
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
