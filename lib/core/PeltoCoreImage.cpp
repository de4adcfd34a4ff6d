// The current picture: the effect chain, the GDI+ image with its thumbnail, and the conversions
// between device bitmaps and GDI+ images.
#include <memory>
#include <new>

#include "lib/core/PeltoCore.h"

#include "lib/codec/GdiplusHeaders.h"

#include "lib/image/ColorProcessors.h"
#include "lib/image/FilterProcessors.h"
#include "lib/image/ImageFlipper.h"
#include "lib/image/ImageResizer.h"
#include "lib/image/ImageRotator.h"
#include "lib/image/ImageShearer.h"

namespace {
// The margin kept free round the thumbnail inside the preview control.
const int kThumbMargin = 2;

// The picture the replacement step looks for and what it puts in its place.
const COLORREF kReplaceFrom = RGB(0, 0, 0);
const COLORREF kReplaceTo = RGB(255, 0, 0);

// Takes the held bitmap of pFrom into pTo, deleting what pTo held.
void MoveBitmap(CImageBitmap& from, CImageBitmap& to) {
    to.DeleteObject();
    to.Attach(from.Detach());
}
}  // namespace

BOOL CPeltoCore::LoadPicture(HBITMAP hSource) {
    try {
        // Everything is built aside first, so that a step that fails (memory for a large picture
        // or a large scale factor) leaves the engine's picture as it was.
        CImageBitmap original(0x00FFFFFF);
        if (hSource) {
            if (!original.CopyImage(hSource)) return FALSE;
        } else if (!m_bmpOriginal.GetSafeHandle()) {
            return FALSE;
        }
        CImageBitmap processed(0x00FFFFFF);
        if (!processed.CopyImage(hSource ? original.GetSafeHandle()
                                         : m_bmpOriginal.GetSafeHandle()))
            return FALSE;

        if (m_config.m_bApplyEffects) {
            CPeltoConfig& c = m_config;
            CImageGrayer grayer;
            CImageNegator negator;
            CImageFlipper flipper(c.GetFlipHorz(), c.GetFlipVert());
            CImageRotator rotator(c.GetRotateAngle(), c.m_bSmoothTransform);
            CImageResizer resizer(c.GetScaleFactor() / 100.0);
            CImageShearer shearer(c.GetShearAcross() ? c.GetShearAcrossAmout() : 0,
                                  c.GetShearDown() ? c.GetShearDownAmout() : 0,
                                  c.m_bSmoothTransform);
            CImageBlurrer blurrer(c.GetBlurFactor());
            CImageSharpener sharpener(c.GetSharpenFactor());
            CImageColorReplacer replacer(kReplaceFrom, kReplaceTo);

            CImageProcessorChain chain;
            if (c.GetGrayScale()) chain.Add(&grayer);
            if (c.GetNegate()) chain.Add(&negator);
            if (c.m_bColorReplace) chain.Add(&replacer);
            if (c.GetFlipHorz() || c.GetFlipVert()) chain.Add(&flipper);
            if (c.GetRotate()) chain.Add(&rotator);
            if (c.GetScale()) chain.Add(&resizer);
            if (c.GetShearDown() || c.GetShearAcross()) chain.Add(&shearer);
            if (c.GetBlur()) chain.Add(&blurrer);
            if (c.GetSharpen()) chain.Add(&sharpener);
            if (!processed.ProcessImage(chain)) return FALSE;
        }

        std::unique_ptr<Gdiplus::Image> pImage = ImageFromBitmap(processed.GetSafeHandle());
        if (!pImage) return FALSE;

        if (hSource) MoveBitmap(original, m_bmpOriginal);
        MoveBitmap(processed, m_bmpProcessed);
        ClearGdiplusImage();
        m_pImage = std::move(pImage);
        SetThubImage(m_pImage.get());
        return TRUE;
    } catch (...) {
        return FALSE;
    }
}

void CPeltoCore::RefreshImageData() {
    // A chain that cannot run keeps the picture that is shown.
    LoadPicture(nullptr);
}

void CPeltoCore::ClearGdiplusImage() {
    m_pImage.reset();
    m_pThubImage.reset();
    m_strPathName = L"";
    m_strFileName = L"";
}

void CPeltoCore::ResetBitmapData(HBITMAP hBitmap) {
    if (!hBitmap) return;
    CImageBitmap original(0x00FFFFFF), processed(0x00FFFFFF);
    if (!original.CopyImage(hBitmap) || !processed.CopyImage(original.GetSafeHandle())) return;
    MoveBitmap(original, m_bmpOriginal);
    MoveBitmap(processed, m_bmpProcessed);
}

Gdiplus::Image* CPeltoCore::ConvertImage(HBITMAP hBitmap) {
    return ImageFromBitmap(hBitmap).release();
}

CBitmap* CPeltoCore::ConvertImage(const Gdiplus::Image* pImage) {
    return BitmapFromImage(pImage).release();
}

std::unique_ptr<Gdiplus::Image> CPeltoCore::ImageFromBitmap(HBITMAP hBitmap) {
    if (!hBitmap) return nullptr;
    std::unique_ptr<Gdiplus::Bitmap> pSource(Gdiplus::Bitmap::FromHBITMAP(hBitmap, nullptr));
    if (!pSource || pSource->GetLastStatus() != Gdiplus::Ok) return nullptr;
    INT nWidth = static_cast<INT>(pSource->GetWidth());
    INT nHeight = static_cast<INT>(pSource->GetHeight());
    if (nWidth <= 0 || nHeight <= 0) return nullptr;
    std::unique_ptr<Gdiplus::Image> pClone(
        pSource->Clone(0, 0, nWidth, nHeight, PixelFormat24bppRGB));
    if (pClone && pClone->GetLastStatus() != Gdiplus::Ok) pClone.reset();
    return pClone;
}

HBITMAP CPeltoCore::CopyImageBitmap() const {
    std::unique_ptr<CBitmap> pBitmap = BitmapFromImage(m_pImage.get());
    return pBitmap ? static_cast<HBITMAP>(pBitmap->Detach()) : nullptr;
}

std::unique_ptr<CBitmap> CPeltoCore::BitmapFromImage(const Gdiplus::Image* pConstImage) const {
    if (!pConstImage) return nullptr;
    // GDI+'s getters are not const; none of them changes the picture.
    Gdiplus::Image* pImage = const_cast<Gdiplus::Image*>(pConstImage);
    INT nWidth = static_cast<INT>(pImage->GetWidth());
    INT nHeight = static_cast<INT>(pImage->GetHeight());
    if (nWidth <= 0 || nHeight <= 0) return nullptr;

    HWND hReference = m_pViewWnd ? m_pViewWnd->GetSafeHwnd() : nullptr;
    CClientDC dcReference(hReference);
    if (!dcReference.m_hDC) return nullptr;
    CDC dcMemory;
    if (!dcMemory.CreateCompatibleDC(dcReference.m_hDC)) return nullptr;
    std::unique_ptr<CBitmap> pBitmap(new (std::nothrow) CBitmap);
    if (!pBitmap || !pBitmap->CreateCompatibleBitmap(dcReference.m_hDC, nWidth, nHeight))
        return nullptr;
    Gdiplus::Status status;
    {
        CSelectObject select(dcMemory, *pBitmap);
        Gdiplus::Graphics graphics(dcMemory.m_hDC);
        status = graphics.DrawImage(pImage, 0, 0, nWidth, nHeight);
    }
    if (status != Gdiplus::Ok) return nullptr;
    return pBitmap;
}

void CPeltoCore::SetThubImage(const Gdiplus::Image* pConstImage) {
    m_pThubImage.reset();
    if (!pConstImage) return;
    Gdiplus::Image* pImage = const_cast<Gdiplus::Image*>(pConstImage);

    CRect rcArea(0, 0, 0, 0);
    if (m_pViewWnd && m_pViewWnd->GetSafeHwnd()) m_pViewWnd->GetClientRect(&rcArea);
    int aw = rcArea.Width() - 2 * kThumbMargin;
    int ah = rcArea.Height() - 2 * kThumbMargin;
    // A preview with no room inside the margin shows no thumbnail rather than one of zero or
    // negative size.
    if (aw <= 0 || ah <= 0) return;

    int W = static_cast<int>(pImage->GetWidth());
    int H = static_cast<int>(pImage->GetHeight());
    if (W <= 0 || H <= 0) return;
    int tw = W, th = H;
    if (W > aw || H > ah) {
        double ratio = max(static_cast<double>(W) / aw, static_cast<double>(H) / ah);
        tw = max(1, static_cast<int>(W / ratio));
        th = max(1, static_cast<int>(H / ratio));
    }
    m_nThubX = (tw <= aw ? (aw - tw) / 2 : 0) + kThumbMargin;
    m_nThubY = (th < ah ? (ah - th) / 2 : 0) + kThumbMargin;
    m_pThubImage.reset(
        pImage->GetThumbnailImage(static_cast<UINT>(tw), static_cast<UINT>(th), nullptr, nullptr));
}
