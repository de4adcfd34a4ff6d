// CFsHook: while it is started, turns the mouse events of the whole desktop into messages posted to
// one window. The capture engine uses it during the object pick, when the clicks that end the pick
// land on windows of other programs.
#pragma once

#include <windows.h>

#if defined(HOOK_BUILD)
#define HOOK_API __declspec(dllexport)
#else
#define HOOK_API __declspec(dllimport)
#endif

// Posted to the target window; both parameters carry the cursor's screen position (wParam x,
// lParam y) for a receiver that wants it.
#define WM_ES_LBUTTONDOWN (WM_USER + 1001)
#define WM_ES_RBUTTONDOWN (WM_USER + 1002)
#define WM_ES_MOUSEMOVE (WM_USER + 1007)

class HOOK_API CFsHook {
public:
    CFsHook();
    virtual ~CFsHook();
    CFsHook(const CFsHook&) = delete;
    CFsHook& operator=(const CFsHook&) = delete;

    // Installs a low-level mouse hook on the calling thread, which must keep dispatching messages
    // while the hook runs. Button presses (and their releases) are swallowed so that the click
    // that ends a pick does not also press whatever lies under it. Only one hook can run in a
    // process: false when another object's hook runs, the target is not a window or the platform
    // refuses. Starting again on the same object retargets it.
    BOOL StartHook(HWND hTarget);
    // Removes the hook; harmless when it is not running. Called on the hooking thread while the
    // release of a swallowed press is still to come, it first waits for that release (at most a
    // second, handling only sent messages) and swallows it too.
    void StopHook();
    BOOL IsHooking() const;

private:
    static LRESULT CALLBACK LowLevelMouseProc(int nCode, WPARAM wParam, LPARAM lParam);
};
