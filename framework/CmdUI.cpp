#include "framework/CmdUI.h"

#include "framework/Wnd.h"

namespace {

const FxMsgMapEntry* FindCommandEntry(CWnd* pTarget, UINT nCode, UINT nID) {
    for (const FxMessageMap* map = pTarget->GetMessageMap(); map;
         map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr) {
        for (const FxMsgMapEntry* e = map->lpEntries; e->pfnThunk; ++e) {
            if (e->pRegistered || e->nMessage != WM_COMMAND) continue;
            if (nID < e->nID || nID > e->nLastID) continue;
            if (e->nCode == nCode) return e;
        }
    }
    return nullptr;
}

bool IsButtonCommand(HWND hCtl) {
    if (!(::SendMessageW(hCtl, WM_GETDLGCODE, 0, 0) & DLGC_BUTTON)) return false;
    LONG_PTR style = ::GetWindowLongPtrW(hCtl, GWL_STYLE) & BS_TYPEMASK;
    return style != BS_GROUPBOX;
}

}  // namespace

void CCmdUI::Enable(BOOL bOn) {
    m_bEnableChanged = TRUE;
    if (m_hMenu) {
        ::EnableMenuItem(m_hMenu, m_nIndex, MF_BYPOSITION | (bOn ? MF_ENABLED : MF_GRAYED));
    } else if (m_hOther) {
        // A disabled control keeping the focus would strand the keyboard in the dialog.
        if (!bOn && ::GetFocus() == m_hOther) {
            HWND hParent = ::GetParent(m_hOther);
            if (hParent) ::SendMessageW(hParent, WM_NEXTDLGCTL, 0, FALSE);
        }
        if (!::IsWindowEnabled(m_hOther) != !bOn) ::EnableWindow(m_hOther, bOn);
    }
}

void CCmdUI::SetCheck(int nCheck) {
    if (m_hMenu) {
        ::CheckMenuItem(m_hMenu, m_nIndex, MF_BYPOSITION | (nCheck ? MF_CHECKED : MF_UNCHECKED));
    } else if (m_hOther) {
        if (::SendMessageW(m_hOther, BM_GETCHECK, 0, 0) != nCheck)
            ::SendMessageW(m_hOther, BM_SETCHECK, static_cast<WPARAM>(nCheck), 0);
    }
}

void CCmdUI::SetRadio(BOOL bOn) {
    if (!m_hMenu) {
        SetCheck(bOn ? 1 : 0);
        return;
    }
    MENUITEMINFOW mii = {};
    mii.cbSize = sizeof mii;
    mii.fMask = MIIM_FTYPE | MIIM_STATE;
    if (!::GetMenuItemInfoW(m_hMenu, m_nIndex, TRUE, &mii)) return;
    mii.fType = bOn ? (mii.fType | MFT_RADIOCHECK) : (mii.fType & ~MFT_RADIOCHECK);
    mii.fState = bOn ? (mii.fState | MFS_CHECKED) : (mii.fState & ~MFS_CHECKED);
    ::SetMenuItemInfoW(m_hMenu, m_nIndex, TRUE, &mii);
}

void CCmdUI::SetText(LPCWSTR lpszText) {
    if (m_hMenu) {
        MENUITEMINFOW mii = {};
        mii.cbSize = sizeof mii;
        mii.fMask = MIIM_STRING;
        mii.dwTypeData = const_cast<LPWSTR>(lpszText);
        ::SetMenuItemInfoW(m_hMenu, m_nIndex, TRUE, &mii);
    } else if (m_hOther) {
        ::SetWindowTextW(m_hOther, lpszText);
    }
}

BOOL CCmdUI::DoUpdate(CWnd* pTarget, BOOL bDisableIfNoHandler) {
    if (!pTarget) return FALSE;
    m_bEnableChanged = FALSE;
    if (const FxMsgMapEntry* e = FindCommandEntry(pTarget, CN_UPDATE_COMMAND_UI, m_nID)) {
        e->pfnThunk(pTarget, e->pfn, 0, reinterpret_cast<LPARAM>(this));
        return TRUE;
    }
    if (bDisableIfNoHandler) Enable(AfxHasCommandHandler(pTarget, m_nID));
    return FALSE;
}

namespace fxthunk {
LRESULT UpdateCmdUI(CWnd* w, FxPMSG p, WPARAM, LPARAM lp) {
    (w->*As<void (CWnd::*)(CCmdUI*)>(p))(reinterpret_cast<CCmdUI*>(lp));
    return 0;
}
}  // namespace fxthunk

BOOL AfxHasCommandHandler(CWnd* pTarget, UINT nID) {
    if (!pTarget) return FALSE;
    if (nID == IDOK || nID == IDCANCEL) {
        wchar_t cls[16] = L"";
        ::GetClassNameW(pTarget->m_hWnd, cls, 16);
        if (lstrcmpW(cls, L"#32770") == 0) return TRUE;
    }
    return FindCommandEntry(pTarget, BN_CLICKED, nID) != nullptr;
}

void UpdateDialogControls(CWnd* pParent, CWnd* pTarget, BOOL bDisableIfNoHandler) {
    if (!pParent || !pParent->m_hWnd) return;
    for (HWND h = ::GetWindow(pParent->m_hWnd, GW_CHILD); h; h = ::GetWindow(h, GW_HWNDNEXT)) {
        if (!IsButtonCommand(h)) continue;
        CCmdUI state;
        state.m_nID = static_cast<UINT>(::GetDlgCtrlID(h));
        state.m_hOther = h;
        // Check boxes and radio buttons that toggle themselves work without a command handler.
        LONG_PTR type = ::GetWindowLongPtrW(h, GWL_STYLE) & BS_TYPEMASK;
        bool autoButton =
            type == BS_AUTOCHECKBOX || type == BS_AUTO3STATE || type == BS_AUTORADIOBUTTON;
        state.DoUpdate(pTarget, bDisableIfNoHandler && !autoButton);
    }
}

void UpdateMenuCmdUI(HMENU hMenu, CWnd* pTarget) {
    if (!hMenu) return;
    int n = ::GetMenuItemCount(hMenu);
    for (int i = 0; i < n; ++i) {
        if (HMENU hSub = ::GetSubMenu(hMenu, i)) {
            UpdateMenuCmdUI(hSub, pTarget);
            continue;
        }
        UINT id = ::GetMenuItemID(hMenu, i);
        if (id == 0 || id == static_cast<UINT>(-1)) continue;  // separator
        CCmdUI state;
        state.m_nID = id;
        state.m_hMenu = hMenu;
        state.m_nIndex = static_cast<UINT>(i);
        state.DoUpdate(pTarget, FALSE);
    }
}
