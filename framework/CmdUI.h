// Command state at idle: a window names, per command id, a handler that decides whether the menu
// item or button of that id is enabled, checked or marked as the chosen one of a group. The
// dialog's modal loop sends WM_KICKIDLE when its queue runs empty; the window then walks its
// buttons (UpdateDialogControls) and its menus (UpdateMenuCmdUI) through these handlers.
#pragma once

#include <windows.h>

#include "framework/FxApi.h"
#include "framework/MessageMap.h"

#ifndef WM_KICKIDLE
#define WM_KICKIDLE 0x036A
#endif

// A code that no WM_COMMAND can carry (the real ones are 16 bits), so these entries never answer a
// command.
#define CN_UPDATE_COMMAND_UI 0xFFFFFFFFu

class CWnd;

class FX_API CCmdUI {
public:
    UINT m_nID = 0;
    HMENU m_hMenu = nullptr;  // the menu holding the item, or null for a control
    UINT m_nIndex = 0;        // the item's position in m_hMenu
    HWND m_hOther = nullptr;  // the control, or null for a menu item
    BOOL m_bEnableChanged = FALSE;

    void Enable(BOOL bOn = TRUE);
    // 0 clear, 1 checked, 2 indeterminate (buttons only; a menu shows it as checked).
    void SetCheck(int nCheck = 1);
    // The round mark of one item among exclusive choices.
    void SetRadio(BOOL bOn = TRUE);
    void SetText(LPCWSTR lpszText);

    // Runs the target's handler for m_nID. Without one, and when asked, an item that no command
    // handler serves is disabled. True when a handler ran.
    BOOL DoUpdate(CWnd* pTarget, BOOL bDisableIfNoHandler);
};

namespace fxthunk {
FX_API LRESULT UpdateCmdUI(CWnd* w, FxPMSG p, WPARAM, LPARAM lp);  // void f(CCmdUI*)
}

#define ON_UPDATE_COMMAND_UI(id, fn) \
    FX_ENTRY(WM_COMMAND, CN_UPDATE_COMMAND_UI, id, id, UpdateCmdUI, void (CWnd::*)(CCmdUI*), fn)

// True when pTarget's message table has a command handler for nID (dialogs also serve IDOK and
// IDCANCEL themselves).
FX_API BOOL AfxHasCommandHandler(CWnd* pTarget, UINT nID);
// Updates every push button and check box of pParent from pTarget's handlers.
FX_API void UpdateDialogControls(CWnd* pParent, CWnd* pTarget, BOOL bDisableIfNoHandler);
// Updates every item of hMenu and of the submenus found in it; items without a handler keep
// their state.
FX_API void UpdateMenuCmdUI(HMENU hMenu, CWnd* pTarget);
