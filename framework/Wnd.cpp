#include "framework/Wnd.h"

#include <map>
#include <memory>
#include <mutex>

#include "framework/Gdi.h"
#include "framework/ResourceModule.h"

namespace {

// Window handle → attached object, for the whole process. Lookups come from the window's own
// thread; the lock only guards the map against windows of other threads.
std::mutex g_mapLock;
std::map<HWND, CWnd*>& PermanentMap() {
    static std::map<HWND, CWnd*> map;
    return map;
}

thread_local std::map<HWND, std::unique_ptr<CWnd>>* t_tempMap = nullptr;
// The object whose window is being created on this thread: it is attached at the first message.
thread_local CWnd* t_pWndInit = nullptr;

const wchar_t kDefaultClass[] = L"FxWnd";

}  // namespace

IMPLEMENT_DYNAMIC(CWnd, CObject)

// ---- message table of the base class (empty: everything goes to the default procedure) ----

const FxMessageMap* CWnd::GetMessageMap() const { return GetThisMessageMap(); }
const FxMessageMap* CWnd::GetThisMessageMap() {
    static const FxMsgMapEntry entries[] = {{0, 0, 0, 0, nullptr, nullptr, nullptr}};
    static const FxMessageMap map = {nullptr, &entries[0]};
    return &map;
}

// ---- lifetime and the window map ----

CWnd::CWnd() = default;

CWnd::CWnd(HWND hWnd) : m_hWnd(hWnd), m_bTemporary(true) {}

CWnd::~CWnd() {
    if (m_bTemporary || !m_hWnd) return;
    if (m_pfnSuper) {
        UnsubclassWindow();
    } else if (FromHandlePermanent(m_hWnd) == this) {
        // The window outlives its object only by mistake; take it down with the object.
        HWND h = m_hWnd;
        DetachFromMap();
        ::DestroyWindow(h);
    }
}

void CWnd::AttachToMap(HWND hWnd) {
    m_hWnd = hWnd;
    std::lock_guard<std::mutex> lock(g_mapLock);
    PermanentMap()[hWnd] = this;
}

void CWnd::DetachFromMap() {
    if (!m_hWnd) return;
    {
        std::lock_guard<std::mutex> lock(g_mapLock);
        auto it = PermanentMap().find(m_hWnd);
        if (it != PermanentMap().end() && it->second == this) PermanentMap().erase(it);
    }
    m_hWnd = nullptr;
}

CWnd* CWnd::FromHandlePermanent(HWND hWnd) {
    if (!hWnd) return nullptr;
    std::lock_guard<std::mutex> lock(g_mapLock);
    auto it = PermanentMap().find(hWnd);
    return it == PermanentMap().end() ? nullptr : it->second;
}

CWnd* CWnd::FromHandle(HWND hWnd) {
    if (!hWnd) return nullptr;
    if (CWnd* p = FromHandlePermanent(hWnd)) return p;
    if (!t_tempMap) t_tempMap = new std::map<HWND, std::unique_ptr<CWnd>>();
    auto& slot = (*t_tempMap)[hWnd];
    if (!slot) slot.reset(new CWnd(hWnd));
    return slot.get();
}

void AfxDeleteTempMaps() {
    if (t_tempMap) t_tempMap->clear();
}

BOOL CWnd::Attach(HWND hWnd) {
    if (!hWnd || m_hWnd || FromHandlePermanent(hWnd)) return FALSE;
    AttachToMap(hWnd);
    return TRUE;
}

HWND CWnd::Detach() {
    HWND h = m_hWnd;
    DetachFromMap();
    return h;
}

BOOL CWnd::SubclassWindow(HWND hWnd) {
    if (!Attach(hWnd)) return FALSE;
    WNDPROC old = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CWnd::FxWndProc)));
    if (old != &CWnd::FxWndProc) m_pfnSuper = old;
    PreSubclassWindow();
    return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT nID, CWnd* pParent) {
    HWND h = pParent ? ::GetDlgItem(pParent->m_hWnd, static_cast<int>(nID)) : nullptr;
    return h ? SubclassWindow(h) : FALSE;
}

HWND CWnd::UnsubclassWindow() {
    if (!m_hWnd) return nullptr;
    if (m_pfnSuper) {
        ::SetWindowLongPtrW(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
        m_pfnSuper = nullptr;
    }
    return Detach();
}

LPCWSTR CWnd::GetDefaultClassName() {
    static ATOM atom = [] {
        WNDCLASSEXW wc = {};
        wc.cbSize = sizeof(wc);
        wc.style = CS_DBLCLKS;
        wc.lpfnWndProc = &CWnd::FxWndProc;
        wc.hInstance = AfxGetInstanceHandle();
        wc.hCursor = ::LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        wc.lpszClassName = kDefaultClass;
        return ::RegisterClassExW(&wc);
    }();
    (void)atom;
    return kDefaultClass;
}

CWnd::CCreationScope::CCreationScope(CWnd* pWnd)
    : m_pPrevInit(t_pWndInit),
      m_hHook(
          ::SetWindowsHookExW(WH_CBT, &CWnd::CreationHookProc, nullptr, ::GetCurrentThreadId())) {
    t_pWndInit = pWnd;
}

CWnd::CCreationScope::~CCreationScope() {
    if (m_hHook) ::UnhookWindowsHookEx(m_hHook);
    t_pWndInit = m_pPrevInit;
}

LRESULT CALLBACK CWnd::CreationHookProc(int nCode, WPARAM wParam, LPARAM lParam) {
    if (nCode == HCBT_CREATEWND && t_pWndInit) {
        CWnd* pWnd = t_pWndInit;
        t_pWndInit = nullptr;
        pWnd->AttachAtCreation(reinterpret_cast<HWND>(wParam));
    }
    return ::CallNextHookEx(nullptr, nCode, wParam, lParam);
}

void CWnd::AttachAtCreation(HWND hWnd) {
    if (m_hWnd || FromHandlePermanent(hWnd)) return;
    AttachToMap(hWnd);
    // A class of our own reaches FxWndProc anyway; any other is subclassed before its first
    // message, so that its WM_NCCREATE and WM_CREATE pass through the table too.
    WNDPROC proc = reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(hWnd, GWLP_WNDPROC));
    if (proc != &CWnd::FxWndProc)
        m_pfnSuper = reinterpret_cast<WNDPROC>(
            ::SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CWnd::FxWndProc)));
}

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCWSTR lpszClassName, LPCWSTR lpszWindowName, DWORD dwStyle,
                    const RECT& rect, CWnd* pParentWnd, UINT_PTR nIDorMenu, LPVOID lpParam) {
    if (m_hWnd) return FALSE;
    if (!lpszClassName) lpszClassName = GetDefaultClassName();
    HWND h = nullptr;
    {
        CCreationScope scope(this);
        h = ::CreateWindowExW(dwExStyle, lpszClassName, lpszWindowName, dwStyle, rect.left,
                              rect.top, rect.right - rect.left, rect.bottom - rect.top,
                              pParentWnd ? pParentWnd->m_hWnd : nullptr,
                              reinterpret_cast<HMENU>(nIDorMenu), AfxGetInstanceHandle(), lpParam);
    }
    if (!h) {
        DetachFromMap();
        return FALSE;
    }
    if (!m_hWnd) SubclassWindow(h);  // the creation hook was refused: attach late
    return TRUE;
}

BOOL CWnd::Create(LPCWSTR lpszClassName, LPCWSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                  CWnd* pParentWnd, UINT nID) {
    return CreateEx(0, lpszClassName, lpszWindowName, dwStyle | WS_CHILD, rect, pParentWnd, nID);
}

BOOL CWnd::DestroyWindow() {
    if (!m_hWnd) return FALSE;
    return ::DestroyWindow(m_hWnd);
}

// ---- the window procedure and routing ----

LRESULT CALLBACK CWnd::FxWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    CWnd* pWnd = FromHandlePermanent(hWnd);
    if (!pWnd && t_pWndInit) {
        pWnd = t_pWndInit;
        t_pWndInit = nullptr;
        pWnd->AttachToMap(hWnd);
    }
    if (!pWnd) return ::DefWindowProcW(hWnd, message, wParam, lParam);
    LRESULT r = 0;
    try {
        r = pWnd->WindowProc(message, wParam, lParam);
    } catch (...) {
        // Nothing may unwind through the platform's frames; the message counts as not handled.
        r = 0;
    }
    if (message == WM_NCDESTROY) {
        WNDPROC super = pWnd->m_pfnSuper;
        pWnd->m_pfnSuper = nullptr;
        if (super) ::SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(super));
        pWnd->DetachFromMap();
        pWnd->PostNcDestroy();
    }
    return r;
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT r = 0;
    if (!OnWndMsg(message, wParam, lParam, &r)) r = DefWindowProc(message, wParam, lParam);
    return r;
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (m_pfnSuper) return ::CallWindowProcW(m_pfnSuper, m_hWnd, message, wParam, lParam);
    return ::DefWindowProcW(m_hWnd, message, wParam, lParam);
}

namespace {

const FxMsgMapEntry* FindEntry(const FxMessageMap* map, UINT message, UINT code, UINT id) {
    for (; map; map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr) {
        for (const FxMsgMapEntry* e = map->lpEntries; e->pfnThunk; ++e) {
            if (e->pRegistered) {
                if (*e->pRegistered == message && message != 0) return e;
                continue;
            }
            if (e->nMessage != message) continue;
            if (message == WM_COMMAND || message == WM_NOTIFY ||
                message == FX_WM_REFLECT_BASE + WM_COMMAND ||
                message == FX_WM_REFLECT_BASE + WM_NOTIFY) {
                if (id < e->nID || id > e->nLastID) continue;
                // Menus (0) and accelerators (1) both count as commands.
                bool codeMatches =
                    e->nCode == code || (message == WM_COMMAND && e->nCode == 0 && code == 1);
                if (!codeMatches) continue;
            }
            return e;
        }
    }
    return nullptr;
}

// The control that sent a notification to its parent, or null when the message is none.
HWND NotifyingChild(UINT message, LPARAM lParam) {
    if (message == WM_COMMAND) return reinterpret_cast<HWND>(lParam);  // null for menus
    if (message == WM_NOTIFY) {
        const NMHDR* p = reinterpret_cast<const NMHDR*>(lParam);
        return p ? p->hwndFrom : nullptr;
    }
    if (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC)
        return reinterpret_cast<HWND>(lParam);
    return nullptr;
}

}  // namespace

BOOL CWnd::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    if (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC) {
        const FxMsgMapEntry* e =
            FindEntry(GetMessageMap(), FX_WM_REFLECT_BASE + FX_WM_CTLCOLOR, 0, 0);
        if (!e) return FALSE;
        LRESULT r = e->pfnThunk(this, e->pfn, wParam, message - WM_CTLCOLORMSGBOX);
        if (!r) return FALSE;  // no brush of its own: the parent colours it
        *pResult = r;
        return TRUE;
    }
    if (message == WM_COMMAND) {
        const FxMsgMapEntry* e = FindEntry(GetMessageMap(), FX_WM_REFLECT_BASE + WM_COMMAND,
                                           HIWORD(wParam), LOWORD(wParam));
        if (!e) return FALSE;
        *pResult = 0;
        e->pfnThunk(this, e->pfn, wParam, lParam);
        return TRUE;
    }
    if (message == WM_NOTIFY) {
        NMHDR* p = reinterpret_cast<NMHDR*>(lParam);
        const FxMsgMapEntry* e = FindEntry(GetMessageMap(), FX_WM_REFLECT_BASE + WM_NOTIFY, p->code,
                                           static_cast<UINT>(p->idFrom));
        if (!e) return FALSE;
        *pResult = 0;
        (this->*fxthunk::As<void (CWnd::*)(NMHDR*, LRESULT*)>(e->pfn))(p, pResult);
        return TRUE;
    }
    return FALSE;
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    HWND hChild = NotifyingChild(message, lParam);
    if (hChild && hChild != m_hWnd) {
        CWnd* pChild = FromHandlePermanent(hChild);
        if (pChild && pChild->OnChildNotify(message, wParam, lParam, pResult)) return TRUE;
    }
    if (message == WM_COMMAND) {
        *pResult = 0;
        return OnCommand(wParam, lParam);
    }
    if (message == WM_NOTIFY) {
        *pResult = 0;
        return OnNotify(wParam, lParam, pResult);
    }
    const FxMsgMapEntry* e = FindEntry(GetMessageMap(), message, 0, 0);
    if (!e) return FALSE;
    *pResult = e->pfnThunk(this, e->pfn, wParam, lParam);
    return TRUE;
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM lParam) {
    const FxMsgMapEntry* e = FindEntry(GetMessageMap(), WM_COMMAND, HIWORD(wParam), LOWORD(wParam));
    if (!e) return FALSE;
    e->pfnThunk(this, e->pfn, wParam, lParam);
    return TRUE;
}

BOOL CWnd::OnNotify(WPARAM, LPARAM lParam, LRESULT* pResult) {
    NMHDR* p = reinterpret_cast<NMHDR*>(lParam);
    if (!p) return FALSE;
    const FxMsgMapEntry* e =
        FindEntry(GetMessageMap(), WM_NOTIFY, p->code, static_cast<UINT>(p->idFrom));
    if (!e) return FALSE;
    (this->*fxthunk::As<void (CWnd::*)(NMHDR*, LRESULT*)>(e->pfn))(p, pResult);
    return TRUE;
}

BOOL CWnd::PreTranslateMessage(MSG*) { return FALSE; }

BOOL AfxPreTranslateMessage(MSG* pMsg) {
    // From the target window up to its top-level window, each attached object gets a look.
    for (HWND h = pMsg->hwnd; h; h = ::GetParent(h)) {
        CWnd* p = CWnd::FromHandlePermanent(h);
        if (p && p->PreTranslateMessage(pMsg)) return TRUE;
        if (!(::GetWindowLongPtrW(h, GWL_STYLE) & WS_CHILD)) break;
    }
    return FALSE;
}

BOOL AfxPumpMessage() {
    MSG msg;
    if (!::GetMessageW(&msg, nullptr, 0, 0)) {
        ::PostQuitMessage(static_cast<int>(msg.wParam));  // leave it for the outer loop too
        return FALSE;
    }
    if (!AfxPreTranslateMessage(&msg)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    if (!::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE)) AfxDeleteTempMaps();
    return TRUE;
}

// ---- operations ----

BOOL CWnd::SetWindowPos(const CWnd* pInsertAfter, int x, int y, int cx, int cy, UINT nFlags) {
    return ::SetWindowPos(m_hWnd, pInsertAfter ? pInsertAfter->m_hWnd : nullptr, x, y, cx, cy,
                          nFlags);
}

void CWnd::ClientToScreen(LPRECT r) const {
    ::ClientToScreen(m_hWnd, reinterpret_cast<LPPOINT>(&r->left));
    ::ClientToScreen(m_hWnd, reinterpret_cast<LPPOINT>(&r->right));
}

void CWnd::ScreenToClient(LPRECT r) const {
    ::ScreenToClient(m_hWnd, reinterpret_cast<LPPOINT>(&r->left));
    ::ScreenToClient(m_hWnd, reinterpret_cast<LPPOINT>(&r->right));
}

CString CWnd::GetWindowText() const {
    CString s;
    int n = ::GetWindowTextLengthW(m_hWnd);
    if (n > 0) {
        ::GetWindowTextW(m_hWnd, s.GetBuffer(n + 1), n + 1);
        s.ReleaseBuffer();
    }
    return s;
}

CString CWnd::GetDlgItemText(int nID) const {
    HWND h = ::GetDlgItem(m_hWnd, nID);
    return h ? CWnd(h).GetWindowText() : CString();
}

CWnd* CWnd::GetDlgItem(int nID) const { return FromHandle(::GetDlgItem(m_hWnd, nID)); }

void CWnd::SetFont(HFONT hFont, BOOL bRedraw) {
    SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(hFont), bRedraw);
}

HFONT CWnd::GetFont() const { return reinterpret_cast<HFONT>(SendMessage(WM_GETFONT)); }

namespace {
BOOL ModifyWindowLong(HWND hWnd, int nIndex, DWORD dwRemove, DWORD dwAdd, UINT nFlags) {
    DWORD s = static_cast<DWORD>(::GetWindowLongPtrW(hWnd, nIndex));
    DWORD n = (s & ~dwRemove) | dwAdd;
    if (s == n) return FALSE;
    ::SetWindowLongPtrW(hWnd, nIndex, static_cast<LONG_PTR>(n));
    if (nFlags)
        ::SetWindowPos(hWnd, nullptr, 0, 0, 0, 0,
                       SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | nFlags);
    return TRUE;
}
}  // namespace

BOOL CWnd::ModifyStyle(DWORD dwRemove, DWORD dwAdd, UINT nFlags) {
    return ModifyWindowLong(m_hWnd, GWL_STYLE, dwRemove, dwAdd, nFlags);
}

BOOL CWnd::ModifyStyleEx(DWORD dwRemove, DWORD dwAdd, UINT nFlags) {
    return ModifyWindowLong(m_hWnd, GWL_EXSTYLE, dwRemove, dwAdd, nFlags);
}

int CWnd::MessageBox(LPCWSTR lpszText, LPCWSTR lpszCaption, UINT nType) {
    return ::MessageBoxW(m_hWnd, lpszText, lpszCaption, nType);
}
