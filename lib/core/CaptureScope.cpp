#include "lib/core/CaptureScope.h"

CPeltoCore::CCaptureScope::CCaptureScope(CPeltoCore& core, int nMode, BusyRule rule)
    : m_core(core), m_bHoldsBusy(rule == kExclusive), m_bOpen(false) {
    if (m_bHoldsBusy) {
        if (m_core.m_bSnapping) return;
        m_core.m_bSnapping = TRUE;
    }
    m_bOpen = true;
    if (m_core.m_config.GetHideMainWnd() && m_core.m_pMainWnd)
        m_core.m_pMainWnd->ShowWindow(SW_HIDE);
    if (nMode != kKeepMode) m_core.m_config.SetSnapMode(nMode);
}

void CPeltoCore::CCaptureScope::Close() {
    if (!m_bOpen) return;
    m_bOpen = false;
    if (m_core.m_config.GetHideMainWnd() && m_core.m_pMainWnd)
        m_core.m_pMainWnd->ShowWindow(SW_SHOWNORMAL);
    m_core.m_strPathName = L"";
    m_core.m_strFileName = L"";
    if (m_core.m_config.GetAutoCopy()) m_core.CopyImageData(0);
    if (m_bHoldsBusy) m_core.m_bSnapping = FALSE;
}

void CPeltoCore::CCaptureScope::Abandon() {
    if (!m_bOpen) return;
    m_bOpen = false;
    if (m_core.m_config.GetHideMainWnd() && m_core.m_pMainWnd)
        m_core.m_pMainWnd->ShowWindow(SW_SHOWNORMAL);
    if (m_bHoldsBusy) m_core.m_bSnapping = FALSE;
}
