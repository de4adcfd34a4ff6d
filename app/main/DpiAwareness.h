// How the program asks for real pixels. Newer systems scale the windows of a program that does
// not say it handles the screen's resolution itself: such a program sees a smaller, made-up
// screen, and its captures come out blurred or cut. The manifest asks for per-monitor awareness;
// the call at start-up covers a manifest that was stripped or a system that ignores it, trying
// the newest form first. Plain C++ so that the order can be checked natively.
#pragma once

#include <functional>

// What one of the platform's calls answered.
enum class DpiCallResult {
    Missing,     // the system has no such call
    Failed,      // it refused for another reason: try the next form
    AlreadySet,  // the process's awareness was settled before (the manifest): nothing to change
    Set,
};

// The platform's three ways, newest first; an empty function is a call the system lacks.
struct DpiAwarenessCalls {
    std::function<DpiCallResult()> setPerMonitorV2;  // user32 SetProcessDpiAwarenessContext
    std::function<DpiCallResult()> setPerMonitor;    // shcore SetProcessDpiAwareness
    std::function<DpiCallResult()> setSystemAware;   // user32 SetProcessDPIAware
};

// Which way settled the awareness.
enum class DpiAwarenessChoice { None, AlreadySet, PerMonitorV2, PerMonitor, SystemAware };

// Tries the ways in order and stops at the first that sets the awareness or finds it settled.
DpiAwarenessChoice ChooseDpiAwareness(const DpiAwarenessCalls& calls);

// The same with the running system's calls, looked up by name so that the program still starts
// on a system that lacks the newer ones. Windows only.
DpiAwarenessChoice MakeProcessDpiAware();
