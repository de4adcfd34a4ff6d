// CFileDialog: the platform's common open / save-as dialog, explorer style with a hook, so that a
// derived class sees the dialog start, each change of the file type and each confirmed name, and
// can refuse a name. The hooked dialog is used in every case: it is the one whose confirmed name
// can be read while the dialog still runs, as typed, on every platform version this system meets.
#pragma once

#include <windows.h>
#include <commdlg.h>

#include <vector>

#include "framework/Wnd.h"

class FX_API CFileDialog : public CWnd {
public:
    // lpszFilter: pairs of display text and pattern list, each field ended by '|' and the list
    // by an empty field ("Text|*.txt||"). dwSize 0 means the platform's full structure size.
    // bVistaStyle is accepted for callers written for the newer dialog; see the file comment.
    explicit CFileDialog(BOOL bOpenFileDialog, LPCWSTR lpszDefExt = nullptr,
                         LPCWSTR lpszFileName = nullptr,
                         DWORD dwFlags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                         LPCWSTR lpszFilter = nullptr, CWnd* pParentWnd = nullptr, DWORD dwSize = 0,
                         BOOL bVistaStyle = TRUE);
    ~CFileDialog() override;

    // Shows the dialog; IDOK when the user confirmed a name, IDCANCEL otherwise (also when the
    // dialog could not be shown or is already showing).
    virtual INT_PTR DoModal();

    // While the dialog runs: the path currently entered (without a default extension the dialog
    // may append later). Afterwards: the confirmed path. Empty when there is none.
    CString GetPathName() const;
    // The file-name part of GetPathName and the text after its last '.' (empty when none).
    CString GetFileName() const;
    CString GetFileExt() const;

    // Sets the extension (without '.') appended to a name typed without one; works before and
    // while the dialog runs.
    void SetDefExt(LPCWSTR lpszDefExt);

    OPENFILENAMEW& GetOFN() { return m_ofn; }
    const OPENFILENAMEW& GetOFN() const { return m_ofn; }

    BOOL m_bOpenFileDialog;
    BOOL m_bVistaStyle;
    // The filter list the dialog shows: the text given with '|' separators, or (after the
    // separators were turned into zeros) the platform's list of zero-terminated pairs.
    CString m_strFilter;
    OPENFILENAMEW m_ofn;

protected:
    // The dialog window exists and shows its first folder.
    virtual void OnInitDone();
    // The user chose another file type; GetOFN().nFilterIndex is the new one (counted from 1).
    virtual void OnTypeChange();
    // The user confirmed a name; TRUE refuses it and keeps the dialog open.
    virtual BOOL OnFileNameOK();

    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;

    CWnd* m_pParentWnd;

    DECLARE_MESSAGE_MAP()

private:
    static UINT_PTR CALLBACK HookProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
    // The platform's dialog around the hook window, which answers the CDM_ requests.
    HWND GetDialogHwnd() const { return m_hWnd ? ::GetParent(m_hWnd) : nullptr; }

    std::vector<wchar_t> m_fileBuffer;
    std::vector<wchar_t> m_titleBuffer;
    // Fixed in place: some comdlg32 builds keep the pointer given at the start and read the
    // extension through it again when the name is confirmed.
    wchar_t m_szDefExt[64] = {};
    bool m_bDefExtGiven = false;
};
