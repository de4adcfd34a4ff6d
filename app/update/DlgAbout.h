// The About box: fixed texts, the maker's logo and a link to the home page with its tool tip.
#pragma once

#include "framework/Dialog.h"

class CDlgAbout : public CDialog {
public:
    explicit CDlgAbout(CWnd* pParent = nullptr);

    // The home page the link opens.
    static const wchar_t kLinkAddress[];
    static const wchar_t kLinkTip[];

protected:
    BOOL OnInitDialog() override;
    void OnLinkClick(NMHDR* pNMHDR, LRESULT* pResult);

    DECLARE_MESSAGE_MAP()
};
