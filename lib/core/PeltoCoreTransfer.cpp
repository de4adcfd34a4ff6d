// Moving the current picture to and from the clipboard and image files.
#include "lib/core/PeltoCore.h"

#include "lib/codec/GdiplusHeaders.h"

#include <memory>
#include <vector>

#include "lib/codec/GdiplusCodecList.h"
#include "lib/codec/GdiplusFileDialog.h"
#include "lib/codec/ImageSaving.h"
#include "lib/core/ClipboardPicture.h"
#include "lib/image/ClipboardAccess.h"

namespace {
struct CComReleaser {
    void operator()(IUnknown* pUnknown) const { pUnknown->Release(); }
};

// GDI+ keeps a file it decoded open for as long as the image lives, so saving back to the path
// the picture came from would fail. The image is decoded from a copy of the bytes instead.
// The file's picture, decoded from a checked copy of its bytes: a file whose header is malformed
// or declares more than a picture may hold never reaches a decoder.
std::unique_ptr<Gdiplus::Image> LoadImageFromFile(LPCWSTR lpszPath) {
    IStream* pStream = CImageBitmap::OpenImageStream(lpszPath);
    if (!pStream) return nullptr;
    // The image keeps its own reference to the stream.
    std::unique_ptr<IStream, CComReleaser> stream(pStream);
    return std::unique_ptr<Gdiplus::Image>(Gdiplus::Image::FromStream(stream.get(), FALSE));
}

}  // namespace

BOOL CPeltoCore::PutBitmapOnClipboard(CBitmap* pBitmap) {
    HWND hOwner = m_pViewWnd ? m_pViewWnd->GetSafeHwnd() : nullptr;
    // A program that keeps the clipboard open longer than a moment still refuses the copy.
    if (!OpenClipboardWithRetry(hOwner)) return FALSE;
    BOOL bHanded = PutPictureOnOpenClipboard(pBitmap->GetSafeHandle());
    ::CloseClipboard();
    // Once handed over the bitmap is the clipboard's; otherwise it stays with the wrapper, which
    // deletes it.
    if (bHanded) pBitmap->Detach();
    return bHanded;
}

int CPeltoCore::CopyImageData(int which) {
    std::unique_ptr<CBitmap> pBitmap = BitmapFromImage(which ? m_pThubImage.get() : m_pImage.get());
    if (!pBitmap) return 0;
    BOOL bCopied = PutBitmapOnClipboard(pBitmap.get());
    // Another program that keeps the clipboard open is no success.
    return bCopied ? 1 : 0;
}

int CPeltoCore::PasteImageData() {
    // A delayed picture whose owner hangs would hold the interface for good.
    if (!ClipboardOwnerAnswers()) return 0;
    if (!OpenClipboardWithRetry(nullptr)) return 0;
    // Only the copy is made while the clipboard is open: the effects may take a while, and other
    // programs must not find the clipboard held meanwhile.
    CImageBitmap pasted(0x00FFFFFF);
    BOOL bCopied = ReadPictureFromOpenClipboard(pasted);
    ::CloseClipboard();
    if (!bCopied) return 0;
    if (!LoadPicture(&pasted)) return 0;
    m_ptSnapOrigin = CPoint(0, 0);
    return 1;
}

int CPeltoCore::OpenImage(CString strPath) {
    CString strFileName;
    if (strPath.IsEmpty()) {
        CGdiplusFileOpenDialog dlg(nullptr, OFN_EXPLORER | OFN_HIDEREADONLY, nullptr);
        if (dlg.DoModal() == IDOK) {
            strPath = dlg.GetPathName();
            strFileName = dlg.GetFileName();
        }
    }
    if (strPath.IsEmpty()) return 0;

    // Everything new is made first: a file that cannot become the whole picture (image,
    // thumbnail and both bitmaps) leaves the held one as it was.
    std::unique_ptr<Gdiplus::Image> pImage = LoadImageFromFile(strPath);
    // An image object without pixels would only be drawn, copied and saved as nothing.
    if (!pImage || pImage->GetLastStatus() != Gdiplus::Ok || pImage->GetWidth() == 0 ||
        pImage->GetHeight() == 0)
        return 0;
    std::unique_ptr<CBitmap> pBitmap = BitmapFromImage(pImage.get());
    if (!pBitmap || !pBitmap->GetSafeHandle()) return 0;
    // The effects' two bitmaps are made before the held picture goes, too: made after it and
    // failing, they would keep the previous picture, which the next effect switch would show.
    CImageBitmap original(0x00FFFFFF), processed(0x00FFFFFF);
    if (!CopyBitmapPair(pBitmap->GetSafeHandle(), &original, &processed)) return 0;
    m_config.ResetImageOption();
    ClearGdiplusImage();
    m_pImage = std::move(pImage);
    SetThubImage(m_pImage.get());
    TakeBitmaps(&original, &processed);
    m_strPathName = strPath;
    m_strFileName = strFileName;
    m_ptSnapOrigin = CPoint(0, 0);
    return 1;
}

int CPeltoCore::SaveImage(CString strPath, int which) {
    CString strFileName;
    Gdiplus::Image* pImage = which ? m_pThubImage.get() : m_pImage.get();
    if (!pImage) return 0;
    CLSID clsidEncoder = {};
    if (strPath.IsEmpty()) {
        CGdiplusFileSaveAsDialog dlg(L"", OFN_EXPLORER | OFN_OVERWRITEPROMPT, m_pMainWnd);
        if (dlg.DoModal() == IDOK) {
            clsidEncoder = dlg.GetCodecCLSID();
            strPath = dlg.GetPathName();
            strFileName = dlg.GetFileName();
        }
        if (strPath.IsEmpty()) return 0;
    } else if (!GetEncoderClsidForPath(strPath, &clsidEncoder)) {
        // No encoder knows the extension: writing some other format under that name would
        // mislead whoever opens the file.
        return 0;
    }
    if (!SaveImageFile(pImage, strPath, clsidEncoder)) return 0;
    if (!which) {
        m_strPathName = strPath;
        m_strFileName = strFileName;
    }
    return 1;
}
