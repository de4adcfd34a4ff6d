// The general page of the options sheet: capture behaviour and the main window's topmost state.
#pragma once

#include "framework/PropertySheet.h"

class COptionBasic : public CPropertyPage {
public:
    COptionBasic();

    BOOL m_bPlaySnapSound = 1;
    BOOL m_bHideMainWnd = 1;
    BOOL m_bSnapOnStart = 1;
    UINT m_nSnapDelayTime = 500;
    BOOL m_bKeepOnTop = 1;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
};
