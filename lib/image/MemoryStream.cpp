#include "lib/image/MemoryStream.h"

#include <cstring>
#include <memory>
#include <new>
#include <utility>

namespace {

typedef std::shared_ptr<const std::vector<BYTE>> SharedBytes;

class CMemoryStream final : public IStream {
public:
    CMemoryStream(SharedBytes bytes, ULONGLONG nPos) : m_bytes(std::move(bytes)), m_nPos(nPos) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
        if (!ppv) return E_POINTER;
        if (riid == IID_IUnknown || riid == IID_ISequentialStream || riid == IID_IStream) {
            *ppv = static_cast<IStream*>(this);
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ::InterlockedIncrement(&m_nRefs); }
    ULONG STDMETHODCALLTYPE Release() override {
        LONG n = ::InterlockedDecrement(&m_nRefs);
        if (n == 0) delete this;
        return n;
    }

    HRESULT STDMETHODCALLTYPE Read(void* pv, ULONG cb, ULONG* pcbRead) override {
        if (!pv && cb) return STG_E_INVALIDPOINTER;
        const ULONGLONG nSize = m_bytes->size();
        ULONG n = 0;
        if (m_nPos < nSize) n = static_cast<ULONG>(nSize - m_nPos < cb ? nSize - m_nPos : cb);
        if (n) std::memcpy(pv, m_bytes->data() + m_nPos, n);
        m_nPos += n;
        if (pcbRead) *pcbRead = n;
        // As the platform's streams do: a short read is still a success, the count tells.
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Write(const void*, ULONG, ULONG* pcbWritten) override {
        if (pcbWritten) *pcbWritten = 0;
        return STG_E_ACCESSDENIED;
    }
    HRESULT STDMETHODCALLTYPE Seek(LARGE_INTEGER move, DWORD origin,
                                   ULARGE_INTEGER* pNewPos) override {
        LONGLONG nBase;
        switch (origin) {
            case STREAM_SEEK_SET:
                nBase = 0;
                break;
            case STREAM_SEEK_CUR:
                nBase = static_cast<LONGLONG>(m_nPos);
                break;
            case STREAM_SEEK_END:
                nBase = static_cast<LONGLONG>(m_bytes->size());
                break;
            default:
                return STG_E_INVALIDFUNCTION;
        }
        // Positions stay below 2^62, so the sum cannot overflow; before the start is refused.
        const LONGLONG kMaxPos = LONGLONG(1) << 62;
        if (move.QuadPart < -kMaxPos || move.QuadPart > kMaxPos) return STG_E_INVALIDFUNCTION;
        const LONGLONG nPos = nBase + move.QuadPart;
        if (nPos < 0 || nPos > kMaxPos) return STG_E_INVALIDFUNCTION;
        m_nPos = static_cast<ULONGLONG>(nPos);
        if (pNewPos) pNewPos->QuadPart = m_nPos;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetSize(ULARGE_INTEGER) override { return STG_E_ACCESSDENIED; }
    HRESULT STDMETHODCALLTYPE CopyTo(IStream* pTarget, ULARGE_INTEGER cb, ULARGE_INTEGER* pcbRead,
                                     ULARGE_INTEGER* pcbWritten) override {
        if (!pTarget) return STG_E_INVALIDPOINTER;
        const ULONGLONG nSize = m_bytes->size();
        ULONGLONG nLeft = m_nPos < nSize ? nSize - m_nPos : 0;
        if (cb.QuadPart < nLeft) nLeft = cb.QuadPart;
        ULONGLONG nWritten = 0;
        HRESULT hr = S_OK;
        while (nWritten < nLeft && SUCCEEDED(hr)) {
            ULONG nPiece =
                static_cast<ULONG>(nLeft - nWritten < 0x10000000 ? nLeft - nWritten : 0x10000000);
            ULONG nDone = 0;
            hr = pTarget->Write(m_bytes->data() + m_nPos + nWritten, nPiece, &nDone);
            nWritten += nDone;
            if (nDone < nPiece && SUCCEEDED(hr)) hr = STG_E_MEDIUMFULL;
        }
        m_nPos += nLeft;
        if (pcbRead) pcbRead->QuadPart = nLeft;
        if (pcbWritten) pcbWritten->QuadPart = nWritten;
        return hr;
    }
    HRESULT STDMETHODCALLTYPE Commit(DWORD) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE Revert() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override {
        return STG_E_INVALIDFUNCTION;
    }
    HRESULT STDMETHODCALLTYPE UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override {
        return STG_E_INVALIDFUNCTION;
    }
    HRESULT STDMETHODCALLTYPE Stat(STATSTG* pStat, DWORD) override {
        if (!pStat) return STG_E_INVALIDPOINTER;
        std::memset(pStat, 0, sizeof(*pStat));
        pStat->type = STGTY_STREAM;
        pStat->cbSize.QuadPart = m_bytes->size();
        pStat->grfMode = STGM_READ;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Clone(IStream** ppStream) override {
        if (!ppStream) return STG_E_INVALIDPOINTER;
        *ppStream = new (std::nothrow) CMemoryStream(m_bytes, m_nPos);
        return *ppStream ? S_OK : E_OUTOFMEMORY;
    }

private:
    ~CMemoryStream() = default;

    SharedBytes m_bytes;
    ULONGLONG m_nPos;
    LONG m_nRefs = 1;
};

}  // namespace

IStream* CreateMemoryStream(std::vector<BYTE>&& bytes) {
    try {
        return new CMemoryStream(std::make_shared<const std::vector<BYTE>>(std::move(bytes)), 0);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

IStream* CreateMemoryStream(const void* pData, size_t nSize) {
    if (!pData && nSize) return nullptr;
    try {
        const BYTE* p = static_cast<const BYTE*>(pData);
        return CreateMemoryStream(std::vector<BYTE>(p, p + nSize));
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}
