// CDialog: a dialog made from a template in the current resource module, run modally or
// modelessly, with data exchange between its controls and member variables.
#pragma once

#include "framework/DataExchange.h"
#include "framework/Wnd.h"

// The standard command that ends the program (menus and tray menus use it).
#ifndef ID_APP_EXIT
#define ID_APP_EXIT 0xE141
#endif

class FX_API CDialog : public CWnd {
    DECLARE_DYNAMIC(CDialog)

public:
    CDialog() = default;
    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr)
        : m_nIDTemplate(nIDTemplate), m_pParentWnd(pParentWnd) {}
    ~CDialog() override;

    // Shows the dialog and runs a message loop until EndDialog; returns its result, or -1 when
    // the template cannot be made into a window.
    virtual INT_PTR DoModal();
    // Modeless.
    BOOL Create(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    void EndDialog(INT_PTR nResult);
    bool IsModal() const { return m_bModal; }

    // Data exchange: true moves control contents into the members (and validates), false the
    // members into the controls. Returns false when a value failed validation.
    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);

    void NextDlgCtrl() const { ::SendMessageW(m_hWnd, WM_NEXTDLGCTL, 0, 0); }
    void GotoDlgCtrl(HWND hCtl) const {
        ::SendMessageW(m_hWnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(hCtl), TRUE);
    }

    BOOL PreTranslateMessage(MSG* pMsg) override;

    UINT m_nIDTemplate = 0;
    CWnd* m_pParentWnd = nullptr;

protected:
    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();
    virtual void DoDataExchange(CDataExchange* pDX);
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

    static INT_PTR CALLBACK FxDlgProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

    DECLARE_MESSAGE_MAP()

private:
    // Makes the window of m_nIDTemplate, attached to this object from its first message on.
    HWND CreateFromTemplate(HWND hParent);

    bool m_bModal = false;
    bool m_bEnded = false;
    INT_PTR m_nModalResult = -1;
};
