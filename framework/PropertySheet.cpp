#include "framework/PropertySheet.h"

#include "framework/ResourceModule.h"

namespace {
// The sheet whose window the platform is making on this thread: it is attached when the
// platform reports the window ready.
thread_local CPropertySheet* t_pSheetInit = nullptr;
}  // namespace

// ---- page ----

BEGIN_MESSAGE_MAP(CPropertyPage, CDialog)
END_MESSAGE_MAP()

CPropertyPage::CPropertyPage(UINT nIDTemplate) : CDialog(nIDTemplate), m_psp() {
    m_psp.dwSize = sizeof m_psp;
    m_psp.dwFlags = PSP_DEFAULT;
    m_psp.pszTemplate = MAKEINTRESOURCEW(nIDTemplate);
    m_psp.pfnDlgProc = &CPropertyPage::PageDlgProc;
    m_psp.lParam = reinterpret_cast<LPARAM>(this);
}

INT_PTR CALLBACK CPropertyPage::PageDlgProc(HWND hWnd, UINT message, WPARAM, LPARAM lParam) {
    if (message != WM_INITDIALOG) return FALSE;
    // The platform hands over its own copy of the page description; the object rides in lParam.
    const auto* pPsp = reinterpret_cast<const PROPSHEETPAGEW*>(lParam);
    auto* pPage = pPsp ? reinterpret_cast<CPropertyPage*>(pPsp->lParam) : nullptr;
    if (!pPage || pPage->m_hWnd) return TRUE;
    pPage->SubclassWindow(hWnd);
    try {
        return pPage->OnInitDialog();
    } catch (...) {
        return TRUE;
    }
}

BOOL CPropertyPage::OnSetActive() { return TRUE; }

BOOL CPropertyPage::OnKillActive() { return UpdateData(TRUE); }

void CPropertyPage::OnOK() {}

void CPropertyPage::OnCancel() {}

BOOL CPropertyPage::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    if (CDialog::OnNotify(wParam, lParam, pResult)) return TRUE;
    const auto* pHdr = reinterpret_cast<const NMHDR*>(lParam);
    if (!pHdr || pHdr->hwndFrom != ::GetParent(m_hWnd)) return FALSE;
    LRESULT r = 0;
    switch (pHdr->code) {
        case PSN_SETACTIVE:
            r = OnSetActive() ? 0 : -1;
            break;
        case PSN_KILLACTIVE:
            r = OnKillActive() ? FALSE : TRUE;
            break;
        case PSN_APPLY:
            // Without an Apply button, only OK applies.
            if (m_pSheet) m_pSheet->m_bConfirmed = true;
            OnOK();
            r = PSNRET_NOERROR;
            break;
        case PSN_RESET:
            OnCancel();
            break;
        default:
            return FALSE;
    }
    // Both ways back to the sheet: the procedure's result and the dialog's message result.
    ::SetWindowLongPtrW(m_hWnd, DWLP_MSGRESULT, r);
    *pResult = r;
    return TRUE;
}

BOOL CPropertyPage::OnCommand(WPARAM wParam, LPARAM lParam) {
    // OK and Cancel belong to the sheet, not to the page as they would to a dialog.
    return CWnd::OnCommand(wParam, lParam);
}

// ---- sheet ----

CPropertySheet::CPropertySheet(LPCWSTR pszCaption, CWnd* pParentWnd, UINT iSelectPage)
    : m_psh(), m_strCaption(pszCaption ? pszCaption : L""), m_pParentWnd(pParentWnd) {
    m_psh.dwSize = sizeof m_psh;
    m_psh.dwFlags = PSH_PROPSHEETPAGE | PSH_USECALLBACK;
    m_psh.nStartPage = iSelectPage;
    m_psh.pfnCallback = &CPropertySheet::SheetCallback;
}

void CPropertySheet::AddPage(CPropertyPage* pPage) {
    if (pPage) m_pages.push_back(pPage);
}

int CALLBACK CPropertySheet::SheetCallback(HWND hWnd, UINT message, LPARAM) {
    if (message == PSCB_INITIALIZED && t_pSheetInit && !t_pSheetInit->m_hWnd)
        t_pSheetInit->SubclassWindow(hWnd);
    return 0;
}

INT_PTR CPropertySheet::DoModal() {
    if (m_hWnd || m_pages.empty()) return -1;
    std::vector<PROPSHEETPAGEW> pages;
    for (CPropertyPage* pPage : m_pages) {
        pPage->m_pSheet = this;
        PROPSHEETPAGEW psp = pPage->m_psp;
        if (!psp.hInstance) psp.hInstance = AfxGetResourceHandle();
        pages.push_back(psp);
    }
    m_psh.hwndParent = m_pParentWnd ? m_pParentWnd->m_hWnd : ::GetActiveWindow();
    m_psh.hInstance = AfxGetResourceHandle();
    m_psh.pszCaption = m_strCaption.GetString();
    m_psh.nPages = static_cast<UINT>(pages.size());
    m_psh.ppsp = pages.data();
    m_bConfirmed = false;
    CPropertySheet* pPrevInit = t_pSheetInit;
    t_pSheetInit = this;
    INT_PTR r = ::PropertySheetW(&m_psh);
    t_pSheetInit = pPrevInit;
    if (m_hWnd) Detach();
    for (CPropertyPage* pPage : m_pages) pPage->m_pSheet = nullptr;
    if (r < 0) return -1;
    return m_bConfirmed ? IDOK : IDCANCEL;
}
