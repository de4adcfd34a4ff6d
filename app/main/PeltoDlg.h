#pragma once

#include "framework/Dialog.h"

// The program's main window.
class CPeltoDlg : public CDialog {
public:
    explicit CPeltoDlg(CWnd* pParent = nullptr);

protected:
    BOOL OnInitDialog() override;

    DECLARE_MESSAGE_MAP()
};
