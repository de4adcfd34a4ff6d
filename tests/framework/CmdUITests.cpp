// The modal loop's idle pass and the command-state handlers it runs for buttons and menus.
#include <gtest/gtest.h>

#include "framework/CmdUI.h"
#include "framework/Dialog.h"
#include "tests/framework/FrameworkTestIds.h"

namespace {

constexpr UINT kCmdChecked = 40001;
constexpr UINT kCmdRadio = 40002;
constexpr UINT kCmdNoHandler = 40003;
constexpr UINT kCmdDisabled = 40004;
constexpr UINT kButtonWithoutHandler = 1010;

class CIdleDialog : public CDialog {
public:
    CIdleDialog() : CDialog(IDD_TEST_DIALOG) {}
    HMENU m_hMenu = nullptr;
    HWND m_hLoneButton = nullptr;
    int m_nIdlePasses = 0;
    BOOL m_bLoneButtonEnabled = TRUE, m_bOkEnabled = FALSE, m_bCheckEnabled = FALSE;
    UINT m_nCheckedState = 0, m_nNoHandlerState = 0, m_nDisabledState = 0;
    UINT m_nRadioType = 0;

protected:
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        m_hLoneButton =
            ::CreateWindowExW(0, L"BUTTON", L"x", WS_CHILD | BS_PUSHBUTTON, 0, 0, 10, 10, m_hWnd,
                              reinterpret_cast<HMENU>(kButtonWithoutHandler), nullptr, nullptr);
        m_hMenu = ::CreateMenu();
        HMENU hPopup = ::CreatePopupMenu();
        HMENU hSub = ::CreatePopupMenu();
        ::AppendMenuW(hSub, MF_STRING, kCmdRadio, L"radio");
        ::AppendMenuW(hPopup, MF_STRING, kCmdChecked, L"checked");
        ::AppendMenuW(hPopup, MF_SEPARATOR, 0, nullptr);
        ::AppendMenuW(hPopup, MF_STRING, kCmdNoHandler, L"none");
        ::AppendMenuW(hPopup, MF_STRING, kCmdDisabled, L"disabled");
        ::AppendMenuW(hPopup, MF_POPUP, reinterpret_cast<UINT_PTR>(hSub), L"sub");
        ::AppendMenuW(m_hMenu, MF_POPUP, reinterpret_cast<UINT_PTR>(hPopup), L"menu");
        return TRUE;
    }
    LRESULT OnKickIdle(WPARAM, LPARAM) {
        ++m_nIdlePasses;
        UpdateDialogControls(this, this, TRUE);
        UpdateMenuCmdUI(m_hMenu, this);
        m_bLoneButtonEnabled = ::IsWindowEnabled(m_hLoneButton);
        m_bOkEnabled = ::IsWindowEnabled(::GetDlgItem(m_hWnd, IDOK));
        m_bCheckEnabled = ::IsWindowEnabled(::GetDlgItem(m_hWnd, IDC_TEST_CHECK));
        m_nCheckedState = ::GetMenuState(m_hMenu, kCmdChecked, MF_BYCOMMAND);
        m_nNoHandlerState = ::GetMenuState(m_hMenu, kCmdNoHandler, MF_BYCOMMAND);
        m_nDisabledState = ::GetMenuState(m_hMenu, kCmdDisabled, MF_BYCOMMAND);
        MENUITEMINFOW mii = {};
        mii.cbSize = sizeof mii;
        mii.fMask = MIIM_FTYPE | MIIM_STATE;
        ::GetMenuItemInfoW(m_hMenu, kCmdRadio, FALSE, &mii);
        m_nRadioType = mii.fType & MFT_RADIOCHECK ? mii.fState : 0;
        // The first idle pass is enough: the dialog was shown and its queue ran empty.
        EndDialog(IDOK);
        return 0;
    }
    void OnUpdateChecked(CCmdUI* p) { p->SetCheck(1); }
    void OnUpdateRadio(CCmdUI* p) { p->SetRadio(TRUE); }
    void OnUpdateDisabled(CCmdUI* p) { p->Enable(FALSE); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CIdleDialog, CDialog)
ON_MESSAGE(WM_KICKIDLE, OnKickIdle)
ON_UPDATE_COMMAND_UI(kCmdChecked, OnUpdateChecked)
ON_UPDATE_COMMAND_UI(kCmdRadio, OnUpdateRadio)
ON_UPDATE_COMMAND_UI(kCmdDisabled, OnUpdateDisabled)
END_MESSAGE_MAP()

}  // namespace

TEST(CmdUITest, ModalLoopRunsTheIdlePassOverButtonsAndMenus) {
    CIdleDialog dlg;
    EXPECT_EQ(dlg.DoModal(), IDOK) << "no idle pass ended the dialog";
    EXPECT_EQ(dlg.m_nIdlePasses, 1);
    EXPECT_FALSE(dlg.m_bLoneButtonEnabled) << "a button without a handler stays enabled";
    EXPECT_TRUE(dlg.m_bOkEnabled) << "the dialog's own OK was disabled";
    EXPECT_TRUE(dlg.m_bCheckEnabled) << "an automatic check box was disabled";
    EXPECT_TRUE(dlg.m_nCheckedState & MF_CHECKED);
    EXPECT_FALSE(dlg.m_nNoHandlerState & (MF_GRAYED | MF_DISABLED | MF_CHECKED));
    EXPECT_TRUE(dlg.m_nDisabledState & MF_GRAYED);
    EXPECT_TRUE(dlg.m_nRadioType & MFS_CHECKED) << "the submenu's item got no radio mark";
    ::DestroyMenu(dlg.m_hMenu);
}
