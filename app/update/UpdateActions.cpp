// The main window's way into the update check and the About box.
#include "framework/DataExchange.h"

#include <commctrl.h>

#include "app/main/ProgramActions.h"
#include "app/update/DlgAbout.h"
#include "app/update/DlgUpdate.h"

// Longest the start of the program waits for the list file; a server that accepts and never
// answers must not keep the program from starting.
static const DWORD kStartupCheckTimeoutMs = 5000;

BOOL CheckForUpdateAtStart(const CString& strProgramFolder) {
    CWebUpdate webUpdate;
    SetUpWebUpdate(webUpdate, strProgramFolder);
    webUpdate.m_dwListTimeoutMs = kStartupCheckTimeoutMs;
    return webUpdate.CheckUpdate() ? TRUE : FALSE;
}

void RunUpdateDialog() {
    CDlgUpdate dlg;
    dlg.DoModal();
}

void RunAboutBox() {
    // The link is the platform's link control, which has its own class to register.
    INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_LINK_CLASS};
    ::InitCommonControlsEx(&icc);
    CDlgAbout dlg;
    dlg.DoModal();
}
