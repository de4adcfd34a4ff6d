// CWnd: a C++ object attached to one window handle, with a message table per class.
//
// A class declares DECLARE_MESSAGE_MAP() and lists its handlers in its .cpp between
// BEGIN_MESSAGE_MAP(Class, Base) and END_MESSAGE_MAP(). A message that no table of the class chain
// handles goes to the window's default procedure.
//
// A notification a control sends its parent (WM_COMMAND, WM_NOTIFY, WM_CTLCOLOR*) is first offered
// to the control's own object (ON_CONTROL_REFLECT, ON_NOTIFY_REFLECT, ON_WM_CTLCOLOR_REFLECT in
// its table); only when the control does not take it does the parent's table see it.
//
// Creation: ON_WM_CREATE runs for every window made through CreateEx, a system class such as an
// edit control included, and for every CDialog (before OnInitDialog). A window that existed
// before its object was attached (SubclassWindow, DDX_Control) has had its WM_CREATE already; its
// object gets PreSubclassWindow instead.
#pragma once

#include <windows.h>

#include "framework/FxApi.h"
#include "framework/FxString.h"
#include "framework/Geometry.h"
#include "framework/MessageMap.h"
#include "framework/Object.h"

class CDC;

class FX_API CWnd : public CObject {
    DECLARE_DYNAMIC(CWnd)

public:
    CWnd();
    explicit CWnd(HWND hWnd);  // a non-owning wrapper, not entered in the window map
    virtual ~CWnd();
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    HWND m_hWnd = nullptr;
    HWND GetSafeHwnd() const { return m_hWnd; }
    operator HWND() const { return GetSafeHwnd(); }

    // The object attached to hWnd, or a temporary wrapper that lives until the thread next
    // becomes idle. Null for a null handle.
    static CWnd* FromHandle(HWND hWnd);
    // The attached object only, or null.
    static CWnd* FromHandlePermanent(HWND hWnd);

    // Creation. The class name may be null for the framework's own window class.
    virtual BOOL CreateEx(DWORD dwExStyle, LPCWSTR lpszClassName, LPCWSTR lpszWindowName,
                          DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT_PTR nIDorMenu,
                          LPVOID lpParam = nullptr);
    BOOL Create(LPCWSTR lpszClassName, LPCWSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                CWnd* pParentWnd, UINT nID);
    virtual BOOL DestroyWindow();

    // Attaching to windows made elsewhere.
    BOOL Attach(HWND hWnd);
    HWND Detach();
    BOOL SubclassWindow(HWND hWnd);
    BOOL SubclassDlgItem(UINT nID, CWnd* pParent);
    HWND UnsubclassWindow();

    // Common operations on the window.
    BOOL ShowWindow(int nCmdShow) { return ::ShowWindow(m_hWnd, nCmdShow); }
    BOOL IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
    BOOL IsWindow() const { return m_hWnd && ::IsWindow(m_hWnd); }
    BOOL EnableWindow(BOOL bEnable = TRUE) { return ::EnableWindow(m_hWnd, bEnable); }
    void MoveWindow(int x, int y, int nWidth, int nHeight, BOOL bRepaint = TRUE) {
        ::MoveWindow(m_hWnd, x, y, nWidth, nHeight, bRepaint);
    }
    void MoveWindow(const RECT& r, BOOL bRepaint = TRUE) {
        MoveWindow(r.left, r.top, r.right - r.left, r.bottom - r.top, bRepaint);
    }
    BOOL SetWindowPos(const CWnd* pInsertAfter, int x, int y, int cx, int cy, UINT nFlags);
    void GetWindowRect(LPRECT lpRect) const { ::GetWindowRect(m_hWnd, lpRect); }
    void GetClientRect(LPRECT lpRect) const { ::GetClientRect(m_hWnd, lpRect); }
    void ClientToScreen(LPPOINT p) const { ::ClientToScreen(m_hWnd, p); }
    void ClientToScreen(LPRECT r) const;
    void ScreenToClient(LPPOINT p) const { ::ScreenToClient(m_hWnd, p); }
    void ScreenToClient(LPRECT r) const;
    void SetWindowText(LPCWSTR psz) { ::SetWindowTextW(m_hWnd, psz); }
    CString GetWindowText() const;
    void GetWindowText(CString& str) const { str = GetWindowText(); }
    int GetWindowTextLength() const { return ::GetWindowTextLengthW(m_hWnd); }
    void SetFont(HFONT hFont, BOOL bRedraw = TRUE);
    HFONT GetFont() const;
    CWnd* GetDlgItem(int nID) const;
    HWND GetDlgItemHwnd(int nID) const { return ::GetDlgItem(m_hWnd, nID); }
    int GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }
    void SetDlgItemText(int nID, LPCWSTR psz) { ::SetDlgItemTextW(m_hWnd, nID, psz); }
    CString GetDlgItemText(int nID) const;
    CWnd* GetParent() const { return FromHandle(::GetParent(m_hWnd)); }
    CWnd* SetFocus() { return FromHandle(::SetFocus(m_hWnd)); }
    BOOL SetForegroundWindow() { return ::SetForegroundWindow(m_hWnd); }
    void BringWindowToTop() { ::BringWindowToTop(m_hWnd); }
    BOOL IsIconic() const { return ::IsIconic(m_hWnd); }
    DWORD GetStyle() const { return static_cast<DWORD>(::GetWindowLongPtrW(m_hWnd, GWL_STYLE)); }
    DWORD GetExStyle() const {
        return static_cast<DWORD>(::GetWindowLongPtrW(m_hWnd, GWL_EXSTYLE));
    }
    BOOL ModifyStyle(DWORD dwRemove, DWORD dwAdd, UINT nFlags = 0);
    BOOL ModifyStyleEx(DWORD dwRemove, DWORD dwAdd, UINT nFlags = 0);

    // Painting.
    void Invalidate(BOOL bErase = TRUE) { ::InvalidateRect(m_hWnd, nullptr, bErase); }
    void InvalidateRect(LPCRECT lpRect, BOOL bErase = TRUE) {
        ::InvalidateRect(m_hWnd, lpRect, bErase);
    }
    void InvalidateRgn(HRGN hRgn, BOOL bErase = TRUE) { ::InvalidateRgn(m_hWnd, hRgn, bErase); }
    void UpdateWindow() { ::UpdateWindow(m_hWnd); }
    BOOL RedrawWindow(LPCRECT lpRectUpdate = nullptr, HRGN hRgn = nullptr,
                      UINT flags = RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE) {
        return ::RedrawWindow(m_hWnd, lpRectUpdate, hRgn, flags);
    }

    // Timers and mouse capture.
    UINT_PTR SetTimer(UINT_PTR nIDEvent, UINT nElapse) {
        return ::SetTimer(m_hWnd, nIDEvent, nElapse, nullptr);
    }
    BOOL KillTimer(UINT_PTR nIDEvent) { return ::KillTimer(m_hWnd, nIDEvent); }
    CWnd* SetCapture() { return FromHandle(::SetCapture(m_hWnd)); }
    static CWnd* GetCapture() { return FromHandle(::GetCapture()); }

    // Messages.
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
        return ::SendMessageW(m_hWnd, message, wParam, lParam);
    }
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
        return ::PostMessageW(m_hWnd, message, wParam, lParam);
    }
    int MessageBox(LPCWSTR lpszText, LPCWSTR lpszCaption = nullptr, UINT nType = MB_OK);

    // Routing. WindowProc runs the message table; what it leaves goes to DefWindowProc.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    virtual BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    // A notification this window sent to its parent, offered back before the parent's table
    // runs; true when the window's reflected entries took it (*pResult is the answer).
    virtual BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    // Called for every message of the thread's loops before it is dispatched; true eats it.
    virtual BOOL PreTranslateMessage(MSG* pMsg);
    // Called after the window is gone and the object detached; a self-owning window deletes
    // itself here.
    virtual void PostNcDestroy() {}
    // Called when the object has just been attached to a window that already existed.
    virtual void PreSubclassWindow() {}

    static LRESULT CALLBACK FxWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
    // The framework's own window class, registered on first use.
    static LPCWSTR GetDefaultClassName();

protected:
    DECLARE_MESSAGE_MAP()

    WNDPROC m_pfnSuper = nullptr;  // the procedure that subclassing replaced
    bool m_bTemporary = false;

    // While it lives, the next window the thread creates is attached to pWnd the moment it
    // exists, so its very first messages run through pWnd's table whatever its class.
    class FX_API CCreationScope {
    public:
        explicit CCreationScope(CWnd* pWnd);
        ~CCreationScope();
        CCreationScope(const CCreationScope&) = delete;
        CCreationScope& operator=(const CCreationScope&) = delete;

    private:
        CWnd* m_pPrevInit;
        HHOOK m_hHook;
    };

private:
    friend class CDialog;
    void AttachToMap(HWND hWnd);
    void DetachFromMap();
    void AttachAtCreation(HWND hWnd);
    static LRESULT CALLBACK CreationHookProc(int nCode, WPARAM wParam, LPARAM lParam);
};

// Lets every window of the thread see a queued message before it is dispatched (for dialogs this
// includes the keyboard navigation). Returns true when the message was consumed.
FX_API BOOL AfxPreTranslateMessage(MSG* pMsg);
// Runs one message through the thread's pre-translation and dispatch; false on WM_QUIT.
FX_API BOOL AfxPumpMessage();
// Frees the temporary wrappers handed out by FromHandle.
FX_API void AfxDeleteTempMaps();
