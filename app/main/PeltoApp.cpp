#include "framework/DataExchange.h"
#include "app/main/PeltoApp.h"

#include <commctrl.h>

#include "app/main/CommandLineRun.h"
#include "app/main/DpiAwareness.h"
#include "app/main/PeltoDlg.h"
#include "app/main/ProgramActions.h"
#include "lib/codec/GdiplusSession.h"

CPeltoApp theApp;

CPeltoApp::CPeltoApp() : CWinApp(L"Noram截图"), m_bHasUpdate(0), m_ulGdiplusToken(0) {}
CPeltoApp::~CPeltoApp() = default;

CString CPeltoApp::GetProgramFolder() {
    wchar_t path[MAX_PATH + 1] = L"";
    DWORD n = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    CString folder(path, static_cast<int>(n));
    int slash = folder.ReverseFind(L'\\');
    return slash >= 0 ? folder.Left(slash) + L"\\" : CString(L"\\");
}

BOOL CPeltoApp::InitInstance() {
    // Before the first window: a window made while the process is unaware stays scaled.
    MakeProcessDpiAware();
    INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&icc);
    CWinApp::InitInstance();

    if (!CGdiplusSession::Start(&m_ulGdiplusToken)) {
        AfxMessageBox(L"初始化GDI+失败", MB_OK | MB_ICONEXCLAMATION);
        return FALSE;
    }
    SetRegistryKey(L"Noram");

    // With arguments the program captures from the command line and ends: no window, no hot
    // key, no tray icon, no update check, no settings written.
    CommandLineRequest request = ParseCommandLine(ProcessArguments());
    if (request.action != CommandAction::RunProgram) {
        m_nExitCode = RunCommandLine(request);
        return FALSE;
    }

    m_bHasUpdate = CheckForUpdateAtStart(GetProgramFolder());

    {
        CPeltoDlg dlg;
        m_pMainWnd = &dlg;
        dlg.DoModal();
        m_pMainWnd = nullptr;
        // Said once, when nothing else can be done about it any more.
        if (dlg.Core().m_config.LastSaveFailed())
            AfxMessageBox(L"无法保存设置：程序所在文件夹和应用程序数据文件夹都无法写入。",
                          MB_OK | MB_ICONEXCLAMATION);
    }
    // The dialog was the program; there is no loop of our own to run.
    return FALSE;
}

int CPeltoApp::ExitInstance() {
    CGdiplusSession::Stop(&m_ulGdiplusToken);
    return CWinApp::ExitInstance();
}
