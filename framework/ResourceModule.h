// The module in which resources (dialog templates, strings, bitmaps, cursors) are looked up. One
// per process: a library that shows its own dialogs switches it for the time they run.
#pragma once

#include <windows.h>

#include "framework/FxApi.h"

FX_API HINSTANCE AfxGetResourceHandle();
FX_API void AfxSetResourceHandle(HINSTANCE hInstance);
// The module of the program's executable.
FX_API HINSTANCE AfxGetInstanceHandle();

// Switches the resource module for the lifetime of the object and restores the previous one.
class FX_API CFxResourceScope {
public:
    explicit CFxResourceScope(HINSTANCE hInstance);
    ~CFxResourceScope();
    CFxResourceScope(const CFxResourceScope&) = delete;
    CFxResourceScope& operator=(const CFxResourceScope&) = delete;

private:
    HINSTANCE m_hPrevious;
};
