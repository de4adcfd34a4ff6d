// The system's answers about the screens and windows, turned into the plain geometry of
// base/ScreenGeometry.h, and back.
#pragma once

#include <windows.h>

#include "base/ScreenGeometry.h"
#include "framework/Geometry.h"
#include "lib/PeltoLibApi.h"

inline ScreenRect ToScreenRect(const RECT& rc) {
    return {static_cast<int>(rc.left), static_cast<int>(rc.top), static_cast<int>(rc.right),
            static_cast<int>(rc.bottom)};
}
inline CRect ToCRect(const ScreenRect& rc) { return CRect(rc.left, rc.top, rc.right, rc.bottom); }
inline ScreenPoint ToScreenPoint(const POINT& pt) {
    return {static_cast<int>(pt.x), static_cast<int>(pt.y)};
}
inline CPoint ToCPoint(const ScreenPoint& pt) { return CPoint(pt.x, pt.y); }

inline ScreenMetrics GetSystemScreenMetrics() {
    ScreenMetrics m;
    m.xVirtual = ::GetSystemMetrics(SM_XVIRTUALSCREEN);
    m.yVirtual = ::GetSystemMetrics(SM_YVIRTUALSCREEN);
    m.cxVirtual = ::GetSystemMetrics(SM_CXVIRTUALSCREEN);
    m.cyVirtual = ::GetSystemMetrics(SM_CYVIRTUALSCREEN);
    m.cxPrimary = ::GetSystemMetrics(SM_CXSCREEN);
    m.cyPrimary = ::GetSystemMetrics(SM_CYSCREEN);
    return m;
}

// Left at 1 : 1 when the process sees the screen's real pixels, as it does once it has declared
// itself aware of the screen's resolution.
inline ScreenScale GetSystemScreenScale() {
    ScreenScale s;
    if (HDC hdc = ::GetDC(nullptr)) {
        s.cxLogical = ::GetDeviceCaps(hdc, HORZRES);
        s.cxPhysical = ::GetDeviceCaps(hdc, DESKTOPHORZRES);
        s.cyLogical = ::GetDeviceCaps(hdc, VERTRES);
        s.cyPhysical = ::GetDeviceCaps(hdc, DESKTOPVERTRES);
        ::ReleaseDC(nullptr, hdc);
    }
    return s;
}

// Where the desktop window's device context starts, in screen coordinates. Windows puts the
// desktop window on the primary monitor, so this is (0, 0) there; other implementations of the
// platform let it span the virtual screen and start where that starts.
inline ScreenPoint GetDesktopDcOrigin() {
    RECT rc = {0, 0, 0, 0};
    ::GetWindowRect(::GetDesktopWindow(), &rc);
    return {static_cast<int>(rc.left), static_cast<int>(rc.top)};
}

// A rectangle in screen coordinates, in the coordinates of the desktop window's device context:
// what a capture of the desktop window takes.
inline CRect ScreenToDesktopDc(const CRect& rcScreen) {
    return ToCRect(ScreenToClientRect(ToScreenRect(rcScreen), GetDesktopDcOrigin()));
}

// The window's rectangle without the invisible resize border that newer systems count in it;
// the window's rectangle where the system reports no such border. False for a gone window.
PELTOLIB_API BOOL GetVisibleWindowRect(HWND hWnd, CRect& rcVisible);
