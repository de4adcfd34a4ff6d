// The chooser of program windows: lists them, brings each to the front while it is selected and
// hands the chosen one to the engine.
#pragma once

#include "framework/Controls.h"
#include "framework/Dialog.h"
#include "lib/PeltoLibApi.h"

class PELTOLIB_API CDlgActiveWin : public CDialog {
    DECLARE_DYNAMIC(CDlgActiveWin)

public:
    explicit CDlgActiveWin(CWnd* pParent = nullptr);
    ~CDlgActiveWin() override;

    HWND GetSelWnd() const { return m_hSelWnd; }

    CListBox m_listWnd;
    CString m_strWndTitle;
    HWND m_hSelWnd = nullptr;

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    void OnOK() override;
    void OnSelChangeWndList();
    void OnDblClkWndList();

    DECLARE_MESSAGE_MAP()
};
