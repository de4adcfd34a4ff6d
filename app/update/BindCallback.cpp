#include "app/update/BindCallback.h"

#include <commctrl.h>

#include "app/res/resource.h"
#include "app/update/UpdateList.h"
#include "framework/FxString.h"

CBindCallback g_bindCallback;

STDMETHODIMP CBindCallback::QueryInterface(REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IBindStatusCallback) {
        *ppv = static_cast<IBindStatusCallback*>(this);
        return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP CBindCallback::OnProgress(ULONG ulProgress, ULONG ulProgressMax, ULONG, LPCWSTR) {
    HWND hDlg = m_pDlg.load();
    if (!hDlg || !::IsWindow(hDlg)) return S_OK;
    if (HWND hBar = ::GetDlgItem(hDlg, IDC_UPDATE_PROGRESS)) {
        ::SendMessageW(hBar, PBM_SETRANGE32, 0, static_cast<LPARAM>(ulProgressMax));
        ::SendMessageW(hBar, PBM_SETPOS, ulProgress, 0);
    }
    CString text;
    text.Format(L"已下载%d%%", update::ProgressPercent(ulProgress, ulProgressMax));
    ::SetDlgItemTextW(hDlg, IDC_UPDATE_STATUS, text);
    return S_OK;
}
