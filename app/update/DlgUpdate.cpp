#include "framework/DataExchange.h"
#include "app/update/DlgUpdate.h"

#include <shellapi.h>

#include "app/main/PeltoApp.h"
#include "app/res/resource.h"
#include "app/update/BindCallback.h"
#include "app/update/FileVersionInfo.h"
#include "lib/config/AppPath.h"

BEGIN_MESSAGE_MAP(CDlgUpdate, CDialog)
END_MESSAGE_MAP()

CString UpdateServerRoot() {
    wchar_t buf[1024] = L"";
    DWORD n = ::GetEnvironmentVariableW(L"PELTO_UPDATE_ROOT", buf, 1024);
    CString root = n > 0 && n < 1024 ? CString(buf, static_cast<int>(n))
                                     : CString(L"https://www.noramsoft.com");
    while (!root.IsEmpty() && root[root.GetLength() - 1] == L'/')
        root = root.Left(root.GetLength() - 1);
    return root;
}

// Where the downloads go: the given folder (the program's), or where nothing can be written
// there (an installed copy under Program Files) a folder of ours in the user's temporary folder.
static CString DownloadFolder(const CString& strFolder) {
    if (CanCreateFilesIn(strFolder)) return strFolder;
    wchar_t temp[MAX_PATH + 1] = L"";
    DWORD n = ::GetTempPathW(MAX_PATH + 1, temp);
    if (n == 0 || n > MAX_PATH) return strFolder;
    CString folder = CString(temp) + L"Pelto\\";
    ::CreateDirectoryW(folder, nullptr);
    return folder;
}

void SetUpWebUpdate(CWebUpdate& webUpdate, const CString& strFolder) {
    webUpdate.SetLocalDir(DownloadFolder(strFolder), FALSE);
    CString root = UpdateServerRoot();
    webUpdate.m_strListUrl = root + L"/soft/pelto/update.txt";
    webUpdate.m_strBaseUrl = root + L"/soft/pelto";
    FileVersionInfo version;
    version.Create(static_cast<HMODULE>(nullptr));
    webUpdate.m_strCurVersion = version.GetFileVersion();
}

CDlgUpdate::CDlgUpdate(CWnd* pParent) : CDialog(IDD_UPDATE, pParent), m_bUpdateFound(FALSE) {}

void CDlgUpdate::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_UPDATE_INFO, m_strInfo);
}

BOOL CDlgUpdate::OnInitDialog() {
    CDialog::OnInitDialog();
    SetUpWebUpdate(m_webUpdate, CPeltoApp::GetProgramFolder());
    m_bUpdateFound = m_webUpdate.CheckUpdate();
    if (!m_bUpdateFound) {
        EndDialog(IDOK);
        return TRUE;
    }
    m_strInfo.Format(L"版本：%s\r\n\r\n%s", m_webUpdate.GetNewVersion().GetString(),
                     m_webUpdate.GetDescription().GetString());
    UpdateData(FALSE);
    return TRUE;
}

void CDlgUpdate::OnOK() {
    if (m_bDownloading) return;
    if (m_bUpdateFound && !m_webUpdate.GetFileName().IsEmpty()) {
        m_bDownloading = true;
        ::EnableWindow(GetDlgItemHwnd(IDOK), FALSE);
        g_bindCallback.m_pDlg = m_hWnd;
        bool ok = m_webUpdate.DownloadInstaller();
        g_bindCallback.m_pDlg = nullptr;
        m_bDownloading = false;
        DownloadResult result = m_webUpdate.GetLastResult();
        if (ok) {
            CString path = m_webUpdate.GetLocalDir() + m_webUpdate.GetFileName();
            ::ShellExecuteW(nullptr, L"open", path, nullptr, L"", SW_SHOW);
        } else if (result == DownloadResult::Cancelled) {
            // The user stopped the download: the program goes on as after "取消".
            EndDialog(IDCANCEL);
            return;
        } else if (result == DownloadResult::Rejected) {
            AfxMessageBox(L"下载的安装程序校验失败，已删除，请稍后重试。",
                          MB_OK | MB_ICONEXCLAMATION);
        }
    }
    EndDialog(IDOK);
    CWinApp* pApp = AfxGetApp();
    if (pApp && pApp->m_pMainWnd && pApp->m_pMainWnd->m_hWnd)
        pApp->m_pMainWnd->PostMessage(WM_CLOSE);
}

void CDlgUpdate::OnCancel() {
    // During the download "取消" stops it; the handler of "更新" then closes the dialog.
    if (m_bDownloading) {
        m_webUpdate.Cancel();
        return;
    }
    CDialog::OnCancel();
}
