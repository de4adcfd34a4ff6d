#include <windows.h>

#include "app/main/DpiAwareness.h"

namespace {

// The SDK of the oldest system the program runs on has none of these.
typedef BOOL(WINAPI* SetContextFn)(HANDLE);
typedef HRESULT(WINAPI* SetAwarenessFn)(int);
typedef BOOL(WINAPI* SetAwareFn)();
const HANDLE kPerMonitorAwareV2 = reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-4));
const int kProcessPerMonitorDpiAware = 2;

template <typename Fn>
Fn Lookup(HMODULE hModule, const char* pszName) {
    if (!hModule) return nullptr;
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(hModule, pszName)));
}

DpiCallResult FromBool(BOOL bDone) {
    if (bDone) return DpiCallResult::Set;
    return ::GetLastError() == ERROR_ACCESS_DENIED ? DpiCallResult::AlreadySet
                                                   : DpiCallResult::Failed;
}

}  // namespace

DpiAwarenessChoice MakeProcessDpiAware() {
    HMODULE hUser = ::GetModuleHandleW(L"user32.dll");
    // shcore stays loaded: unloading a system library the process may call again gains nothing.
    HMODULE hShcore = ::LoadLibraryW(L"shcore.dll");
    auto pSetContext = Lookup<SetContextFn>(hUser, "SetProcessDpiAwarenessContext");
    auto pSetAwareness = Lookup<SetAwarenessFn>(hShcore, "SetProcessDpiAwareness");
    auto pSetAware = Lookup<SetAwareFn>(hUser, "SetProcessDPIAware");

    DpiAwarenessCalls calls;
    if (pSetContext)
        calls.setPerMonitorV2 = [pSetContext] { return FromBool(pSetContext(kPerMonitorAwareV2)); };
    if (pSetAwareness)
        calls.setPerMonitor = [pSetAwareness] {
            HRESULT hr = pSetAwareness(kProcessPerMonitorDpiAware);
            if (SUCCEEDED(hr)) return DpiCallResult::Set;
            return hr == E_ACCESSDENIED ? DpiCallResult::AlreadySet : DpiCallResult::Failed;
        };
    if (pSetAware)
        calls.setSystemAware = [pSetAware] {
            return pSetAware() ? DpiCallResult::Set : DpiCallResult::Failed;
        };
    return ChooseDpiAwareness(calls);
}
