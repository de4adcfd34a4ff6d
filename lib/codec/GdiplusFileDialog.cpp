#include "lib/codec/GdiplusFileDialog.h"

#include "lib/codec/GdiplusSession.h"

// ---- common part ----

BEGIN_MESSAGE_MAP(CGdiplusFileDialog, CFileDialog)
ON_WM_DESTROY()
END_MESSAGE_MAP()

CGdiplusFileDialog::CGdiplusFileDialog(BOOL bOpenFileDialog, LPCWSTR lpszFileName, DWORD dwFlags,
                                       CWnd* pParentWnd)
    : CFileDialog(bOpenFileDialog, nullptr, lpszFileName, dwFlags, nullptr, pParentWnd, 0, TRUE) {}

CGdiplusFileDialog::~CGdiplusFileDialog() = default;

INT_PTR CGdiplusFileDialog::DoModal() {
    if (m_hWnd) return IDCANCEL;
    if (!IsGdiplusReady()) return IDCANCEL;
    INT_PTR nResult = IDCANCEL;
    try {
        FillCodecInfoArray();
        ConstructMFCStyleFilter();
        TranslateFilter();
        nResult = CFileDialog::DoModal();
    } catch (...) {
        nResult = IDCANCEL;
    }
    m_arrCodecs.clear();  // when the window never came up, OnDestroy did not run
    return nResult;
}

void CGdiplusFileDialog::TranslateFilter() {
    if (m_strFilter.IsEmpty()) return;
    m_strFilter.Replace(L'|', L'\0');
    m_ofn.lpstrFilter = m_strFilter.GetString();
}

void CGdiplusFileDialog::OnDestroy() {
    DefWindowProc(WM_DESTROY, 0, 0);
    m_arrCodecs.clear();
}

// ---- open ----

BEGIN_MESSAGE_MAP(CGdiplusFileOpenDialog, CGdiplusFileDialog)
END_MESSAGE_MAP()

CGdiplusFileOpenDialog::CGdiplusFileOpenDialog(LPCWSTR lpszFileName, DWORD dwFlags,
                                               CWnd* pParentWnd)
    : CGdiplusFileDialog(TRUE, lpszFileName, dwFlags, pParentWnd) {}

void CGdiplusFileOpenDialog::FillCodecInfoArray() { FillGdiplusCodecArray(FALSE, m_arrCodecs); }

void CGdiplusFileOpenDialog::ConstructMFCStyleFilter() {
    m_strFilter = BuildOpenImageFilter(m_arrCodecs);
}

// ---- save as ----

BEGIN_MESSAGE_MAP(CGdiplusFileSaveAsDialog, CGdiplusFileDialog)
END_MESSAGE_MAP()

CGdiplusFileSaveAsDialog::CGdiplusFileSaveAsDialog(LPCWSTR lpszFileName, DWORD dwFlags,
                                                   CWnd* pParentWnd)
    : CGdiplusFileDialog(FALSE, lpszFileName, dwFlags, pParentWnd), m_clsidCodec() {}

void CGdiplusFileSaveAsDialog::FillCodecInfoArray() { FillGdiplusCodecArray(TRUE, m_arrCodecs); }

void CGdiplusFileSaveAsDialog::ConstructMFCStyleFilter() {
    m_strFilter = BuildSaveImageFilter(m_arrCodecs);
}

CLSID CGdiplusFileSaveAsDialog::GetCodecCLSID() const { return m_clsidCodec; }

CString CGdiplusFileSaveAsDialog::GetFileExt() const { return GetPathExtension(GetPathName()); }

const CGdiplusCodecInfo* CGdiplusFileSaveAsDialog::GetChosenCodec() const {
    DWORD nType = GetOFN().nFilterIndex;  // counted from 1
    if (nType < 1 || nType > m_arrCodecs.size()) return nullptr;
    return m_arrCodecs[nType - 1].get();
}

void CGdiplusFileSaveAsDialog::SetDefaultExt() {
    if (const CGdiplusCodecInfo* pCodec = GetChosenCodec()) SetDefExt(pCodec->GetDefExt());
}

void CGdiplusFileSaveAsDialog::SetCurrentCodecCLSID() {
    if (const CGdiplusCodecInfo* pCodec = GetChosenCodec()) m_clsidCodec = pCodec->GetCLSID();
}

void CGdiplusFileSaveAsDialog::OnInitDone() {
    CGdiplusFileDialog::OnInitDone();
    SetDefaultExt();
    SetCurrentCodecCLSID();
}

void CGdiplusFileSaveAsDialog::OnTypeChange() {
    CGdiplusFileDialog::OnTypeChange();
    SetDefaultExt();
    SetCurrentCodecCLSID();
}

BOOL CGdiplusFileSaveAsDialog::OnFileNameOK() {
    // With no encoder for the chosen type there is nothing that could write the file.
    const CGdiplusCodecInfo* pChosen = GetChosenCodec();
    if (!pChosen) return TRUE;
    CString strExt = GetFileExt();
    if (strExt.IsEmpty()) {
        // The dialog appends the chosen type's extension.
        m_clsidCodec = pChosen->GetCLSID();
        return CGdiplusFileDialog::OnFileNameOK();
    }
    // A typed extension that an encoder knows wins over the chosen type; one that none knows
    // is refused without a word, and the dialog stays open.
    int index = FindCodecByExtension(m_arrCodecs, strExt);
    if (index < 0) return TRUE;
    m_clsidCodec = m_arrCodecs[static_cast<size_t>(index)]->GetCLSID();
    return CGdiplusFileDialog::OnFileNameOK();
}
