#include "app/main/PeltoApp.h"

#include <commctrl.h>

#include "app/main/PeltoDlg.h"

CPeltoApp theApp;

CPeltoApp::CPeltoApp() = default;
CPeltoApp::~CPeltoApp() = default;

BOOL CPeltoApp::InitInstance() {
    INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&icc);
    SetRegistryKey(L"Noram");

    CPeltoDlg dlg;
    m_pMainWnd = &dlg;
    dlg.DoModal();
    m_pMainWnd = nullptr;
    // The dialog was the program; there is no loop of our own to run.
    return FALSE;
}

int CPeltoApp::ExitInstance() { return CWinApp::ExitInstance(); }
