#include "framework/Dialog.h"

#include "framework/App.h"
#include "framework/CmdUI.h"
#include "framework/ResourceModule.h"

IMPLEMENT_DYNAMIC(CDialog, CWnd)

BEGIN_MESSAGE_MAP(CDialog, CWnd)
END_MESSAGE_MAP()

CDialog::~CDialog() {
    if (m_hWnd) ::DestroyWindow(m_hWnd);
}

INT_PTR CALLBACK CDialog::FxDlgProc(HWND hWnd, UINT message, WPARAM, LPARAM lParam) {
    if (message != WM_INITDIALOG) return FALSE;
    CDialog* pDlg = reinterpret_cast<CDialog*>(lParam);
    if (!pDlg) return TRUE;
    // Normally the creation scope has attached the dialog already, so that every message of it,
    // WM_CREATE included, passes through the message table first and only then through the
    // platform's dialog procedure (which calls back here and gets FALSE).
    if (pDlg->m_hWnd != hWnd) {
        if (pDlg->m_hWnd) return TRUE;
        pDlg->AttachAtCreation(hWnd);
    }
    try {
        return pDlg->OnInitDialog();
    } catch (...) {
        return TRUE;
    }
}

INT_PTR CDialog::DoModal() {
    if (m_hWnd) return -1;
    HWND hParent = m_pParentWnd ? m_pParentWnd->m_hWnd : ::GetActiveWindow();
    m_bModal = true;
    m_bEnded = false;
    m_nModalResult = -1;
    // The owner is disabled before the dialog exists: OnInitDialog may wait a long time (a
    // download, a list of windows), and the owner's commands must not start anything meanwhile.
    bool bParentDisabled = false;
    if (hParent && ::IsWindowEnabled(hParent)) {
        ::EnableWindow(hParent, FALSE);
        bParentDisabled = true;
    }
    HWND h = CreateFromTemplate(hParent);
    if (!h) {
        if (bParentDisabled) ::EnableWindow(hParent, TRUE);
        m_bModal = false;
        return -1;
    }
    if (!m_bEnded && !::IsWindowVisible(h)) ::ShowWindow(h, SW_SHOWNORMAL);
    // Each time the queue runs empty the dialog gets one WM_KICKIDLE, so that it can bring its
    // menus and buttons up to date before the user sees them again.
    bool bIdle = true;
    LPARAM nIdleCount = 0;
    while (!m_bEnded && ::IsWindow(h)) {
        MSG peek;
        if (bIdle && !::PeekMessageW(&peek, nullptr, 0, 0, PM_NOREMOVE)) {
            ::SendMessageW(h, WM_KICKIDLE, MSGF_DIALOGBOX, nIdleCount++);
            bIdle = false;
            continue;
        }
        bIdle = true;
        if (!AfxPumpMessage()) {
            if (!m_bEnded) m_nModalResult = IDCANCEL;
            break;
        }
    }
    if (bParentDisabled) {
        ::EnableWindow(hParent, TRUE);
        if (::GetActiveWindow() == h) ::SetActiveWindow(hParent);
    }
    if (::IsWindow(h)) ::DestroyWindow(h);
    m_bModal = false;
    return m_nModalResult;
}

BOOL CDialog::Create(UINT nIDTemplate, CWnd* pParentWnd) {
    if (m_hWnd) return FALSE;
    m_nIDTemplate = nIDTemplate;
    m_pParentWnd = pParentWnd;
    m_bModal = false;
    m_bEnded = false;
    return CreateFromTemplate(pParentWnd ? pParentWnd->m_hWnd : nullptr) != nullptr;
}

HWND CDialog::CreateFromTemplate(HWND hParent) {
    CCreationScope scope(this);
    HWND h = ::CreateDialogParamW(AfxGetResourceHandle(), MAKEINTRESOURCEW(m_nIDTemplate), hParent,
                                  &CDialog::FxDlgProc, reinterpret_cast<LPARAM>(this));
    if (!h) DetachFromMap();
    return h;
}

void CDialog::EndDialog(INT_PTR nResult) {
    m_nModalResult = nResult;
    m_bEnded = true;
    if (!m_hWnd) return;
    if (m_bModal)
        ::PostMessageW(m_hWnd, WM_NULL, 0, 0);  // wake the loop
    else
        ::ShowWindow(m_hWnd, SW_HIDE);
}

BOOL CDialog::UpdateData(BOOL bSaveAndValidate) {
    CDataExchange dx(this, bSaveAndValidate);
    try {
        DoDataExchange(&dx);
    } catch (...) {
        return FALSE;
    }
    return !dx.m_bFailed;
}

BOOL CDialog::OnInitDialog() {
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK() {
    if (!UpdateData(TRUE)) return;
    EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

void CDialog::DoDataExchange(CDataExchange*) {}

BOOL CDialog::OnCommand(WPARAM wParam, LPARAM lParam) {
    if (CWnd::OnCommand(wParam, lParam)) return TRUE;
    UINT code = HIWORD(wParam);
    if (code != BN_CLICKED && !(code == 1 && lParam == 0)) return FALSE;
    switch (LOWORD(wParam)) {
        case IDOK:
            OnOK();
            return TRUE;
        case IDCANCEL:
            OnCancel();
            return TRUE;
        case ID_APP_EXIT:
            // The application's exit command closes its main window, which ends the program.
            if (AfxGetApp() && AfxGetApp()->m_pMainWnd == this) {
                ::PostMessageW(m_hWnd, WM_CLOSE, 0, 0);
                return TRUE;
            }
            break;
    }
    return FALSE;
}

BOOL CDialog::PreTranslateMessage(MSG* pMsg) {
    if (pMsg->message < WM_KEYFIRST || pMsg->message > WM_KEYLAST) return FALSE;
    if (pMsg->hwnd != m_hWnd && !::IsChild(m_hWnd, pMsg->hwnd)) return FALSE;
    return ::IsDialogMessageW(m_hWnd, pMsg);
}
