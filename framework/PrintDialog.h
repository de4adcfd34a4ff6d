// The platform's print and print-setup dialogs. A CPrinterChoice keeps the printer, paper and
// orientation that a user picked (the dialogs' device-mode and device-names blocks), so that a
// later dialog opens on that choice; the dialog hands the blocks back to it when it closes.
#pragma once

#include <windows.h>

#include <commdlg.h>

#include "framework/FxApi.h"

class CWnd;

class FX_API CPrinterChoice {
public:
    CPrinterChoice() = default;
    ~CPrinterChoice() { Reset(); }
    CPrinterChoice(const CPrinterChoice&) = delete;
    CPrinterChoice& operator=(const CPrinterChoice&) = delete;

    bool IsEmpty() const { return m_hDevMode == nullptr && m_hDevNames == nullptr; }
    // Takes both blocks over (the old ones are freed when they differ).
    void Keep(HGLOBAL hDevMode, HGLOBAL hDevNames);
    void Reset();
    // The printer's device name, empty when nothing is kept.
    void GetDeviceName(wchar_t* pszName, int nChars) const;

    HGLOBAL m_hDevMode = nullptr;
    HGLOBAL m_hDevNames = nullptr;
};

class FX_API CPrintDialog {
public:
    // bPrintSetupOnly shows the setup dialog; dwFlags are PD_ flags added to the defaults.
    CPrintDialog(BOOL bPrintSetupOnly, DWORD dwFlags, CWnd* pParentWnd = nullptr,
                 CPrinterChoice* pChoice = nullptr);
    ~CPrintDialog();
    CPrintDialog(const CPrintDialog&) = delete;
    CPrintDialog& operator=(const CPrintDialog&) = delete;

    // IDOK when the user confirmed, IDCANCEL otherwise (also when there is no printer).
    INT_PTR DoModal();
    // The printer DC the dialog made (PD_RETURNDC); the caller owns it from here on.
    HDC DetachPrinterDC();

    PRINTDLGW m_pd;

private:
    CPrinterChoice* m_pChoice;
};
