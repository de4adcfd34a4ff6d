// The message table behind CWnd. An entry names the message (for WM_COMMAND and WM_NOTIFY also the
// notification code and a control id range), a small adapter that decodes the message's arguments
// and calls the handler, and the handler itself.
#pragma once

#include <windows.h>

#include <cstring>

#include "framework/FxApi.h"
#include "framework/Geometry.h"

// A notification that a parent offers back to the child that sent it is looked up in the child's
// table under this base plus the notification's message, so it never meets the child's own
// WM_COMMAND / WM_NOTIFY entries.
#define FX_WM_REFLECT_BASE 0xBC00
// The control-colour messages are reflected under one number, the kind passed along.
#define FX_WM_CTLCOLOR 0x0019

class CWnd;
class CDC;

typedef void (CWnd::*FxPMSG)();
typedef LRESULT (*FxMsgThunk)(CWnd* pWnd, FxPMSG pfn, WPARAM wParam, LPARAM lParam);

struct FxMsgMapEntry {
    UINT nMessage;            // 0 ends the table
    UINT nCode;               // notification code for WM_COMMAND / WM_NOTIFY
    UINT nID;                 // first control or command id
    UINT nLastID;             // last control or command id
    const UINT* pRegistered;  // registered message: the variable that holds its number
    FxMsgThunk pfnThunk;
    FxPMSG pfn;
};

struct FxMessageMap {
    const FxMessageMap* (*pfnGetBaseMap)();
    const FxMsgMapEntry* lpEntries;
};

#define DECLARE_MESSAGE_MAP()                          \
public:                                                \
    static const FxMessageMap* GetThisMessageMap();    \
    virtual const FxMessageMap* GetMessageMap() const; \
                                                       \
private:

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                          \
    const FxMessageMap* theClass::GetMessageMap() const { return GetThisMessageMap(); } \
    const FxMessageMap* theClass::GetThisMessageMap() {                                 \
        using ThisClass [[maybe_unused]] = theClass;                                    \
        typedef baseClass TheBaseClass;                                                 \
        static const FxMsgMapEntry _messageEntries[] = {
#define END_MESSAGE_MAP()                                                     \
    { 0, 0, 0, 0, nullptr, nullptr, nullptr }                                 \
    }                                                                         \
    ;                                                                         \
    static const FxMessageMap messageMap = {&TheBaseClass::GetThisMessageMap, \
                                            &_messageEntries[0]};             \
    return &messageMap;                                                       \
    }

// Handler signatures and their adapters.
namespace fxthunk {
// Handlers of every signature are stored as one type and turned back into their own before the
// call; the round trip through bytes keeps the compiler from judging the casts.
template <typename Sig>
inline Sig As(FxPMSG p) {
    static_assert(sizeof(Sig) == sizeof(FxPMSG), "pointer to member sizes differ");
    Sig r;
    std::memcpy(&r, &p, sizeof r);
    return r;
}
template <typename Sig>
inline FxPMSG From(Sig p) {
    static_assert(sizeof(Sig) == sizeof(FxPMSG), "pointer to member sizes differ");
    FxPMSG r;
    std::memcpy(&r, &p, sizeof r);
    return r;
}
FX_API LRESULT Void(CWnd* w, FxPMSG p, WPARAM, LPARAM);             // void f()
FX_API LRESULT Timer(CWnd* w, FxPMSG p, WPARAM wp, LPARAM);         // void f(UINT_PTR)
FX_API LRESULT Mouse(CWnd* w, FxPMSG p, WPARAM wp, LPARAM lp);      // void f(UINT, CPoint)
FX_API LRESULT Key(CWnd* w, FxPMSG p, WPARAM wp, LPARAM lp);        // void f(UINT, UINT, UINT)
FX_API LRESULT Size(CWnd* w, FxPMSG p, WPARAM wp, LPARAM lp);       // void f(UINT, int, int)
FX_API LRESULT Create(CWnd* w, FxPMSG p, WPARAM, LPARAM lp);        // int f(LPCREATESTRUCT)
FX_API LRESULT EraseBkgnd(CWnd* w, FxPMSG p, WPARAM wp, LPARAM);    // BOOL f(CDC*)
FX_API LRESULT SetCursor(CWnd* w, FxPMSG p, WPARAM wp, LPARAM lp);  // BOOL f(CWnd*, UINT, UINT)
FX_API LRESULT CtlColorReflect(CWnd* w, FxPMSG p, WPARAM wp, LPARAM lp);  // HBRUSH f(CDC*, UINT)
FX_API LRESULT CtlColorImpl(CWnd* w, FxPMSG p, WPARAM wp, LPARAM lp, UINT nCtlColor);
template <UINT nCtlColor>  // HBRUSH f(CDC*, CWnd*, UINT)
LRESULT CtlColor(CWnd* w, FxPMSG p, WPARAM wp, LPARAM lp) {
    return CtlColorImpl(w, p, wp, lp, nCtlColor);
}
FX_API LRESULT SysCommand(CWnd* w, FxPMSG p, WPARAM wp, LPARAM lp);   // void f(UINT, LPARAM)
FX_API LRESULT HotKey(CWnd* w, FxPMSG p, WPARAM wp, LPARAM lp);       // void f(UINT, UINT, UINT)
FX_API LRESULT Handle(CWnd* w, FxPMSG p, WPARAM, LPARAM);             // HANDLE-like f() (HCURSOR)
FX_API LRESULT BoolVoid(CWnd* w, FxPMSG p, WPARAM, LPARAM);           // BOOL f()
FX_API LRESULT PaletteChanged(CWnd* w, FxPMSG p, WPARAM wp, LPARAM);  // void f(CWnd*)
FX_API LRESULT Activate(CWnd* w, FxPMSG p, WPARAM wp, LPARAM lp);     // void f(UINT, CWnd*, BOOL)
FX_API LRESULT ShowWindow(CWnd* w, FxPMSG p, WPARAM wp, LPARAM lp);   // void f(BOOL, UINT)
FX_API LRESULT Move(CWnd* w, FxPMSG p, WPARAM, LPARAM lp);            // void f(int, int)
FX_API LRESULT Message(CWnd* w, FxPMSG p, WPARAM wp, LPARAM lp);      // LRESULT f(WPARAM, LPARAM)
FX_API LRESULT CommandRange(CWnd* w, FxPMSG p, WPARAM wp, LPARAM);    // void f(UINT)
FX_API LRESULT Notify(CWnd* w, FxPMSG p, WPARAM, LPARAM lp);          // void f(NMHDR*, LRESULT*)
FX_API LRESULT NcHitTest(CWnd* w, FxPMSG p, WPARAM, LPARAM lp);       // LRESULT f(CPoint)
}  // namespace fxthunk

#define FX_ENTRY(msg, code, id, last, thunk, sig, fn) \
    {msg,                                             \
     code,                                            \
     id,                                              \
     last,                                            \
     nullptr,                                         \
     &fxthunk::thunk,                                 \
     fxthunk::From(static_cast<sig>(&ThisClass::fn))},

#define ON_WM_PAINT() FX_ENTRY(WM_PAINT, 0, 0, 0, Void, void (CWnd::*)(), OnPaint)
#define ON_WM_DESTROY() FX_ENTRY(WM_DESTROY, 0, 0, 0, Void, void (CWnd::*)(), OnDestroy)
#define ON_WM_CLOSE() FX_ENTRY(WM_CLOSE, 0, 0, 0, Void, void (CWnd::*)(), OnClose)
#define ON_WM_CREATE() FX_ENTRY(WM_CREATE, 0, 0, 0, Create, int (CWnd::*)(LPCREATESTRUCT), OnCreate)
#define ON_WM_TIMER() FX_ENTRY(WM_TIMER, 0, 0, 0, Timer, void (CWnd::*)(UINT_PTR), OnTimer)
#define FX_MOUSE(msg, fn) FX_ENTRY(msg, 0, 0, 0, Mouse, void (CWnd::*)(UINT, CPoint), fn)
#define ON_WM_MOUSEMOVE() FX_MOUSE(WM_MOUSEMOVE, OnMouseMove)
#define ON_WM_LBUTTONDOWN() FX_MOUSE(WM_LBUTTONDOWN, OnLButtonDown)
#define ON_WM_LBUTTONUP() FX_MOUSE(WM_LBUTTONUP, OnLButtonUp)
#define ON_WM_LBUTTONDBLCLK() FX_MOUSE(WM_LBUTTONDBLCLK, OnLButtonDblClk)
#define ON_WM_RBUTTONDOWN() FX_MOUSE(WM_RBUTTONDOWN, OnRButtonDown)
#define ON_WM_RBUTTONUP() FX_MOUSE(WM_RBUTTONUP, OnRButtonUp)
#define FX_KEY(msg, fn) FX_ENTRY(msg, 0, 0, 0, Key, void (CWnd::*)(UINT, UINT, UINT), fn)
#define ON_WM_KEYDOWN() FX_KEY(WM_KEYDOWN, OnKeyDown)
#define ON_WM_KEYUP() FX_KEY(WM_KEYUP, OnKeyUp)
#define ON_WM_CHAR() FX_KEY(WM_CHAR, OnChar)
#define ON_WM_SIZE() FX_ENTRY(WM_SIZE, 0, 0, 0, Size, void (CWnd::*)(UINT, int, int), OnSize)
#define ON_WM_MOVE() FX_ENTRY(WM_MOVE, 0, 0, 0, Move, void (CWnd::*)(int, int), OnMove)
#define ON_WM_ERASEBKGND() \
    FX_ENTRY(WM_ERASEBKGND, 0, 0, 0, EraseBkgnd, BOOL (CWnd::*)(CDC*), OnEraseBkgnd)
#define ON_WM_SETCURSOR() \
    FX_ENTRY(WM_SETCURSOR, 0, 0, 0, SetCursor, BOOL (CWnd::*)(CWnd*, UINT, UINT), OnSetCursor)
#define FX_CTLCOLOR(msg, kind) \
    FX_ENTRY(msg, 0, 0, 0, CtlColor<kind>, HBRUSH (CWnd::*)(CDC*, CWnd*, UINT), OnCtlColor)
#define ON_WM_CTLCOLOR()                              \
    FX_CTLCOLOR(WM_CTLCOLORSTATIC, CTLCOLOR_STATIC)   \
    FX_CTLCOLOR(WM_CTLCOLOREDIT, CTLCOLOR_EDIT)       \
    FX_CTLCOLOR(WM_CTLCOLORBTN, CTLCOLOR_BTN)         \
    FX_CTLCOLOR(WM_CTLCOLORLISTBOX, CTLCOLOR_LISTBOX) \
    FX_CTLCOLOR(WM_CTLCOLORDLG, CTLCOLOR_DLG)
#define ON_WM_SYSCOMMAND() \
    FX_ENTRY(WM_SYSCOMMAND, 0, 0, 0, SysCommand, void (CWnd::*)(UINT, LPARAM), OnSysCommand)
#define ON_WM_HOTKEY() \
    FX_ENTRY(WM_HOTKEY, 0, 0, 0, HotKey, void (CWnd::*)(UINT, UINT, UINT), OnHotKey)
#define ON_WM_QUERYDRAGICON() \
    FX_ENTRY(WM_QUERYDRAGICON, 0, 0, 0, Handle, HCURSOR (CWnd::*)(), OnQueryDragIcon)
#define ON_WM_QUERYNEWPALETTE() \
    FX_ENTRY(WM_QUERYNEWPALETTE, 0, 0, 0, BoolVoid, BOOL (CWnd::*)(), OnQueryNewPalette)
#define ON_WM_PALETTECHANGED() \
    FX_ENTRY(WM_PALETTECHANGED, 0, 0, 0, PaletteChanged, void (CWnd::*)(CWnd*), OnPaletteChanged)
#define ON_WM_ACTIVATE() \
    FX_ENTRY(WM_ACTIVATE, 0, 0, 0, Activate, void (CWnd::*)(UINT, CWnd*, BOOL), OnActivate)
#define ON_WM_SHOWWINDOW() \
    FX_ENTRY(WM_SHOWWINDOW, 0, 0, 0, ShowWindow, void (CWnd::*)(BOOL, UINT), OnShowWindow)
#define ON_WM_NCHITTEST() \
    FX_ENTRY(WM_NCHITTEST, 0, 0, 0, NcHitTest, LRESULT (CWnd::*)(CPoint), OnNcHitTest)

#define ON_MESSAGE(msg, fn) FX_ENTRY(msg, 0, 0, 0, Message, LRESULT (CWnd::*)(WPARAM, LPARAM), fn)
#define ON_REGISTERED_MESSAGE(var, fn) \
    {0xC000,                           \
     0,                                \
     0,                                \
     0,                                \
     &var,                             \
     &fxthunk::Message,                \
     fxthunk::From(static_cast<LRESULT (CWnd::*)(WPARAM, LPARAM)>(&ThisClass::fn))},
#define ON_COMMAND(id, fn) FX_ENTRY(WM_COMMAND, 0, id, id, Void, void (CWnd::*)(), fn)
#define ON_COMMAND_RANGE(id, last, fn) \
    FX_ENTRY(WM_COMMAND, 0, id, last, CommandRange, void (CWnd::*)(UINT), fn)
#define ON_CONTROL(code, id, fn) FX_ENTRY(WM_COMMAND, code, id, id, Void, void (CWnd::*)(), fn)
#define ON_BN_CLICKED(id, fn) ON_CONTROL(BN_CLICKED, id, fn)
#define ON_EN_CHANGE(id, fn) ON_CONTROL(EN_CHANGE, id, fn)
#define ON_LBN_SELCHANGE(id, fn) ON_CONTROL(LBN_SELCHANGE, id, fn)
#define ON_LBN_DBLCLK(id, fn) ON_CONTROL(LBN_DBLCLK, id, fn)
#define ON_CBN_SELCHANGE(id, fn) ON_CONTROL(CBN_SELCHANGE, id, fn)
#define ON_NOTIFY(code, id, fn)                                                                    \
    FX_ENTRY(WM_NOTIFY, static_cast<UINT>(code), id, id, Notify, void (CWnd::*)(NMHDR*, LRESULT*), \
             fn)

// Reflected notifications: entries of the child's own table, run when its parent receives the
// notification. The child consumes it; the reflected control colour only when it gives a brush.
#define ON_CONTROL_REFLECT(code, fn) \
    FX_ENTRY(FX_WM_REFLECT_BASE + WM_COMMAND, code, 0, 0xFFFF, Void, void(CWnd::*)(), fn)
#define ON_NOTIFY_REFLECT(code, fn)                                                      \
    FX_ENTRY(FX_WM_REFLECT_BASE + WM_NOTIFY, static_cast<UINT>(code), 0, 0xFFFF, Notify, \
             void(CWnd::*)(NMHDR*, LRESULT*), fn)
#define ON_WM_CTLCOLOR_REFLECT()                                            \
    FX_ENTRY(FX_WM_REFLECT_BASE + FX_WM_CTLCOLOR, 0, 0, 0, CtlColorReflect, \
             HBRUSH(CWnd::*)(CDC*, UINT), CtlColor)
