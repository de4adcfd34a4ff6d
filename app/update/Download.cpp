#include "app/update/Download.h"

#include <urlmon.h>

#include <memory>

#include "app/update/BindCallback.h"

namespace {

// What one worker thread needs. The job, not the process-wide callback, is handed to the platform,
// so that an abandoned download still running in the background cannot mix its HTTP status or
// its cancellation into the next one; progress goes on to g_bindCallback.
class CDownloadJob : public IBindStatusCallback, public IHttpNegotiate, public IServiceProvider {
public:
    CString m_strUrl;
    CString m_strTempPath;
    std::atomic<HRESULT> m_hr{E_FAIL};
    std::atomic<DWORD> m_dwHttpStatus{0};
    std::atomic<bool> m_bAbandoned{false};
    ULONGLONG m_nMaxBytes = 0;
    // Who comes second, the finished worker or the waiter giving up, removes the temporary file.
    enum { kRunning, kFinished, kAbandoned };
    std::atomic<int> m_nState{kRunning};

    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
        if (!ppv) return E_POINTER;
        if (riid == IID_IUnknown || riid == IID_IBindStatusCallback)
            *ppv = static_cast<IBindStatusCallback*>(this);
        else if (riid == IID_IHttpNegotiate)
            *ppv = static_cast<IHttpNegotiate*>(this);
        else if (riid == IID_IServiceProvider)
            *ppv = static_cast<IServiceProvider*>(this);
        else {
            *ppv = nullptr;
            return E_NOINTERFACE;
        }
        return S_OK;
    }
    // The worker thread's shared ownership keeps the job alive for as long as the platform uses it.
    STDMETHODIMP_(ULONG) AddRef() override { return 1; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }

    STDMETHODIMP OnStartBinding(DWORD, IBinding*) override { return E_NOTIMPL; }
    STDMETHODIMP GetPriority(LONG*) override { return E_NOTIMPL; }
    STDMETHODIMP OnLowResource(DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP OnProgress(ULONG ulProgress, ULONG ulProgressMax, ULONG ulStatusCode,
                            LPCWSTR szStatusText) override {
        if (m_bAbandoned) return E_ABORT;
        if (m_nMaxBytes && (ulProgress > m_nMaxBytes || ulProgressMax > m_nMaxBytes))
            return E_ABORT;
        return g_bindCallback.OnProgress(ulProgress, ulProgressMax, ulStatusCode, szStatusText);
    }
    STDMETHODIMP OnStopBinding(HRESULT, LPCWSTR) override { return E_NOTIMPL; }
    STDMETHODIMP GetBindInfo(DWORD*, BINDINFO*) override { return E_NOTIMPL; }
    STDMETHODIMP OnDataAvailable(DWORD, DWORD, FORMATETC*, STGMEDIUM*) override {
        return E_NOTIMPL;
    }
    STDMETHODIMP OnObjectAvailable(REFIID, IUnknown*) override { return E_NOTIMPL; }

    STDMETHODIMP BeginningTransaction(LPCWSTR, LPCWSTR, DWORD, LPWSTR* pszAdditional) override {
        if (pszAdditional) *pszAdditional = nullptr;
        return S_OK;
    }
    // The platform's download reports success for an error page too and saves it as the file:
    // the status line is the only sign that the server said no.
    STDMETHODIMP OnResponse(DWORD dwResponseCode, LPCWSTR, LPCWSTR,
                            LPWSTR* pszAdditional) override {
        if (pszAdditional) *pszAdditional = nullptr;
        m_dwHttpStatus = dwResponseCode;
        return S_OK;
    }

    STDMETHODIMP QueryService(REFGUID, REFIID riid, void** ppv) override {
        return QueryInterface(riid, ppv);
    }
};

DWORD WINAPI DownloadThread(void* pParam) {
    std::unique_ptr<std::shared_ptr<CDownloadJob>> owner(
        static_cast<std::shared_ptr<CDownloadJob>*>(pParam));
    std::shared_ptr<CDownloadJob> job = *owner;
    job->m_hr = ::URLDownloadToFileW(nullptr, job->m_strUrl, job->m_strTempPath, 0, job.get());
    // Nobody waits for an abandoned download any more: it removes its own leftovers.
    if (job->m_nState.exchange(CDownloadJob::kFinished) == CDownloadJob::kAbandoned)
        ::DeleteFileW(job->m_strTempPath);
    return 0;
}

}  // namespace

CString CacheBreakingQuery() {
    static std::atomic<int> s_last{0};
    int tick = static_cast<int>(::GetTickCount());
    int last = s_last.load();
    int value;
    do {
        value = tick > last ? tick : last + 1;
    } while (!s_last.compare_exchange_weak(last, value));
    CString query;
    query.Format(L"?skq=%d", value);
    return query;
}

bool WaitDispatchingMessages(HANDLE hThread, DWORD dwTimeoutMs, const std::atomic<bool>* pCancel) {
    DWORD start = ::GetTickCount();
    for (;;) {
        if (pCancel && *pCancel) return false;
        DWORD wait = INFINITE;
        if (dwTimeoutMs != INFINITE) {
            DWORD elapsed = ::GetTickCount() - start;
            if (elapsed >= dwTimeoutMs) return false;
            wait = dwTimeoutMs - elapsed;
        }
        DWORD r =
            ::MsgWaitForMultipleObjectsEx(1, &hThread, wait, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        if (r == WAIT_OBJECT_0) return true;
        if (r != WAIT_OBJECT_0 + 1) return false;  // timed out or failed
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
            bool bWide = !msg.hwnd || ::IsWindowUnicode(msg.hwnd);
            BOOL got = bWide ? ::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)
                             : ::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE);
            if (!got) break;
            if (msg.message == WM_QUIT) {
                // Leave the request to quit for the loop that owns it.
                ::PostQuitMessage(static_cast<int>(msg.wParam));
                return false;
            }
            ::TranslateMessage(&msg);
            if (bWide)
                ::DispatchMessageW(&msg);
            else
                ::DispatchMessageA(&msg);
            if (::WaitForSingleObject(hThread, 0) == WAIT_OBJECT_0) return true;
            if (pCancel && *pCancel) return false;
        }
    }
}

DownloadResult DownloadToFile(const DownloadRequest& request) {
    static std::atomic<unsigned> s_seq{0};
    auto job = std::make_shared<CDownloadJob>();
    job->m_strUrl = request.strUrl;
    job->m_nMaxBytes = request.nMaxBytes;
    job->m_strTempPath.Format(L"%s.%u.part", request.strPath.GetString(), ++s_seq);

    auto* param = new std::shared_ptr<CDownloadJob>(job);
    HANDLE hThread = ::CreateThread(nullptr, 0, &DownloadThread, param, 0, nullptr);
    if (!hThread) {
        delete param;
        return DownloadResult::Failed;
    }
    bool ended = WaitDispatchingMessages(hThread, request.dwTimeoutMs, request.pCancel);
    if (!ended) {
        job->m_bAbandoned = true;
        if (job->m_nState.exchange(CDownloadJob::kAbandoned) == CDownloadJob::kFinished)
            ::DeleteFileW(job->m_strTempPath);
    }
    ::CloseHandle(hThread);
    if (!ended) {
        bool cancelled = request.pCancel && *request.pCancel;
        return cancelled ? DownloadResult::Cancelled : DownloadResult::TimedOut;
    }

    DWORD status = job->m_dwHttpStatus;
    if (FAILED(job->m_hr.load()) || status < 200 || status > 299) {
        ::DeleteFileW(job->m_strTempPath);
        return DownloadResult::Failed;
    }
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    const bool bTooLarge =
        request.nMaxBytes &&
        (!::GetFileAttributesExW(job->m_strTempPath, GetFileExInfoStandard, &data) ||
         ((ULONGLONG(data.nFileSizeHigh) << 32) | data.nFileSizeLow) > request.nMaxBytes);
    if (bTooLarge || (request.verify && !request.verify(job->m_strTempPath))) {
        ::DeleteFileW(job->m_strTempPath);
        return DownloadResult::Rejected;
    }
    if (!::MoveFileExW(job->m_strTempPath, request.strPath, MOVEFILE_REPLACE_EXISTING)) {
        ::DeleteFileW(job->m_strTempPath);
        return DownloadResult::Failed;
    }
    return DownloadResult::Ok;
}
