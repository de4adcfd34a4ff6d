// The application object: prepares the process, runs the main window as a modal dialog (the
// program's whole life) and shuts GDI+ down last.
#pragma once

#include "framework/App.h"

class CPeltoApp : public CWinApp {
public:
    CPeltoApp();
    ~CPeltoApp() override;
    BOOL InitInstance() override;
    int ExitInstance() override;

    // The folder of the running program file, with a trailing backslash.
    static CString GetProgramFolder();

    BOOL m_bHasUpdate;
    ULONG_PTR m_ulGdiplusToken;
};

extern CPeltoApp theApp;
