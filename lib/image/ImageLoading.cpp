// Loading pictures into a CImageBitmap: files through the platform's bitmap loader or OLE picture
// decoding, resources and memory through OLE pictures. Every file and buffer passes the header
// check first and is decoded from a bounds-checked stream of our own.
#include <cstring>
#include <memory>
#include <new>
#include <utility>
#include <vector>

#include "framework/FxString.h"
#include "lib/image/ImageBitmap.h"
#include "lib/image/ImageHeaderCheck.h"
#include "lib/image/MemoryStream.h"

namespace {

using pelto_image::ImageFileFormat;
using pelto_image::ImageHeaderVerdict;

// No picture within kMaxImagePixels needs a larger file, whatever its format: a bigger one is not
// read into memory at all.
const LONGLONG kMaxImageFileSize = kMaxImagePixels * 8;

bool ReadImageBytes(LPCWSTR lpszPath, std::vector<BYTE>& bytes) {
    HANDLE hFile = ::CreateFileW(lpszPath, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
    if (hFile == INVALID_HANDLE_VALUE) return false;
    bool bRead = false;
    LARGE_INTEGER size = {};
    try {
        if (::GetFileSizeEx(hFile, &size) && size.QuadPart > 0 &&
            size.QuadPart <= kMaxImageFileSize) {
            bytes.resize(static_cast<size_t>(size.QuadPart));
            DWORD nRead = 0;
            bRead = ::ReadFile(hFile, bytes.data(), static_cast<DWORD>(bytes.size()), &nRead,
                               nullptr) &&
                    nRead == bytes.size();
        }
    } catch (const std::bad_alloc&) {
        bRead = false;
    }
    ::CloseHandle(hFile);
    return bRead;
}

// The formats that OLE picture loading decodes on every platform.
bool IsOlePictureFormat(ImageFileFormat format) {
    return format == ImageFileFormat::kBmp || format == ImageFileFormat::kIco ||
           format == ImageFileFormat::kGif || format == ImageFileFormat::kJpeg;
}

IPicture* DecodeOlePicture(IStream* pStream, size_t nLength) {
    IPicture* pPicture = nullptr;
    if (FAILED(::OleLoadPicture(pStream, static_cast<LONG>(nLength), FALSE, IID_IPicture,
                                reinterpret_cast<void**>(&pPicture))))
        return nullptr;
    return pPicture;
}

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
    const int nType = GetFileType(lpszPath);
    if (nType == 4) return nullptr;
    std::vector<BYTE> bytes;
    if (!ReadImageBytes(lpszPath, bytes)) return nullptr;
    const pelto_image::ImageHeaderInfo info =
        pelto_image::CheckImageHeader(bytes.data(), bytes.size());
    if (info.verdict != ImageHeaderVerdict::kAccepted) return nullptr;
    if (nType == 0) {
        if (info.format != ImageFileFormat::kBmp) return nullptr;
        return static_cast<HBITMAP>(
            ::LoadImageW(nullptr, lpszPath, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
    }
    if (!IsOlePictureFormat(info.format)) return nullptr;
    const size_t nLength = bytes.size();
    ComPtr<IStream> stream;
    *&stream = CreateMemoryStream(std::move(bytes));
    if (!stream.get()) return nullptr;
    ComPtr<IPicture> picture;
    *&picture = DecodeOlePicture(stream.get(), nLength);
    if (!picture.get()) return nullptr;
    return ExtractBitmap(picture.get(), clrBackground);
}

IPicture* CImageBitmap::LoadFromBuffer(const BYTE* pBuffer, DWORD nLength) {
    if (!pBuffer || nLength == 0) return nullptr;
    const pelto_image::ImageHeaderInfo info = pelto_image::CheckImageHeader(pBuffer, nLength);
    if (info.verdict != ImageHeaderVerdict::kAccepted || !IsOlePictureFormat(info.format))
        return nullptr;
    ComPtr<IStream> stream;
    *&stream = CreateMemoryStream(pBuffer, nLength);
    if (!stream.get()) return nullptr;
    return DecodeOlePicture(stream.get(), nLength);
}

IStream* CImageBitmap::OpenImageStream(LPCWSTR lpszPath, BOOL bAllowUnknown) {
    std::vector<BYTE> bytes;
    if (!lpszPath || !ReadImageBytes(lpszPath, bytes)) return nullptr;
    const ImageHeaderVerdict verdict =
        pelto_image::CheckImageHeader(bytes.data(), bytes.size()).verdict;
    if (verdict != ImageHeaderVerdict::kAccepted &&
        !(bAllowUnknown && verdict == ImageHeaderVerdict::kUnknownFormat))
        return nullptr;
    return CreateMemoryStream(std::move(bytes));
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
