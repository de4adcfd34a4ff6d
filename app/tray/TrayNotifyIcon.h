// The program's icon in the notification area: added once, re-added when the taskbar comes back,
// optionally cycling through a list of icons, with a menu of its own on a right click.
#pragma once

#include <windows.h>

#include <shellapi.h>

#include <vector>

#include "framework/FrameWnd.h"
#include "framework/Object.h"

class CTrayNotifyIcon;

// The number of the message the taskbar broadcasts when it starts again.
extern const UINT g_nTaskbarCreatedMsg;

// Hidden window whose timer shows the next icon of the list.
class CTrayTimerWnd : public CFrameWnd {
public:
    CTrayTimerWnd(CTrayNotifyIcon* pTrayIcon, const HICON* phIcons, int nNumIcons, DWORD dwDelay);

protected:
    int OnCreate(LPCREATESTRUCT lpCreateStruct);
    void OnDestroy();
    void OnTimer(UINT_PTR nIDEvent);

    CTrayNotifyIcon* m_pTrayIcon;
    std::vector<HICON> m_phIcons;
    int m_nNumIcons;
    DWORD m_dwDelay;
    UINT_PTR m_nTimerID = 0;
    int m_nCurrentIconIndex = 0;

    DECLARE_MESSAGE_MAP()
};

// Hidden window that puts the icon back when the taskbar is re-created.
class CTrayRessurectionWnd : public CFrameWnd {
public:
    explicit CTrayRessurectionWnd(CTrayNotifyIcon* pTrayIcon) : m_pTrayIcon(pTrayIcon) {}

protected:
    LRESULT OnTaskbarCreated(WPARAM wParam, LPARAM lParam);

    CTrayNotifyIcon* m_pTrayIcon;

    DECLARE_MESSAGE_MAP()
};

class CTrayNotifyIcon : public CObject {
    DECLARE_DYNAMIC(CTrayNotifyIcon)

public:
    CTrayNotifyIcon();
    ~CTrayNotifyIcon() override;
    CTrayNotifyIcon(const CTrayNotifyIcon&) = delete;
    CTrayNotifyIcon& operator=(const CTrayNotifyIcon&) = delete;

    BOOL Create(CWnd* pNotifyWnd, UINT uID, LPCWSTR pszTooltipText, HICON hIcon,
                UINT nNotifyMessage);
    BOOL Create(CWnd* pNotifyWnd, UINT uID, LPCWSTR pszTooltipText, const HICON* phIcons,
                int nNumIcons, DWORD dwDelay, UINT nNotifyMessage);
    // The owner hands the callback message here: wParam the icon id, lParam the mouse message.
    virtual LRESULT OnTrayNotification(WPARAM wParam, LPARAM lParam);
    // Takes the icon out of the notification area now (the owner does this when it closes).
    void RemoveIcon();

    BOOL IsCreated() const { return m_bCreated; }
    const NOTIFYICONDATAW& IconData() const { return m_nid; }

    // Used by the hidden windows.
    void ShowIcon(HICON hIcon);
    void Resurrect();

protected:
    NOTIFYICONDATAW m_nid;
    BOOL m_bCreated = FALSE;
    BOOL m_bHidden = FALSE;
    CWnd* m_pOwner = nullptr;
    CTrayTimerWnd* m_pTimerWnd = nullptr;
    CTrayRessurectionWnd* m_pResurrectionWnd = nullptr;
    BOOL m_bAnimated = FALSE;
};
