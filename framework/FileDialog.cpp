#include "framework/FileDialog.h"

#include <cwchar>

namespace {

// Room for a confirmed path; the platform fails the dialog rather than truncate, so be generous.
const size_t kFileBufferChars = 32768;
const size_t kTitleBufferChars = MAX_PATH;

// The dialog whose hook window is being created on this thread.
thread_local CFileDialog* t_pInitDialog = nullptr;

CString FileNamePart(const CString& path) {
    int slash = -1;
    for (int i = 0; i < path.GetLength(); ++i) {
        if (path[i] == L'\\' || path[i] == L'/') slash = i;
    }
    return path.Mid(slash + 1);
}

}  // namespace

BEGIN_MESSAGE_MAP(CFileDialog, CWnd)
END_MESSAGE_MAP()

CFileDialog::CFileDialog(BOOL bOpenFileDialog, LPCWSTR lpszDefExt, LPCWSTR lpszFileName,
                         DWORD dwFlags, LPCWSTR lpszFilter, CWnd* pParentWnd, DWORD dwSize,
                         BOOL bVistaStyle)
    : m_bOpenFileDialog(bOpenFileDialog),
      m_bVistaStyle(bVistaStyle),
      m_ofn(),
      m_pParentWnd(pParentWnd),
      m_fileBuffer(kFileBufferChars, L'\0'),
      m_titleBuffer(kTitleBufferChars, L'\0') {
    m_ofn.lStructSize = dwSize && dwSize <= sizeof(m_ofn) ? dwSize : sizeof(m_ofn);
    m_ofn.Flags = dwFlags;
    if (lpszFileName) wcsncpy(m_fileBuffer.data(), lpszFileName, kFileBufferChars - 1);
    if (lpszDefExt && *lpszDefExt) {
        m_bDefExtGiven = true;
        SetDefExt(lpszDefExt);
    }
    if (lpszFilter) {
        m_strFilter = lpszFilter;
        m_strFilter.Replace(L'|', L'\0');
    }
}

CFileDialog::~CFileDialog() {
    // The hook window belongs to the platform's dialog; never destroy it from here.
    if (m_hWnd) UnsubclassWindow();
}

void CFileDialog::SetDefExt(LPCWSTR lpszDefExt) {
    const size_t room = sizeof(m_szDefExt) / sizeof(m_szDefExt[0]);
    wcsncpy(m_szDefExt, lpszDefExt ? lpszDefExt : L"", room - 1);
    m_szDefExt[room - 1] = L'\0';
    m_bDefExtGiven = m_bDefExtGiven || m_szDefExt[0] != L'\0';
    if (HWND hDlg = GetDialogHwnd()) {
        ::SendMessageW(hDlg, CDM_SETDEFEXT, 0, reinterpret_cast<LPARAM>(m_szDefExt));
    }
}

INT_PTR CFileDialog::DoModal() {
    if (m_hWnd) return IDCANCEL;
    m_ofn.hwndOwner = m_pParentWnd ? m_pParentWnd->m_hWnd : ::GetActiveWindow();
    m_ofn.hInstance = nullptr;
    m_ofn.lpstrFilter = m_strFilter.IsEmpty() ? nullptr : m_strFilter.GetString();
    if (m_ofn.nFilterIndex == 0 && !m_ofn.lpstrCustomFilter) m_ofn.nFilterIndex = 1;
    m_ofn.lpstrFile = m_fileBuffer.data();
    m_ofn.nMaxFile = static_cast<DWORD>(m_fileBuffer.size());
    m_titleBuffer[0] = L'\0';
    m_ofn.lpstrFileTitle = m_titleBuffer.data();
    m_ofn.nMaxFileTitle = static_cast<DWORD>(m_titleBuffer.size());
    // A save dialog always has a default extension buffer, even an empty one: a derived class may
    // set the extension while the dialog runs, and only a dialog started with one appends it.
    bool withDefExt = m_bDefExtGiven || !m_bOpenFileDialog;
    m_ofn.lpstrDefExt = withDefExt ? m_szDefExt : nullptr;
    m_ofn.Flags |= OFN_EXPLORER | OFN_ENABLEHOOK;
    m_ofn.Flags &= ~static_cast<DWORD>(OFN_ENABLETEMPLATE | OFN_ENABLETEMPLATEHANDLE);
    m_ofn.lpfnHook = &CFileDialog::HookProc;
    m_ofn.lCustData = reinterpret_cast<LPARAM>(this);

    CFileDialog* pPrevInit = t_pInitDialog;
    t_pInitDialog = this;
    BOOL ok = m_bOpenFileDialog ? ::GetOpenFileNameW(&m_ofn) : ::GetSaveFileNameW(&m_ofn);
    t_pInitDialog = pPrevInit;
    if (m_hWnd) UnsubclassWindow();  // only when the platform skipped WM_NCDESTROY
    if (!ok) m_fileBuffer[0] = L'\0';
    return ok ? IDOK : IDCANCEL;
}

UINT_PTR CALLBACK CFileDialog::HookProc(HWND hWnd, UINT message, WPARAM, LPARAM) {
    if (message != WM_INITDIALOG) return 0;
    CFileDialog* pDlg = t_pInitDialog;
    t_pInitDialog = nullptr;
    // From here on the hook window's messages pass through the message table first and reach
    // the platform's dialog procedure (and this hook, which leaves them alone) afterwards.
    if (pDlg && !pDlg->m_hWnd) pDlg->SubclassWindow(hWnd);
    return 0;
}

BOOL CFileDialog::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    auto* pNotify = reinterpret_cast<OFNOTIFYW*>(lParam);
    if (!pNotify || pNotify->hdr.hwndFrom != GetDialogHwnd())
        return CWnd::OnNotify(wParam, lParam, pResult);
    // The platform may work on its own copy of the structure; keep the type index current.
    if (pNotify->lpOFN && pNotify->lpOFN != &m_ofn)
        m_ofn.nFilterIndex = pNotify->lpOFN->nFilterIndex;
    switch (pNotify->hdr.code) {
        case CDN_INITDONE:
            OnInitDone();
            return TRUE;
        case CDN_TYPECHANGE:
            OnTypeChange();
            return TRUE;
        case CDN_FILEOK: {
            BOOL bRefuse = OnFileNameOK() ? TRUE : FALSE;
            // The platform reads the answer from the dialog's result slot, some builds also from
            // the return value.
            ::SetWindowLongPtrW(m_hWnd, DWLP_MSGRESULT, bRefuse);
            *pResult = bRefuse;
            return TRUE;
        }
    }
    return CWnd::OnNotify(wParam, lParam, pResult);
}

void CFileDialog::OnInitDone() {}
void CFileDialog::OnTypeChange() {}
BOOL CFileDialog::OnFileNameOK() { return FALSE; }

CString CFileDialog::GetPathName() const {
    HWND hDlg = GetDialogHwnd();
    if (!hDlg) return CString(m_ofn.lpstrFile ? m_ofn.lpstrFile : m_fileBuffer.data());
    std::vector<wchar_t> buf(MAX_PATH + 1, L'\0');
    for (int attempt = 0; attempt < 2; ++attempt) {
        LRESULT n = ::SendMessageW(hDlg, CDM_GETFILEPATH, static_cast<WPARAM>(buf.size()),
                                   reinterpret_cast<LPARAM>(buf.data()));
        if (n < 0) return CString();
        if (static_cast<size_t>(n) <= buf.size()) {
            buf.back() = L'\0';
            return CString(buf.data());
        }
        buf.assign(static_cast<size_t>(n) + 1, L'\0');
    }
    return CString();
}

CString CFileDialog::GetFileName() const { return FileNamePart(GetPathName()); }

CString CFileDialog::GetFileExt() const {
    CString name = GetFileName();
    int dot = name.ReverseFind(L'.');
    return dot < 0 ? CString() : name.Mid(dot + 1);
}
