#include "framework/DataExchange.h"
#include "app/update/DlgAbout.h"

#include <commctrl.h>
#include <shellapi.h>

#include "app/res/resource.h"

const wchar_t CDlgAbout::kLinkAddress[] = L"https://www.noramsoft.com/";
const wchar_t CDlgAbout::kLinkTip[] = L"访问Noram软件官网";

BEGIN_MESSAGE_MAP(CDlgAbout, CDialog)
ON_NOTIFY(NM_CLICK, IDC_ABOUT_LINK, OnLinkClick)
ON_NOTIFY(NM_RETURN, IDC_ABOUT_LINK, OnLinkClick)
END_MESSAGE_MAP()

CDlgAbout::CDlgAbout(CWnd* pParent) : CDialog(IDD_ABOUTBOX, pParent) {}

BOOL CDlgAbout::OnInitDialog() {
    CDialog::OnInitDialog();
    HWND hLink = GetDlgItemHwnd(IDC_ABOUT_LINK);
    if (!hLink) return TRUE;
    // The tool tip belongs to the dialog and goes with it.
    HWND hTip =
        ::CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                          CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, m_hWnd,
                          nullptr, ::GetModuleHandleW(nullptr), nullptr);
    if (!hTip) return TRUE;
    TOOLINFOW ti = {};
    ti.cbSize = sizeof ti;
    ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    ti.hwnd = m_hWnd;
    ti.uId = reinterpret_cast<UINT_PTR>(hLink);
    ti.lpszText = const_cast<LPWSTR>(kLinkTip);
    ::SendMessageW(hTip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
    // Wide enough that the tip is never cut or wrapped.
    ::SendMessageW(hTip, TTM_SETMAXTIPWIDTH, 0, 600);
    ::SendMessageW(hTip, TTM_ACTIVATE, TRUE, 0);
    return TRUE;
}

void CDlgAbout::OnLinkClick(NMHDR* pNMHDR, LRESULT* pResult) {
    const NMLINK* pLink = reinterpret_cast<const NMLINK*>(pNMHDR);
    const wchar_t* url = pLink->item.szUrl[0] ? pLink->item.szUrl : kLinkAddress;
    ::ShellExecuteW(nullptr, L"open", url, nullptr, L"", SW_SHOWNORMAL);
    *pResult = 0;
}
