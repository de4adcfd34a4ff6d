#include "framework/MessageMap.h"

#include "framework/Gdi.h"
#include "framework/Wnd.h"

namespace {
// Mouse coordinates are signed 16-bit values (negative on a screen left of the primary one).
int XOf(LPARAM lp) { return static_cast<short>(LOWORD(lp)); }
int YOf(LPARAM lp) { return static_cast<short>(HIWORD(lp)); }
}  // namespace

namespace fxthunk {

LRESULT Void(CWnd* w, FxPMSG p, WPARAM, LPARAM) {
    (w->*p)();
    return 0;
}
LRESULT Timer(CWnd* w, FxPMSG p, WPARAM wp, LPARAM) {
    (w->*As<void (CWnd::*)(UINT_PTR)>(p))(static_cast<UINT_PTR>(wp));
    return 0;
}
LRESULT Mouse(CWnd* w, FxPMSG p, WPARAM wp, LPARAM lp) {
    (w->*As<void (CWnd::*)(UINT, CPoint)>(p))(static_cast<UINT>(wp), CPoint(XOf(lp), YOf(lp)));
    return 0;
}
LRESULT Key(CWnd* w, FxPMSG p, WPARAM wp, LPARAM lp) {
    (w->*As<void (CWnd::*)(UINT, UINT, UINT)>(p))(static_cast<UINT>(wp), LOWORD(lp), HIWORD(lp));
    return 0;
}
LRESULT Size(CWnd* w, FxPMSG p, WPARAM wp, LPARAM lp) {
    (w->*As<void (CWnd::*)(UINT, int, int)>(p))(static_cast<UINT>(wp), LOWORD(lp), HIWORD(lp));
    return 0;
}
LRESULT Move(CWnd* w, FxPMSG p, WPARAM, LPARAM lp) {
    (w->*As<void (CWnd::*)(int, int)>(p))(XOf(lp), YOf(lp));
    return 0;
}
LRESULT Create(CWnd* w, FxPMSG p, WPARAM, LPARAM lp) {
    return (w->*As<int (CWnd::*)(LPCREATESTRUCT)>(p))(reinterpret_cast<LPCREATESTRUCT>(lp));
}
LRESULT EraseBkgnd(CWnd* w, FxPMSG p, WPARAM wp, LPARAM) {
    CDC dc;
    dc.Attach(reinterpret_cast<HDC>(wp));
    LRESULT r = (w->*As<BOOL (CWnd::*)(CDC*)>(p))(&dc);
    dc.Detach();
    return r;
}
LRESULT SetCursor(CWnd* w, FxPMSG p, WPARAM wp, LPARAM lp) {
    return (w->*As<BOOL (CWnd::*)(CWnd*, UINT, UINT)>(p))(
        CWnd::FromHandle(reinterpret_cast<HWND>(wp)), LOWORD(lp), HIWORD(lp));
}
LRESULT SysCommand(CWnd* w, FxPMSG p, WPARAM wp, LPARAM lp) {
    (w->*As<void (CWnd::*)(UINT, LPARAM)>(p))(static_cast<UINT>(wp), lp);
    return 0;
}
LRESULT HotKey(CWnd* w, FxPMSG p, WPARAM wp, LPARAM lp) {
    (w->*As<void (CWnd::*)(UINT, UINT, UINT)>(p))(static_cast<UINT>(wp), LOWORD(lp), HIWORD(lp));
    return 0;
}
LRESULT Handle(CWnd* w, FxPMSG p, WPARAM, LPARAM) {
    return reinterpret_cast<LRESULT>((w->*As<HCURSOR (CWnd::*)()>(p))());
}
LRESULT BoolVoid(CWnd* w, FxPMSG p, WPARAM, LPARAM) { return (w->*As<BOOL (CWnd::*)()>(p))(); }
LRESULT PaletteChanged(CWnd* w, FxPMSG p, WPARAM wp, LPARAM) {
    (w->*As<void (CWnd::*)(CWnd*)>(p))(CWnd::FromHandle(reinterpret_cast<HWND>(wp)));
    return 0;
}
LRESULT Activate(CWnd* w, FxPMSG p, WPARAM wp, LPARAM lp) {
    (w->*As<void (CWnd::*)(UINT, CWnd*, BOOL)>(p))(
        LOWORD(wp), CWnd::FromHandle(reinterpret_cast<HWND>(lp)), HIWORD(wp) != 0);
    return 0;
}
LRESULT ShowWindow(CWnd* w, FxPMSG p, WPARAM wp, LPARAM lp) {
    (w->*As<void (CWnd::*)(BOOL, UINT)>(p))(static_cast<BOOL>(wp), static_cast<UINT>(lp));
    return 0;
}
LRESULT Message(CWnd* w, FxPMSG p, WPARAM wp, LPARAM lp) {
    return (w->*As<LRESULT (CWnd::*)(WPARAM, LPARAM)>(p))(wp, lp);
}
LRESULT CommandRange(CWnd* w, FxPMSG p, WPARAM wp, LPARAM) {
    (w->*As<void (CWnd::*)(UINT)>(p))(LOWORD(wp));
    return 0;
}
LRESULT Notify(CWnd*, FxPMSG, WPARAM, LPARAM) { return 0; }  // dispatched by CWnd::OnNotify
LRESULT NcHitTest(CWnd* w, FxPMSG p, WPARAM, LPARAM lp) {
    return (w->*As<LRESULT (CWnd::*)(CPoint)>(p))(CPoint(XOf(lp), YOf(lp)));
}

LRESULT CtlColorReflect(CWnd* w, FxPMSG p, WPARAM wp, LPARAM lp) {
    CDC dc;
    dc.Attach(reinterpret_cast<HDC>(wp));
    HBRUSH r = (w->*As<HBRUSH (CWnd::*)(CDC*, UINT)>(p))(&dc, static_cast<UINT>(lp));
    dc.Detach();
    return reinterpret_cast<LRESULT>(r);
}

LRESULT CtlColorImpl(CWnd* w, FxPMSG p, WPARAM wp, LPARAM lp, UINT nCtlColor) {
    CDC dc;
    dc.Attach(reinterpret_cast<HDC>(wp));
    HBRUSH r = (w->*As<HBRUSH (CWnd::*)(CDC*, CWnd*, UINT)>(p))(
        &dc, CWnd::FromHandle(reinterpret_cast<HWND>(lp)), nCtlColor);
    dc.Detach();
    return reinterpret_cast<LRESULT>(r);
}

}  // namespace fxthunk
