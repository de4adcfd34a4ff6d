#include "lib/image/SystemScreen.h"

namespace {

typedef HRESULT(WINAPI* DwmGetWindowAttributeFn)(HWND, DWORD, PVOID, DWORD);
const DWORD kExtendedFrameBounds = 9;  // DWMWA_EXTENDED_FRAME_BOUNDS

// Looked up by name: systems without a compositor have no dwmapi.dll.
DwmGetWindowAttributeFn GetDwmGetWindowAttribute() {
    static DwmGetWindowAttributeFn s_pFn = [] {
        HMODULE hDwm = ::LoadLibraryW(L"dwmapi.dll");
        return hDwm ? reinterpret_cast<DwmGetWindowAttributeFn>(
                          reinterpret_cast<void*>(::GetProcAddress(hDwm, "DwmGetWindowAttribute")))
                    : nullptr;
    }();
    return s_pFn;
}

}  // namespace

BOOL GetVisibleWindowRect(HWND hWnd, CRect& rcVisible) {
    RECT rcWindow;
    if (!hWnd || !::GetWindowRect(hWnd, &rcWindow)) return FALSE;
    RECT rcExtended = {0, 0, 0, 0};
    bool bAnswered = false;
    if (DwmGetWindowAttributeFn pFn = GetDwmGetWindowAttribute())
        bAnswered = pFn(hWnd, kExtendedFrameBounds, &rcExtended, sizeof(rcExtended)) == S_OK;
    rcVisible =
        ToCRect(VisibleWindowFrame(ToScreenRect(rcWindow), bAnswered, ToScreenRect(rcExtended)));
    return TRUE;
}
