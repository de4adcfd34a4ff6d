#include "app/options/OptionHotkey.h"

#include "app/res/resource.h"
#include "lib/config/PeltoConfig.h"

namespace {

struct HotkeySlot {
    int nCtrlId;
    void (CPeltoConfig::*pfnGet)(WORD& wModifier, WORD& wVk);
    void (CPeltoConfig::*pfnSet)(WORD wModifier, WORD wVk);
};

const HotkeySlot kSlots[COptionHotkey::kKeyCount] = {
    {IDC_HK_NEW_SNAP, &CPeltoConfig::GetNewSnapHotkey, &CPeltoConfig::SetNewSnapHotkey},
    {IDC_HK_FULLSCREEN, &CPeltoConfig::GetFullScreenHotkey, &CPeltoConfig::SetFullScreenHotkey},
    {IDC_HK_ACTIVE_WIN, &CPeltoConfig::GetActiveWinHotkey, &CPeltoConfig::SetActiveWinHotkey},
    {IDC_HK_CURRENT_WIN, &CPeltoConfig::GetCurrentWinHotkey, &CPeltoConfig::SetCurrentWinHotkey},
    {IDC_HK_WIN_CLIENT, &CPeltoConfig::GetWinClientHotkey, &CPeltoConfig::SetWinClientHotkey},
    {IDC_HK_WIN_OBJ, &CPeltoConfig::GetWinObjHotkey, &CPeltoConfig::SetWinObjHotkey},
    {IDC_HK_SELECT_RECT, &CPeltoConfig::GetSelectRectHotkey, &CPeltoConfig::SetSelectRectHotkey},
    {IDC_HK_SHOW_HIDE, &CPeltoConfig::GetShowHideHotkey, &CPeltoConfig::SetShowHideHotkey},
};

}  // namespace

BEGIN_MESSAGE_MAP(COptionHotkey, CPropertyPage)
ON_WM_HOTKEY()
END_MESSAGE_MAP()

COptionHotkey::COptionHotkey() : CPropertyPage(IDD_OPTION_HOTKEY), m_pairs() {
    CPeltoConfig defaults;
    ReadFrom(defaults);
}

void COptionHotkey::ReadFrom(CPeltoConfig& config) {
    for (int i = 0; i < kKeyCount; ++i)
        (config.*kSlots[i].pfnGet)(m_pairs[i].wModifier, m_pairs[i].wVk);
}

void COptionHotkey::WriteTo(CPeltoConfig& config) const {
    for (int i = 0; i < kKeyCount; ++i)
        (config.*kSlots[i].pfnSet)(m_pairs[i].wModifier, m_pairs[i].wVk);
}

void COptionHotkey::DoDataExchange(CDataExchange* pDX) {
    for (int i = 0; i < kKeyCount; ++i) DDX_Control(pDX, kSlots[i].nCtrlId, m_hotkeys[i]);
}

BOOL COptionHotkey::OnInitDialog() {
    CPropertyPage::OnInitDialog();
    for (int i = 0; i < kKeyCount; ++i)
        m_hotkeys[i].SetHotKey(m_pairs[i].wVk, m_pairs[i].wModifier);
    // The main window has let its keys go for the sheet's time, so Print Screen is usually free;
    // if another program holds it, the page simply cannot catch it.
    ::RegisterHotKey(m_hWnd, IDH_OPTION_PRINT_SCREEN, 0, VK_SNAPSHOT);
    return TRUE;
}

void COptionHotkey::OnHotKey(UINT nHotKeyId, UINT, UINT) {
    if (nHotKeyId == IDH_OPTION_PRINT_SCREEN) m_hotkeys[0].SetHotKey(VK_SNAPSHOT, 0);
}

void COptionHotkey::OnOK() {
    for (int i = 0; i < kKeyCount; ++i)
        m_hotkeys[i].GetHotKey(m_pairs[i].wVk, m_pairs[i].wModifier);
    ::UnregisterHotKey(m_hWnd, IDH_OPTION_PRINT_SCREEN);
    CPropertyPage::OnOK();
}
