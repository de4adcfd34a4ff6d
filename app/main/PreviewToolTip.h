// The tool tip of the preview area: one tool for one control, fed with the dialog's mouse messages
// by relay (the control is a static, which does not forward them itself).
#pragma once

#include <windows.h>

#include <commctrl.h>

class CPreviewToolTip {
public:
    CPreviewToolTip() = default;
    ~CPreviewToolTip() {
        if (m_hWnd) ::DestroyWindow(m_hWnd);
    }
    CPreviewToolTip(const CPreviewToolTip&) = delete;
    CPreviewToolTip& operator=(const CPreviewToolTip&) = delete;

    BOOL Create(HWND hOwner) {
        m_hWnd = ::CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP, CW_USEDEFAULT,
                                   CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hOwner, nullptr,
                                   ::GetModuleHandleW(nullptr), nullptr);
        return m_hWnd != nullptr;
    }
    void Activate(BOOL bActivate) { ::SendMessageW(m_hWnd, TTM_ACTIVATE, bActivate, 0); }
    BOOL AddTool(HWND hOwner, HWND hTool, LPCWSTR lpszText) {
        TTTOOLINFOW ti = {};
        ti.cbSize = TTTOOLINFOW_V2_SIZE;
        ti.uFlags = TTF_IDISHWND;
        ti.hwnd = hOwner;
        ti.uId = reinterpret_cast<UINT_PTR>(hTool);
        ti.lpszText = const_cast<LPWSTR>(lpszText);
        return static_cast<BOOL>(
            ::SendMessageW(m_hWnd, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti)));
    }
    void RelayEvent(MSG* pMsg) {
        if (m_hWnd) ::SendMessageW(m_hWnd, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(pMsg));
    }

    HWND m_hWnd = nullptr;
};
