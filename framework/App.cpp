#include "framework/App.h"

#include "framework/Wnd.h"

namespace {
CWinApp* g_pApp = nullptr;
}

CWinApp::CWinApp(LPCWSTR lpszAppName) {
    if (lpszAppName) m_strAppName = lpszAppName;
    g_pApp = this;
}

CWinApp::~CWinApp() {
    if (g_pApp == this) g_pApp = nullptr;
}

int CWinApp::Run() {
    while (AfxPumpMessage()) {
    }
    MSG msg;
    // AfxPumpMessage left WM_QUIT in the queue for outer loops; this is the outermost.
    if (::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE))
        m_nExitCode = static_cast<int>(msg.wParam);
    return ExitInstance();
}

CWinApp* AfxGetApp() { return g_pApp; }

int AfxWinMain(HINSTANCE hInstance, HINSTANCE, LPWSTR lpCmdLine, int nCmdShow) {
    CWinApp* pApp = AfxGetApp();
    if (!pApp) return -1;
    pApp->m_hInstance = hInstance;
    pApp->m_lpCmdLine = lpCmdLine;
    pApp->m_nCmdShow = nCmdShow;
    if (pApp->m_strAppName.IsEmpty()) {
        wchar_t path[MAX_PATH] = L"";
        ::GetModuleFileNameW(hInstance, path, MAX_PATH);
        CString name(path);
        name = name.Mid(name.ReverseFind(L'\\') + 1);
        int dot = name.ReverseFind(L'.');
        pApp->m_strAppName = dot > 0 ? name.Left(dot) : name;
    }
    int code;
    try {
        code = pApp->InitInstance() ? pApp->Run() : pApp->ExitInstance();
    } catch (...) {
        code = -1;
    }
    AfxDeleteTempMaps();
    return code;
}
