#include "framework/PrintDialog.h"

#include "framework/Wnd.h"

void CPrinterChoice::Keep(HGLOBAL hDevMode, HGLOBAL hDevNames) {
    if (m_hDevMode && m_hDevMode != hDevMode) ::GlobalFree(m_hDevMode);
    if (m_hDevNames && m_hDevNames != hDevNames) ::GlobalFree(m_hDevNames);
    m_hDevMode = hDevMode;
    m_hDevNames = hDevNames;
}

void CPrinterChoice::Reset() { Keep(nullptr, nullptr); }

void CPrinterChoice::GetDeviceName(wchar_t* pszName, int nChars) const {
    if (nChars <= 0) return;
    pszName[0] = 0;
    if (!m_hDevNames) return;
    auto* names = static_cast<DEVNAMES*>(::GlobalLock(m_hDevNames));
    if (!names) return;
    lstrcpynW(pszName, reinterpret_cast<const wchar_t*>(names) + names->wDeviceOffset, nChars);
    ::GlobalUnlock(m_hDevNames);
}

CPrintDialog::CPrintDialog(BOOL bPrintSetupOnly, DWORD dwFlags, CWnd* pParentWnd,
                           CPrinterChoice* pChoice)
    : m_pd(), m_pChoice(pChoice) {
    m_pd.lStructSize = sizeof m_pd;
    m_pd.hwndOwner = pParentWnd ? pParentWnd->m_hWnd : nullptr;
    m_pd.Flags = dwFlags | PD_RETURNDC;
    if (bPrintSetupOnly) m_pd.Flags = (m_pd.Flags & ~PD_RETURNDC) | PD_PRINTSETUP;
    m_pd.nCopies = 1;
    if (pChoice) {
        m_pd.hDevMode = pChoice->m_hDevMode;
        m_pd.hDevNames = pChoice->m_hDevNames;
    }
}

CPrintDialog::~CPrintDialog() {
    if (m_pd.hDC) ::DeleteDC(m_pd.hDC);
    if (!m_pChoice) {
        if (m_pd.hDevMode) ::GlobalFree(m_pd.hDevMode);
        if (m_pd.hDevNames) ::GlobalFree(m_pd.hDevNames);
    }
}

INT_PTR CPrintDialog::DoModal() {
    BOOL ok = ::PrintDlgW(&m_pd);
    // The dialog may have replaced the blocks it was given, even when cancelled.
    if (m_pChoice) m_pChoice->Keep(m_pd.hDevMode, m_pd.hDevNames);
    return ok ? IDOK : IDCANCEL;
}

HDC CPrintDialog::DetachPrinterDC() {
    HDC h = m_pd.hDC;
    m_pd.hDC = nullptr;
    return h;
}
