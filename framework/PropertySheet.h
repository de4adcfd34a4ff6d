// CPropertySheet and CPropertyPage: the platform's tabbed property sheet, run modally. Each page
// is a dialog made from its template the first time it is shown; its members are exchanged with
// its controls when it starts, and read back and validated whenever the user leaves it or
// confirms the sheet. A value that fails validation keeps the sheet open on that page.
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <prsht.h>

#include <vector>

#include "framework/Dialog.h"

class CPropertySheet;

class FX_API CPropertyPage : public CDialog {
public:
    explicit CPropertyPage(UINT nIDTemplate);

    // The description handed to the platform; a page may change its flags before the sheet runs.
    PROPSHEETPAGEW m_psp;

protected:
    // The page comes to the front; false refuses.
    virtual BOOL OnSetActive();
    // The page is about to lose the front (another page or the OK button): false keeps it.
    virtual BOOL OnKillActive();
    // The sheet was confirmed: the page's OK step (only for pages that were ever shown).
    void OnOK() override;
    // The sheet was cancelled.
    void OnCancel() override;

    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

    DECLARE_MESSAGE_MAP()

private:
    friend class CPropertySheet;
    CPropertySheet* m_pSheet = nullptr;
    static INT_PTR CALLBACK PageDlgProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
};

class FX_API CPropertySheet : public CWnd {
public:
    explicit CPropertySheet(LPCWSTR pszCaption, CWnd* pParentWnd = nullptr, UINT iSelectPage = 0);

    // Pages are shown in the order they were added; the sheet does not own them.
    void AddPage(CPropertyPage* pPage);
    int GetPageCount() const { return static_cast<int>(m_pages.size()); }

    // Runs the sheet; IDOK when the user confirmed it, IDCANCEL otherwise, -1 when it could
    // not be shown.
    virtual INT_PTR DoModal();

    // The description handed to the platform; its flags may be changed before DoModal.
    PROPSHEETHEADERW m_psh;

private:
    friend class CPropertyPage;
    static int CALLBACK SheetCallback(HWND hWnd, UINT message, LPARAM lParam);

    CString m_strCaption;
    CWnd* m_pParentWnd;
    std::vector<CPropertyPage*> m_pages;
    bool m_bConfirmed = false;
};
