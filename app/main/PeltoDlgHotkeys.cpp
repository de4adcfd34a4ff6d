// Registration of the global hot keys and what each one does.
#include "framework/DataExchange.h"
#include "app/main/HotkeyTable.h"
#include "app/main/PeltoDlg.h"
#include "app/res/resource.h"

const HotkeyRow kHotkeyRows[8] = {
    {1001, &CPeltoConfig::GetNewSnapHotkey, L"注册<新建截图>热键失败,请更换热键"},
    {1002, &CPeltoConfig::GetFullScreenHotkey, L"注册捕捉<整个屏幕>热键失败,请更换热键"},
    {1003, &CPeltoConfig::GetActiveWinHotkey, L"注册捕捉<活动程序窗口>热键失败,请更换热键"},
    {1004, &CPeltoConfig::GetCurrentWinHotkey, L"注册捕捉<当前窗口>热键失败,请更换热键"},
    {1005, &CPeltoConfig::GetWinClientHotkey, L"注册捕捉<活动程序客户区>热键失败,请更换热键"},
    {1006, &CPeltoConfig::GetWinObjHotkey, L"注册捕捉<界面对象>热键失败,请更换热键"},
    {1007, &CPeltoConfig::GetSelectRectHotkey, L"注册捕捉<选定区域>热键失败,请更换热键"},
    {1008, &CPeltoConfig::GetShowHideHotkey, L"注册<显示隐藏窗口>热键失败,请更换热键"},
};

UINT HotkeyModifiersForRegistration(WORD wControlModifiers) {
    UINT n = 0;
    if (wControlModifiers & HOTKEYF_SHIFT) n |= MOD_SHIFT;
    if (wControlModifiers & HOTKEYF_CONTROL) n |= MOD_CONTROL;
    if (wControlModifiers & HOTKEYF_ALT) n |= MOD_ALT;
    return n;
}

void CPeltoDlg::RegisterHotkeys(BOOL bUnregisterOnly) {
    for (const HotkeyRow& row : kHotkeyRows) ::UnregisterHotKey(m_hWnd, row.nId);
    if (bUnregisterOnly) return;
    for (const HotkeyRow& row : kHotkeyRows) {
        WORD wModifier = 0;
        WORD wVk = 0;
        (m_core.m_config.*row.pfnGet)(wModifier, wVk);
        // A key the user cleared is no hot key: nothing to register and nothing to complain about.
        if (wVk == 0) continue;
        if (!::RegisterHotKey(m_hWnd, row.nId, HotkeyModifiersForRegistration(wModifier), wVk))
            AfxMessageBox(row.pszFailure, MB_OK | MB_ICONEXCLAMATION);
    }
}

void CPeltoDlg::OnHotKey(UINT nHotKeyId, UINT, UINT) {
    switch (nHotKeyId) {
        case 1001:
            OnNewSnap();
            break;
        case 1002:
            OnSnapFullScreen();
            break;
        case 1003:
            OnSnapActiveWin();
            break;
        case 1004:
            OnSnapCurrentWin();
            break;
        case 1005:
            OnSnapWinClient();
            break;
        case 1006:
            OnSnapWinObj();
            break;
        case 1007:
            OnSnapSelectRect();
            break;
        case 1008:
            ToggleVisibility();
            break;
        default:
            break;
    }
}
