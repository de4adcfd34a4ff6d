// The application object: one per program, constructed as a global; the entry point (linked from
// the FxMain object library) runs InitInstance, then the message loop when InitInstance returns
// true, then ExitInstance.
#pragma once

#include <windows.h>

#include "framework/FxApi.h"
#include "framework/FxString.h"

class CWnd;

class FX_API CWinApp {
public:
    explicit CWinApp(LPCWSTR lpszAppName = nullptr);
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    virtual BOOL InitInstance() { return TRUE; }
    virtual int ExitInstance() { return m_nExitCode; }
    // Runs the thread's message loop until WM_QUIT; returns ExitInstance's result.
    virtual int Run();

    // The registry key under HKEY_CURRENT_USER\Software for the program's settings.
    void SetRegistryKey(LPCWSTR lpszRegistryKey) { m_strRegistryKey = lpszRegistryKey; }

    HINSTANCE m_hInstance = nullptr;
    LPWSTR m_lpCmdLine = nullptr;
    int m_nCmdShow = SW_SHOWNORMAL;
    CString m_strAppName;
    CString m_strRegistryKey;
    CWnd* m_pMainWnd = nullptr;
    int m_nExitCode = 0;
};

FX_API CWinApp* AfxGetApp();
// The body of the program's entry point.
FX_API int AfxWinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPWSTR lpCmdLine, int nCmdShow);
