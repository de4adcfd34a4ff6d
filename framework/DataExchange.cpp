#include "framework/DataExchange.h"

#include <climits>
#include <cwchar>
#include <cwctype>

#include "framework/App.h"
#include "framework/Wnd.h"

HWND CDataExchange::PrepareCtrl(int nIDC) {
    m_idLastControl = nIDC;
    return ::GetDlgItem(m_pDlgWnd->m_hWnd, nIDC);
}

void CDataExchange::Fail(const CString& message) {
    if (m_bFailed) return;
    m_bFailed = true;
    AfxMessageBox(message, MB_ICONEXCLAMATION);
    HWND h = ::GetDlgItem(m_pDlgWnd->m_hWnd, m_idLastControl);
    if (h) {
        ::SetFocus(h);
        ::SendMessageW(h, EM_SETSEL, 0, -1);
    }
}

namespace {

// Whole-text integer parsing: optional blanks, an optional sign, digits, optional blanks; the
// value must fit the type.
bool ParseInt(const CString& text, long long minVal, long long maxVal, long long* out) {
    const wchar_t* p = text.GetString();
    while (iswspace(*p)) ++p;
    bool neg = false;
    if (*p == L'-' || *p == L'+') neg = *p++ == L'-';
    if (*p < L'0' || *p > L'9') return false;
    long long v = 0;
    for (; *p >= L'0' && *p <= L'9'; ++p) {
        v = v * 10 + (*p - L'0');
        if (v > (1LL << 40)) return false;
    }
    while (iswspace(*p)) ++p;
    if (*p) return false;
    if (neg) v = -v;
    if (v < minVal || v > maxVal) return false;
    *out = v;
    return true;
}

}  // namespace

void DDX_Text(CDataExchange* pDX, int nIDC, CString& value) {
    if (pDX->m_bFailed) return;
    HWND h = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate)
        value = CWnd(h).GetWindowText();
    else
        ::SetWindowTextW(h, value);
}

void DDX_Text(CDataExchange* pDX, int nIDC, int& value) {
    if (pDX->m_bFailed) return;
    HWND h = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) {
        long long v;
        if (!ParseInt(CWnd(h).GetWindowText(), INT_MIN, INT_MAX, &v))
            return pDX->Fail(L"请输入一个整数。");
        value = static_cast<int>(v);
    } else {
        CString s;
        s.Format(L"%d", value);
        ::SetWindowTextW(h, s);
    }
}

void DDX_Text(CDataExchange* pDX, int nIDC, UINT& value) {
    if (pDX->m_bFailed) return;
    HWND h = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) {
        long long v;
        if (!ParseInt(CWnd(h).GetWindowText(), 0, UINT_MAX, &v))
            return pDX->Fail(L"请输入一个正整数。");
        value = static_cast<UINT>(v);
    } else {
        CString s;
        s.Format(L"%u", value);
        ::SetWindowTextW(h, s);
    }
}

void DDX_Check(CDataExchange* pDX, int nIDC, int& value) {
    if (pDX->m_bFailed) return;
    HWND h = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate)
        value = static_cast<int>(::SendMessageW(h, BM_GETCHECK, 0, 0));
    else
        ::SendMessageW(h, BM_SETCHECK, static_cast<WPARAM>(value), 0);
}

void DDX_LBIndex(CDataExchange* pDX, int nIDC, int& index) {
    if (pDX->m_bFailed) return;
    HWND h = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate)
        index = static_cast<int>(::SendMessageW(h, LB_GETCURSEL, 0, 0));
    else
        ::SendMessageW(h, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void DDX_CBIndex(CDataExchange* pDX, int nIDC, int& index) {
    if (pDX->m_bFailed) return;
    HWND h = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate)
        index = static_cast<int>(::SendMessageW(h, CB_GETCURSEL, 0, 0));
    else
        ::SendMessageW(h, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& control) {
    if (pDX->m_bFailed || control.m_hWnd) return;
    HWND h = pDX->PrepareCtrl(nIDC);
    if (h) control.SubclassWindow(h);
}

void DDV_MinMaxInt(CDataExchange* pDX, int value, int minVal, int maxVal) {
    if (pDX->m_bFailed || !pDX->m_bSaveAndValidate) return;
    if (value < minVal || value > maxVal) {
        CString s;
        s.Format(L"请输入一个介于 %d 和 %d 之间的整数。", minVal, maxVal);
        pDX->Fail(s);
    }
}

void DDV_MinMaxUInt(CDataExchange* pDX, UINT value, UINT minVal, UINT maxVal) {
    if (pDX->m_bFailed || !pDX->m_bSaveAndValidate) return;
    if (value < minVal || value > maxVal) {
        CString s;
        s.Format(L"请输入一个介于 %u 和 %u 之间的整数。", minVal, maxVal);
        pDX->Fail(s);
    }
}

void DDV_MaxChars(CDataExchange* pDX, const CString& value, int nChars) {
    if (pDX->m_bFailed) return;
    HWND h = ::GetDlgItem(pDX->m_pDlgWnd->m_hWnd, pDX->m_idLastControl);
    if (!pDX->m_bSaveAndValidate) {
        if (h) ::SendMessageW(h, EM_LIMITTEXT, static_cast<WPARAM>(nChars), 0);
    } else if (value.GetLength() > nChars) {
        CString s;
        s.Format(L"请输入不超过 %d 个字符。", nChars);
        pDX->Fail(s);
    }
}

namespace {
FxMessageBoxHook g_messageBoxHook = nullptr;
}

FxMessageBoxHook AfxSetMessageBoxHook(FxMessageBoxHook hook) {
    FxMessageBoxHook old = g_messageBoxHook;
    g_messageBoxHook = hook;
    return old;
}

int AfxMessageBox(LPCWSTR lpszText, UINT nType) {
    if (g_messageBoxHook) return g_messageBoxHook(lpszText ? lpszText : L"", nType);
    HWND hOwner = ::GetActiveWindow();
    CWinApp* pApp = AfxGetApp();
    if (!hOwner && pApp && pApp->m_pMainWnd) hOwner = pApp->m_pMainWnd->m_hWnd;
    CString caption = pApp ? pApp->m_strAppName : CString();
    return ::MessageBoxW(hOwner, lpszText, caption.IsEmpty() ? nullptr : caption.GetString(),
                         nType);
}
