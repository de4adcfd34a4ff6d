#include "lib/core/ClipboardPicture.h"

#include <cstdint>
#include <memory>
#include <vector>

#include "framework/Gdi.h"
#include "lib/codec/GdiplusHeaders.h"
#include "lib/image/ImageBitmap.h"
#include "lib/image/ImageHeaderCheck.h"
#include "lib/image/ImageProcessor.h"
#include "lib/image/MemoryStream.h"

namespace {

struct CComReleaser {
    void operator()(IUnknown* p) const { p->Release(); }
};

UINT PngFormat() {
    static const UINT nFormat = ::RegisterClipboardFormatW(L"PNG");
    return nFormat;
}

bool FitsThePictureLimit(int64_t cx, int64_t cy) {
    return cx > 0 && cy > 0 && cx <= kMaxImagePixels / cy;
}

// A 24-bit bottom-up DIB of the bitmap in movable memory, the form every reader of CF_DIB knows.
HGLOBAL MakeDib(HBITMAP hBitmap) {
    BITMAP bm = {};
    if (!::GetObjectW(hBitmap, sizeof bm, &bm) || bm.bmWidth <= 0 || bm.bmHeight <= 0)
        return nullptr;
    BITMAPINFOHEADER bih = {};
    bih.biSize = sizeof bih;
    bih.biWidth = bm.bmWidth;
    bih.biHeight = bm.bmHeight;
    bih.biPlanes = 1;
    bih.biBitCount = 24;
    bih.biCompression = BI_RGB;
    size_t stride = (static_cast<size_t>(bm.bmWidth) * 3 + 3) & ~size_t(3);
    size_t nBits = stride * static_cast<size_t>(bm.bmHeight);
    bih.biSizeImage = static_cast<DWORD>(nBits);
    HGLOBAL hDib = ::GlobalAlloc(GMEM_MOVEABLE, sizeof bih + nBits);
    if (!hDib) return nullptr;
    auto* p = static_cast<BYTE*>(::GlobalLock(hDib));
    bool ok = false;
    if (p) {
        memcpy(p, &bih, sizeof bih);
        CClientDC screen(HWND_DESKTOP);
        ok = ::GetDIBits(screen.m_hDC, hBitmap, 0, static_cast<UINT>(bm.bmHeight), p + sizeof bih,
                         reinterpret_cast<BITMAPINFO*>(p), DIB_RGB_COLORS) == bm.bmHeight;
        ::GlobalUnlock(hDib);
    }
    if (!ok) {
        ::GlobalFree(hDib);
        return nullptr;
    }
    return hDib;
}

HGLOBAL MakePng(HBITMAP hBitmap) {
    CLSID png;
    UINT n = 0, size = 0;
    if (Gdiplus::GetImageEncodersSize(&n, &size) != Gdiplus::Ok || size == 0) return nullptr;
    std::vector<BYTE> buf(size);
    auto* codecs = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buf.data());
    if (Gdiplus::GetImageEncoders(n, size, codecs) != Gdiplus::Ok) return nullptr;
    bool found = false;
    for (UINT i = 0; i < n && !found; ++i) {
        if (lstrcmpW(codecs[i].MimeType, L"image/png") == 0) {
            png = codecs[i].Clsid;
            found = true;
        }
    }
    if (!found) return nullptr;
    std::unique_ptr<Gdiplus::Bitmap> pImage(Gdiplus::Bitmap::FromHBITMAP(hBitmap, nullptr));
    if (!pImage || pImage->GetLastStatus() != Gdiplus::Ok) return nullptr;
    IStream* pCreated = nullptr;
    if (FAILED(::CreateStreamOnHGlobal(nullptr, FALSE, &pCreated))) return nullptr;
    std::unique_ptr<IStream, CComReleaser> stream(pCreated);
    HGLOBAL hPng = nullptr;
    if (pImage->Save(stream.get(), &png, nullptr) != Gdiplus::Ok ||
        FAILED(::GetHGlobalFromStream(stream.get(), &hPng)))
        hPng = nullptr;
    if (!hPng) {
        // The stream was told not to free its memory; nothing owns it now but this.
        HGLOBAL hLeft = nullptr;
        if (SUCCEEDED(::GetHGlobalFromStream(stream.get(), &hLeft)) && hLeft) ::GlobalFree(hLeft);
    }
    return hPng;
}

BOOL CopyFromBitmap(HBITMAP hBitmap, CImageBitmap& out) {
    BITMAP bm = {};
    if (!::GetObjectW(hBitmap, sizeof bm, &bm) || !FitsThePictureLimit(bm.bmWidth, bm.bmHeight))
        return FALSE;
    return out.CopyImage(hBitmap);
}

// The number of palette entries (or masks) between a DIB's header and its bits.
int64_t DibColourTableBytes(const BITMAPINFOHEADER& h) {
    int64_t n = 0;
    if (h.biBitCount <= 8)
        n = h.biClrUsed ? h.biClrUsed : (int64_t(1) << h.biBitCount);
    else
        n = h.biClrUsed;
    int64_t bytes = n * 4;
    if (h.biCompression == BI_BITFIELDS && h.biSize == sizeof(BITMAPINFOHEADER)) bytes += 12;
    return bytes;
}

BOOL CopyFromDib(HGLOBAL hDib, CImageBitmap& out) {
    size_t nSize = ::GlobalSize(hDib);
    auto* p = static_cast<const BYTE*>(::GlobalLock(hDib));
    if (!p) return FALSE;
    BOOL bCopied = FALSE;
    BITMAPINFOHEADER h = {};
    if (nSize >= sizeof h) {
        memcpy(&h, p, sizeof h);
        int64_t cy = h.biHeight < 0 ? -int64_t(h.biHeight) : h.biHeight;
        bool bitsKnown = h.biBitCount == 1 || h.biBitCount == 4 || h.biBitCount == 8 ||
                         h.biBitCount == 16 || h.biBitCount == 24 || h.biBitCount == 32;
        bool plain = h.biCompression == BI_RGB || h.biCompression == BI_BITFIELDS;
        if (h.biSize >= sizeof h && h.biSize <= nSize && bitsKnown && plain && h.biPlanes == 1 &&
            FitsThePictureLimit(h.biWidth, cy) && h.biClrUsed <= 256) {
            int64_t stride = ((int64_t(h.biWidth) * h.biBitCount + 31) / 32) * 4;
            int64_t offset = int64_t(h.biSize) + DibColourTableBytes(h);
            if (offset + stride * cy <= static_cast<int64_t>(nSize)) {
                CClientDC screen(HWND_DESKTOP);
                HBITMAP hBitmap = ::CreateDIBitmap(
                    screen.m_hDC, reinterpret_cast<const BITMAPINFOHEADER*>(p), CBM_INIT,
                    p + offset, reinterpret_cast<const BITMAPINFO*>(p), DIB_RGB_COLORS);
                if (hBitmap) {
                    bCopied = out.CopyImage(hBitmap);
                    ::DeleteObject(hBitmap);
                }
            }
        }
    }
    ::GlobalUnlock(hDib);
    return bCopied;
}

BOOL CopyFromPng(HGLOBAL hPng, CImageBitmap& out) {
    size_t nSize = ::GlobalSize(hPng);
    auto* p = static_cast<const BYTE*>(::GlobalLock(hPng));
    if (!p) return FALSE;
    std::vector<BYTE> bytes(p, p + nSize);
    ::GlobalUnlock(hPng);
    pelto_image::ImageHeaderInfo info = pelto_image::CheckImageHeader(bytes.data(), bytes.size());
    if (info.verdict != pelto_image::ImageHeaderVerdict::kAccepted ||
        info.format != pelto_image::ImageFileFormat::kPng)
        return FALSE;
    std::unique_ptr<IStream, CComReleaser> stream(CreateMemoryStream(std::move(bytes)));
    if (!stream) return FALSE;
    std::unique_ptr<Gdiplus::Bitmap> pImage(Gdiplus::Bitmap::FromStream(stream.get(), FALSE));
    if (!pImage || pImage->GetLastStatus() != Gdiplus::Ok) return FALSE;
    HBITMAP hBitmap = nullptr;
    if (pImage->GetHBITMAP(Gdiplus::Color(255, 255, 255), &hBitmap) != Gdiplus::Ok || !hBitmap)
        return FALSE;
    BOOL bCopied = out.CopyImage(hBitmap);
    ::DeleteObject(hBitmap);
    return bCopied;
}

}  // namespace

BOOL ClipboardOwnerAnswers() {
    HWND hOwner = ::GetClipboardOwner();
    if (!hOwner) return TRUE;
    DWORD pid = 0;
    ::GetWindowThreadProcessId(hOwner, &pid);
    if (pid == ::GetCurrentProcessId()) return TRUE;
    DWORD_PTR result = 0;
    return ::SendMessageTimeoutW(hOwner, WM_NULL, 0, 0, SMTO_ABORTIFHUNG | SMTO_BLOCK, 2000,
                                 &result) != 0;
}

BOOL PutPictureOnOpenClipboard(HBITMAP hBitmap) {
    if (!hBitmap || !::EmptyClipboard()) return FALSE;
    // The other forms are made before the bitmap is handed over, while it is still ours to read.
    HGLOBAL hDib = MakeDib(hBitmap);
    HGLOBAL hPng = MakePng(hBitmap);
    BOOL bHanded = ::SetClipboardData(CF_BITMAP, hBitmap) != nullptr;
    if (hDib && !::SetClipboardData(CF_DIB, hDib)) ::GlobalFree(hDib);
    if (hPng && !::SetClipboardData(PngFormat(), hPng)) ::GlobalFree(hPng);
    return bHanded;
}

BOOL ReadPictureFromOpenClipboard(CImageBitmap& out) {
    if (::IsClipboardFormatAvailable(CF_BITMAP)) {
        if (HBITMAP h = static_cast<HBITMAP>(::GetClipboardData(CF_BITMAP)))
            return CopyFromBitmap(h, out);
    }
    if (::IsClipboardFormatAvailable(CF_DIB)) {
        if (HGLOBAL h = ::GetClipboardData(CF_DIB)) return CopyFromDib(h, out);
    }
    if (::IsClipboardFormatAvailable(PngFormat())) {
        if (HGLOBAL h = ::GetClipboardData(PngFormat())) return CopyFromPng(h, out);
    }
    return FALSE;
}
