#include "lib/codec/ImageSaving.h"

#include "lib/codec/GdiplusHeaders.h"

#include <memory>
#include <string>

#include "lib/codec/GdiplusCodecList.h"

namespace {
bool ReadsBackAs(LPCWSTR lpszPath, UINT nWidth, UINT nHeight) {
    // Decoded in a scope of its own: GDI+ keeps the file open while the bitmap lives.
    Gdiplus::Bitmap readBack(lpszPath);
    return readBack.GetLastStatus() == Gdiplus::Ok && readBack.GetWidth() == nWidth &&
           readBack.GetHeight() == nHeight;
}

// The image as a bitmap of its own size in the given format; null when GDI+ cannot make it.
std::unique_ptr<Gdiplus::Bitmap> BitmapCopy(Gdiplus::Image* pImage, Gdiplus::PixelFormat format) {
    INT nWidth = static_cast<INT>(pImage->GetWidth());
    INT nHeight = static_cast<INT>(pImage->GetHeight());
    if (nWidth <= 0 || nHeight <= 0) return nullptr;
    std::unique_ptr<Gdiplus::Bitmap> pDrawn;
    Gdiplus::Bitmap* pSource = nullptr;
    if (pImage->GetType() == Gdiplus::ImageTypeBitmap) {
        pSource = static_cast<Gdiplus::Bitmap*>(pImage);
    } else {
        // A metafile has no pixels to clone: it is drawn, on white as a viewer shows it.
        // GDI+ objects come from its own allocator, which gives null rather than throwing.
        pDrawn.reset(new Gdiplus::Bitmap(nWidth, nHeight, PixelFormat32bppRGB));
        if (!pDrawn || pDrawn->GetLastStatus() != Gdiplus::Ok) return nullptr;
        Gdiplus::Graphics graphics(pDrawn.get());
        graphics.Clear(Gdiplus::Color(255, 255, 255, 255));
        if (graphics.DrawImage(pImage, 0, 0, nWidth, nHeight) != Gdiplus::Ok) return nullptr;
        pSource = pDrawn.get();
    }
    std::unique_ptr<Gdiplus::Bitmap> pCopy(pSource->Clone(0, 0, nWidth, nHeight, format));
    if (!pCopy || pCopy->GetLastStatus() != Gdiplus::Ok) return nullptr;
    return pCopy;
}

// The encoder's work in a new file beside the target (an encoder empties the file it was given
// before it knows whether it can write the picture).
BOOL WriteImageFile(Gdiplus::Image* pImage, LPCWSTR lpszPath, const CLSID& clsid) {
    const bool bGif = IsGifEncoder(clsid);
    const UINT nWidth = pImage->GetWidth(), nHeight = pImage->GetHeight();
    // The encoder's own result comes first, so that a platform whose encoders take every picture
    // writes exactly what it always wrote.
    if (pImage->Save(lpszPath, &clsid, nullptr) == Gdiplus::Ok &&
        (!bGif || ReadsBackAs(lpszPath, nWidth, nHeight)))
        return TRUE;
    // A bitmap that a non-GIF encoder refused has nothing a copy could mend.
    if (!bGif && pImage->GetType() == Gdiplus::ImageTypeBitmap) return FALSE;
    std::unique_ptr<Gdiplus::Bitmap> pCopy =
        BitmapCopy(pImage, bGif ? PixelFormat8bppIndexed : PixelFormat32bppRGB);
    bool bSaved = pCopy && pCopy->Save(lpszPath, &clsid, nullptr) == Gdiplus::Ok;
    pCopy.reset();
    return bSaved && (!bGif || ReadsBackAs(lpszPath, nWidth, nHeight));
}

// A name in the target's folder that no other save uses, so the new file can take the old one's
// place in one step.
std::wstring NewFileBeside(LPCWSTR lpszPath) {
    static LONG s_nSaves = 0;
    return std::wstring(lpszPath) + L"." + std::to_wstring(::GetCurrentProcessId()) + L"-" +
           std::to_wstring(::InterlockedIncrement(&s_nSaves)) + L".saving";
}
}  // namespace

BOOL SaveImageFile(Gdiplus::Image* pImage, LPCWSTR lpszPath, const CLSID& clsid) {
    if (!pImage || !lpszPath || !*lpszPath) return FALSE;
    // A file already there is replaced only by a complete picture: a refused or broken save
    // leaves it as it was, and leaves nothing of its own behind.
    const std::wstring strNew = NewFileBeside(lpszPath);
    if (WriteImageFile(pImage, strNew.c_str(), clsid) &&
        ::MoveFileExW(strNew.c_str(), lpszPath, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return TRUE;
    ::DeleteFileW(strNew.c_str());
    return FALSE;
}
