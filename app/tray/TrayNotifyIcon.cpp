#include "app/tray/TrayNotifyIcon.h"

#include "framework/App.h"
#include "framework/MessageMap.h"

const UINT g_nTaskbarCreatedMsg = ::RegisterWindowMessageW(L"TaskbarCreated");

namespace {
constexpr UINT kAnimationTimer = 1;
constexpr UINT kIconMessageAndTip = NIF_MESSAGE | NIF_ICON | NIF_TIP;
}  // namespace

// ---- animation window ----

BEGIN_MESSAGE_MAP(CTrayTimerWnd, CFrameWnd)
ON_WM_CREATE()
ON_WM_DESTROY()
ON_WM_TIMER()
END_MESSAGE_MAP()

CTrayTimerWnd::CTrayTimerWnd(CTrayNotifyIcon* pTrayIcon, const HICON* phIcons, int nNumIcons,
                             DWORD dwDelay)
    : m_pTrayIcon(pTrayIcon),
      m_phIcons(phIcons, phIcons + nNumIcons),
      m_nNumIcons(nNumIcons),
      m_dwDelay(dwDelay) {}

int CTrayTimerWnd::OnCreate(LPCREATESTRUCT) {
    m_nTimerID = SetTimer(kAnimationTimer, m_dwDelay);
    return 0;
}

void CTrayTimerWnd::OnDestroy() {
    if (m_nTimerID) KillTimer(m_nTimerID);
    m_nTimerID = 0;
}

void CTrayTimerWnd::OnTimer(UINT_PTR) {
    if (m_nNumIcons <= 0) return;
    m_nCurrentIconIndex = (m_nCurrentIconIndex + 1) % m_nNumIcons;
    m_pTrayIcon->ShowIcon(m_phIcons[static_cast<size_t>(m_nCurrentIconIndex)]);
}

// ---- re-creation window ----

BEGIN_MESSAGE_MAP(CTrayRessurectionWnd, CFrameWnd)
ON_REGISTERED_MESSAGE(g_nTaskbarCreatedMsg, OnTaskbarCreated)
END_MESSAGE_MAP()

LRESULT CTrayRessurectionWnd::OnTaskbarCreated(WPARAM, LPARAM) {
    m_pTrayIcon->Resurrect();
    return 0;
}

// ---- the icon ----

IMPLEMENT_DYNAMIC(CTrayNotifyIcon, CObject)

CTrayNotifyIcon::CTrayNotifyIcon() : m_nid() {}

CTrayNotifyIcon::~CTrayNotifyIcon() {
    if (m_pTimerWnd) {
        ::SendMessageW(m_pTimerWnd->m_hWnd, WM_CLOSE, 0, 0);
        m_pTimerWnd = nullptr;
    }
    if (m_pResurrectionWnd) {
        ::SendMessageW(m_pResurrectionWnd->m_hWnd, WM_CLOSE, 0, 0);
        m_pResurrectionWnd = nullptr;
    }
    if (m_bCreated) {
        m_nid.uFlags = 0;
        ::Shell_NotifyIconW(NIM_DELETE, &m_nid);
        m_bCreated = FALSE;
    }
}

BOOL CTrayNotifyIcon::Create(CWnd* pNotifyWnd, UINT uID, LPCWSTR pszTooltipText, HICON hIcon,
                             UINT nNotifyMessage) {
    if (!pNotifyWnd || !pNotifyWnd->m_hWnd) return FALSE;
    if (!m_pResurrectionWnd) {
        auto* pWnd = new CTrayRessurectionWnd(this);
        if (!pWnd->Create(L"CTrayNotifyIcon Resurrection Notification Window")) {
            delete pWnd;
            return FALSE;
        }
        m_pResurrectionWnd = pWnd;
    }
    m_pOwner = pNotifyWnd;
    m_nid = NOTIFYICONDATAW();
    m_nid.cbSize = sizeof m_nid;
    m_nid.hWnd = pNotifyWnd->m_hWnd;
    m_nid.uID = uID;
    m_nid.uCallbackMessage = nNotifyMessage;
    m_nid.uFlags = kIconMessageAndTip;
    m_nid.hIcon = hIcon;
    // A longer tip is cut: the field holds 127 characters and the terminator.
    lstrcpynW(m_nid.szTip, pszTooltipText ? pszTooltipText : L"", ARRAYSIZE(m_nid.szTip));
    m_bCreated = ::Shell_NotifyIconW(NIM_ADD, &m_nid);
    return m_bCreated;
}

BOOL CTrayNotifyIcon::Create(CWnd* pNotifyWnd, UINT uID, LPCWSTR pszTooltipText,
                             const HICON* phIcons, int nNumIcons, DWORD dwDelay,
                             UINT nNotifyMessage) {
    if (!phIcons || nNumIcons <= 0) return FALSE;
    if (!m_pTimerWnd) {
        auto* pWnd = new CTrayTimerWnd(this, phIcons, nNumIcons, dwDelay);
        if (!pWnd->Create(L"CTrayNotifyIcon Animation Notification Window")) {
            delete pWnd;
            return FALSE;
        }
        m_pTimerWnd = pWnd;
    }
    BOOL bResult = Create(pNotifyWnd, uID, pszTooltipText, phIcons[0], nNotifyMessage);
    m_bAnimated = TRUE;
    return bResult;
}

void CTrayNotifyIcon::ShowIcon(HICON hIcon) {
    if (!m_bCreated) return;
    m_nid.uFlags = NIF_ICON;
    m_nid.hIcon = hIcon;
    ::Shell_NotifyIconW(NIM_MODIFY, &m_nid);
}

void CTrayNotifyIcon::Resurrect() {
    if (!m_bHidden) {
        m_nid.uFlags = NIF_ICON;
        ::Shell_NotifyIconW(NIM_DELETE, &m_nid);
        m_bHidden = TRUE;
    }
    m_nid.uFlags = kIconMessageAndTip;
    ::Shell_NotifyIconW(NIM_ADD, &m_nid);
    m_bHidden = FALSE;
}

void CTrayNotifyIcon::RemoveIcon() {
    if (!m_bCreated) return;
    m_nid.uFlags = 0;
    ::Shell_NotifyIconW(NIM_DELETE, &m_nid);
    m_bCreated = FALSE;
}

LRESULT CTrayNotifyIcon::OnTrayNotification(WPARAM wParam, LPARAM lParam) {
    if (wParam != m_nid.uID) return 0;
    HINSTANCE hInst = ::GetModuleHandleW(nullptr);
    HMENU hMenu = ::LoadMenuW(hInst, MAKEINTRESOURCEW(m_nid.uID));
    if (!hMenu) return 0;
    HMENU hSub = ::GetSubMenu(hMenu, 0);
    if (hSub) {
        if (LOWORD(lParam) == WM_RBUTTONUP) {
            HMENU hShown = ::LoadMenuW(hInst, MAKEINTRESOURCEW(m_nid.uID));
            HMENU hShownSub = hShown ? ::GetSubMenu(hShown, 0) : nullptr;
            if (hShownSub) {
                POINT pt = {};
                ::GetCursorPos(&pt);
                ::SetMenuDefaultItem(hShownSub, 0, TRUE);
                HWND hOwner = m_pOwner ? m_pOwner->m_hWnd : nullptr;
                if (hOwner) ::SetForegroundWindow(hOwner);
                CWinApp* pApp = AfxGetApp();
                HWND hCmd = pApp && pApp->m_pMainWnd ? pApp->m_pMainWnd->m_hWnd : hOwner;
                ::TrackPopupMenu(hShownSub, TPM_LEFTALIGN | TPM_RIGHTBUTTON, pt.x, pt.y, 0, hCmd,
                                 nullptr);
                // Lets the menu close properly when the user clicks elsewhere.
                if (hCmd) ::PostMessageW(hCmd, WM_NULL, 0, 0);
            }
            if (hShown) ::DestroyMenu(hShown);
        } else if (LOWORD(lParam) == WM_LBUTTONDBLCLK) {
            UINT nID = ::GetMenuItemID(hSub, 0);
            if (m_pOwner && m_pOwner->m_hWnd) ::SendMessageW(m_pOwner->m_hWnd, WM_COMMAND, nID, 0);
        }
    }
    ::DestroyMenu(hMenu);
    return 1;
}
