// Thin wrappers of the platform's standard controls: the object is bound to a control made from
// a dialog template (DDX_Control) and forwards to the control's messages.
#pragma once

#include "framework/Wnd.h"

class CListBox : public CWnd {
public:
    int GetCount() const { return static_cast<int>(SendMessage(LB_GETCOUNT)); }
    int GetCurSel() const { return static_cast<int>(SendMessage(LB_GETCURSEL)); }
    int SetCurSel(int nSelect) {
        return static_cast<int>(SendMessage(LB_SETCURSEL, static_cast<WPARAM>(nSelect)));
    }
    int AddString(LPCWSTR psz) {
        return static_cast<int>(SendMessage(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(psz)));
    }
    int InsertString(int nIndex, LPCWSTR psz) {
        return static_cast<int>(SendMessage(LB_INSERTSTRING, static_cast<WPARAM>(nIndex),
                                            reinterpret_cast<LPARAM>(psz)));
    }
    DWORD_PTR GetItemData(int nIndex) const {
        return static_cast<DWORD_PTR>(SendMessage(LB_GETITEMDATA, static_cast<WPARAM>(nIndex)));
    }
    int SetItemData(int nIndex, DWORD_PTR data) {
        return static_cast<int>(
            SendMessage(LB_SETITEMDATA, static_cast<WPARAM>(nIndex), static_cast<LPARAM>(data)));
    }
    void GetText(int nIndex, CString& text) const {
        text.Empty();
        int n = static_cast<int>(SendMessage(LB_GETTEXTLEN, static_cast<WPARAM>(nIndex)));
        if (n <= 0) return;
        SendMessage(LB_GETTEXT, static_cast<WPARAM>(nIndex),
                    reinterpret_cast<LPARAM>(text.GetBuffer(n + 1)));
        text.ReleaseBuffer();
    }
    void ResetContent() { SendMessage(LB_RESETCONTENT); }
};

class CEdit : public CWnd {
public:
    void SetSel(int nStart, int nEnd) {
        SendMessage(EM_SETSEL, static_cast<WPARAM>(nStart), static_cast<LPARAM>(nEnd));
    }
    void ReplaceSel(LPCWSTR psz) {
        SendMessage(EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(psz));
    }
};

class CComboBox : public CWnd {
public:
    int GetCount() const { return static_cast<int>(SendMessage(CB_GETCOUNT)); }
    int GetCurSel() const { return static_cast<int>(SendMessage(CB_GETCURSEL)); }
    int SetCurSel(int nSelect) {
        return static_cast<int>(SendMessage(CB_SETCURSEL, static_cast<WPARAM>(nSelect)));
    }
    int AddString(LPCWSTR psz) {
        return static_cast<int>(SendMessage(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(psz)));
    }
};
