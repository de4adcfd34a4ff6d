// Loading pictures into a CImageBitmap: files through the platform's bitmap loader or OLE picture
// decoding, resources and memory through OLE pictures.
#include <cstring>
#include <memory>
#include <new>

#include "framework/FxString.h"
#include "lib/image/ImageBitmap.h"

namespace {

// Releases a COM interface with the scope.
template <typename T>
class ComPtr {
public:
    ComPtr() = default;
    ~ComPtr() {
        if (m_p) m_p->Release();
    }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    T** operator&() { return &m_p; }
    T* operator->() const { return m_p; }
    T* get() const { return m_p; }
    T* detach() {
        T* p = m_p;
        m_p = nullptr;
        return p;
    }

private:
    T* m_p = nullptr;
};

}  // namespace

int CImageBitmap::GetFileType(LPCWSTR lpszName) {
    CString name(lpszName);
    name.MakeUpper();
    // The first occurrence decides, and only past the first character: a name that is nothing
    // but an extension is no picture.
    static const struct {
        const wchar_t* ext;
        int type;
    } kTypes[] = {{L".BMP", 0}, {L".ICO", 1}, {L".JPG", 2}, {L".JPEG", 2}, {L".GIF", 3}};
    for (const auto& t : kTypes)
        if (name.Find(t.ext) > 0) return t.type;
    return 4;
}

HBITMAP CImageBitmap::ExtractBitmap(IPicture* pPicture, COLORREF clrBackground) {
    if (!pPicture) return nullptr;
    OLE_XSIZE_HIMETRIC hmWidth = 0;
    OLE_YSIZE_HIMETRIC hmHeight = 0;
    if (FAILED(pPicture->get_Width(&hmWidth)) || FAILED(pPicture->get_Height(&hmHeight)))
        return nullptr;
    HDC hScreen = ::GetDC(::GetDesktopWindow());
    if (!hScreen) return nullptr;
    HBITMAP hResult = nullptr;
    HDC hMem = ::CreateCompatibleDC(hScreen);
    if (hMem) {
        int cx = ::MulDiv(hmWidth, ::GetDeviceCaps(hScreen, LOGPIXELSX), 2540);
        int cy = ::MulDiv(hmHeight, ::GetDeviceCaps(hScreen, LOGPIXELSY), 2540);
        HBITMAP h = cx > 0 && cy > 0 ? ::CreateCompatibleBitmap(hScreen, cx, cy) : nullptr;
        if (h) {
            HGDIOBJ hOld = ::SelectObject(hMem, h);
            if (clrBackground != 0xFFFFFFFF) {
                HBRUSH brush = ::CreateSolidBrush(clrBackground);
                RECT r = {0, 0, cx, cy};
                ::FillRect(hMem, &r, brush);
                ::DeleteObject(brush);
            }
            // The picture's y axis points up: start at the bottom and draw upwards.
            pPicture->Render(hMem, 0, 0, cx, cy, 0, hmHeight, hmWidth, -hmHeight, nullptr);
            ::SelectObject(hMem, hOld);
            hResult = h;
        }
        ::DeleteDC(hMem);
    }
    ::ReleaseDC(::GetDesktopWindow(), hScreen);
    return hResult;
}

HBITMAP CImageBitmap::LoadImageFile(LPCWSTR lpszPath, COLORREF clrBackground) {
    if (!lpszPath) return nullptr;
    switch (GetFileType(lpszPath)) {
        case 0:
            return static_cast<HBITMAP>(
                ::LoadImageW(nullptr, lpszPath, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
        case 4:
            return nullptr;
        default:
            break;
    }
    ComPtr<IPicture> picture;
    if (FAILED(::OleLoadPicturePath(const_cast<LPOLESTR>(lpszPath), nullptr, 0, clrBackground,
                                    IID_IPicture, reinterpret_cast<void**>(&picture))) ||
        !picture.get())
        return nullptr;
    return ExtractBitmap(picture.get(), clrBackground);
}

IPicture* CImageBitmap::LoadFromBuffer(const BYTE* pBuffer, DWORD nLength) {
    if (!pBuffer || nLength == 0) return nullptr;
    HGLOBAL hGlobal = ::GlobalAlloc(GMEM_MOVEABLE, nLength);
    if (!hGlobal) return nullptr;
    void* p = ::GlobalLock(hGlobal);
    if (!p) {
        ::GlobalFree(hGlobal);
        return nullptr;
    }
    std::memcpy(p, pBuffer, nLength);
    ::GlobalUnlock(hGlobal);
    ComPtr<IStream> stream;
    // The stream frees the block when it is released.
    if (FAILED(::CreateStreamOnHGlobal(hGlobal, TRUE, &stream)) || !stream.get()) {
        ::GlobalFree(hGlobal);
        return nullptr;
    }
    ComPtr<IPicture> picture;
    if (FAILED(::OleLoadPicture(stream.get(), static_cast<LONG>(nLength), FALSE, IID_IPicture,
                                reinterpret_cast<void**>(&picture))))
        return nullptr;
    return picture.detach();
}

BOOL CImageBitmap::GetResource(LPCWSTR lpszName, LPCWSTR lpszType, HMODULE hModule, void* pBuffer,
                               DWORD& nLength) {
    HRSRC hRes = ::FindResourceW(hModule, lpszName, lpszType);
    if (!hRes) return FALSE;
    HGLOBAL hData = ::LoadResource(hModule, hRes);
    const void* pData = hData ? ::LockResource(hData) : nullptr;
    if (!pData) return FALSE;
    DWORD nSize = ::SizeofResource(hModule, hRes);
    if (!pBuffer) {
        nLength = nSize;
        return TRUE;
    }
    if (nLength < nSize) return FALSE;
    std::memcpy(pBuffer, pData, nSize);
    return TRUE;
}

HBITMAP CImageBitmap::LoadImageResource(UINT nResourceId, LPCWSTR lpszType, HINSTANCE hInstance,
                                        COLORREF clrBackground) {
    DWORD nSize = 0;
    if (!GetResource(MAKEINTRESOURCEW(nResourceId), lpszType, hInstance, nullptr, nSize) ||
        nSize == 0)
        return nullptr;
    std::unique_ptr<BYTE[]> buffer(new (std::nothrow) BYTE[nSize]);
    if (!buffer ||
        !GetResource(MAKEINTRESOURCEW(nResourceId), lpszType, hInstance, buffer.get(), nSize))
        return nullptr;
    ComPtr<IPicture> picture;
    *&picture = LoadFromBuffer(buffer.get(), nSize);
    if (!picture.get()) return nullptr;
    return ExtractBitmap(picture.get(), clrBackground);
}

BOOL CImageBitmap::LoadImage(LPCWSTR lpszPath, COLORREF clrBackground) {
    if (GetSafeHandle()) return FALSE;
    if (clrBackground == 0xFFFFFFFF) clrBackground = m_clrBackground;
    return Attach(LoadImageFile(lpszPath, clrBackground));
}

BOOL CImageBitmap::LoadImage(UINT nResourceId, LPCWSTR lpszResourceType, HINSTANCE hInstance,
                             COLORREF clrBackground) {
    if (GetSafeHandle()) return FALSE;
    if (clrBackground == 0xFFFFFFFF) clrBackground = m_clrBackground;
    return Attach(LoadImageResource(nResourceId, lpszResourceType, hInstance, clrBackground));
}
