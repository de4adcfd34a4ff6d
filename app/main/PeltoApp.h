#pragma once

#include "framework/App.h"

class CPeltoApp : public CWinApp {
public:
    CPeltoApp();
    ~CPeltoApp() override;
    BOOL InitInstance() override;
    int ExitInstance() override;

    BOOL m_bHasUpdate = 0;
    ULONG_PTR m_ulGdiplusToken = 0;
};

extern CPeltoApp theApp;
