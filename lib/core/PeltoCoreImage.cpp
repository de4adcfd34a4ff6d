// The current picture: the effect chain, the GDI+ image with its thumbnail, and the conversions
// between device bitmaps and GDI+ images.
#include <climits>
#include <cstdint>
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
#include "lib/image/PictureConversion.h"
#include "lib/image/PixelBufferPool.h"
#include "lib/image/ProcessorChain.h"

namespace {
// The margin kept free round the thumbnail inside the preview control.
const int kThumbMargin = 2;

// The picture the replacement step looks for and what it puts in its place.
const COLORREF kReplaceFrom = RGB(0, 0, 0);
const COLORREF kReplaceTo = RGB(255, 0, 0);

const COLORREF kBackground = 0x00FFFFFF;

// Takes the held bitmap of pFrom into pTo, deleting what pTo held.
void MoveBitmap(CImageBitmap& from, CImageBitmap& to) {
    to.DeleteObject();
    to.Attach(from.Detach());
}

// The bitmap's size, when it is one a picture may have.
bool PictureSize(HBITMAP hBitmap, CSize* pSize) {
    BITMAP bm;
    if (!hBitmap || ::GetObjectW(hBitmap, sizeof(bm), &bm) != sizeof(bm)) return false;
    if (bm.bmWidth <= 0 || bm.bmHeight <= 0 || int64_t(bm.bmWidth) * bm.bmHeight > kMaxImagePixels)
        return false;
    *pSize = CSize(bm.bmWidth, bm.bmHeight);
    return true;
}

bool ReadPixels(HBITMAP hBitmap, CSize size, RGBX* pPixels) {
    BITMAPINFO bmi = {};
    CImageBitmap::SetInfoHeader32(bmi, size.cx, size.cy);
    CClientDC screen(HWND_DESKTOP);
    return screen.m_hDC && ::GetDIBits(screen.m_hDC, hBitmap, 0, static_cast<UINT>(size.cy),
                                       pPixels, &bmi, DIB_RGB_COLORS) != 0;
}

// Writes the pixels into bitmap: into the one it holds when that has their size (its memory is
// in use already, where a new bitmap's first touches cost more than the writing), else into a
// new one.
bool BitmapFromPixels(const RGBX* pPixels, CSize size, CBitmap& bitmap) {
    BITMAPINFO bmi = {};
    CImageBitmap::SetInfoHeader32(bmi, size.cx, size.cy);
    CClientDC screen(HWND_DESKTOP);
    if (!screen.m_hDC) return false;
    BITMAP bm;
    if (bitmap.GetSafeHandle() && (bitmap.GetObject(sizeof(bm), &bm) != sizeof(bm) ||
                                   bm.bmWidth != size.cx || bm.bmHeight != size.cy))
        bitmap.DeleteObject();
    if (!bitmap.GetSafeHandle() && !bitmap.CreateCompatibleBitmap(screen.m_hDC, size.cx, size.cy))
        return false;
    if (::SetDIBits(screen.m_hDC, bitmap.GetSafeHandle(), 0, static_cast<UINT>(size.cy), pPixels,
                    &bmi, DIB_RGB_COLORS) == 0) {
        bitmap.DeleteObject();
        return false;
    }
    return true;
}

// The 24-bit image over pixels that bits receives; the image draws from bits, which must outlive
// it. Null when GDI+ cannot make it.
std::unique_ptr<Gdiplus::Image> Image24FromPixels(const RGBX* pPixels, CSize size,
                                                  PixelBuffer& bits) {
    const int64_t stride = pelto_image::Stride24(size.cx);
    if (stride > INT_MAX) return nullptr;
    // As many pixels as the picture has, which is more than its 24-bit rows need: the buffers
    // of the pool then serve any of the picture's uses in turn.
    bits = TakePixelBuffer(static_cast<size_t>(size.cx) * static_cast<size_t>(size.cy));
    if (!bits.pixels) return nullptr;
    BYTE* pBytes = reinterpret_cast<BYTE*>(bits.pixels.get());
    pelto_image::ConvertTo24Bit(pPixels, size.cx, size.cy, pBytes, stride);
    std::unique_ptr<Gdiplus::Image> pImage(new Gdiplus::Bitmap(
        size.cx, size.cy, static_cast<INT>(stride), PixelFormat24bppRGB, pBytes));
    if (pImage && pImage->GetLastStatus() != Gdiplus::Ok) pImage.reset();
    return pImage;
}

// The box-averaged reduction of the pixels to tw x th as an image of its own.
std::unique_ptr<Gdiplus::Image> ThumbnailFromPixels(const RGBX* pPixels, CSize size, int tw, int th,
                                                    Gdiplus::PixelFormat format) {
    std::unique_ptr<Gdiplus::Bitmap> pThumb(new Gdiplus::Bitmap(tw, th, format));
    if (!pThumb || pThumb->GetLastStatus() != Gdiplus::Ok) return nullptr;
    Gdiplus::Rect rect(0, 0, tw, th);
    Gdiplus::BitmapData data;
    if (pThumb->LockBits(&rect, Gdiplus::ImageLockModeWrite, format, &data) != Gdiplus::Ok)
        return nullptr;
    pelto_image::BoxAverage(pPixels, size.cx, size.cy, static_cast<RGBX*>(data.Scan0), tw, th,
                            data.Stride);
    if (pThumb->UnlockBits(&data) != Gdiplus::Ok) return nullptr;
    return pThumb;
}
}  // namespace

void CPeltoCore::TakeBitmaps(CImageBitmap* pOriginal, CImageBitmap* pProcessed) {
    // The shared bitmap belongs to m_bmpOriginal: m_bmpProcessed only lets go of it.
    if (m_bProcessedShared) m_bmpProcessed.Detach();
    m_bProcessedShared = FALSE;
    if (pOriginal) MoveBitmap(*pOriginal, m_bmpOriginal);
    // The processed bitmap let go is kept for the next run of the effects to write into.
    if (m_bmpProcessed.GetSafeHandle()) MoveBitmap(m_bmpProcessed, m_bmpSpare);
    if (pProcessed)
        MoveBitmap(*pProcessed, m_bmpProcessed);
    else
        m_bProcessedShared = m_bmpProcessed.Attach(m_bmpOriginal.GetSafeHandle());
}

BOOL CPeltoCore::LoadPicture(CImageBitmap* pTaken) {
    try {
        // Everything is built aside first, so that a step that fails (memory for a large picture
        // or a large scale factor) leaves the engine's picture as it was.
        HBITMAP hOriginal = pTaken ? pTaken->GetSafeHandle() : m_bmpOriginal.GetSafeHandle();
        CSize size;
        if (!PictureSize(hOriginal, &size)) return FALSE;
        PixelBuffer pixels = TakePixelBuffer(static_cast<size_t>(size.cx) * size.cy);
        if (!pixels.pixels) return FALSE;
        // Whatever way this ends, the buffers go back for the next picture.
        struct Returner {
            PixelBuffer& b;
            ~Returner() { ReleasePixelBuffer(std::move(b)); }
        } returnPixels{pixels};
        if (!ReadPixels(hOriginal, size, pixels.pixels.get())) return FALSE;

        // The picture is copied into a processed bitmap of its own only when an effect changes
        // it; otherwise the processed picture is the one taken.
        CImageBitmap processed(kBackground);
        bool bProcessed = false;
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
            if (!chain.IsEmpty()) {
                ChainOutput out;
                if (!RunProcessorChain(std::move(pixels.pixels), size, chain.GetData(),
                                       static_cast<size_t>(chain.GetSize()), kBackground, &out,
                                       pixels.capacity))
                    return FALSE;
                pixels.pixels = std::move(out.pixels);
                pixels.capacity = out.capacity;
                size = out.size;
                processed.Attach(m_bmpSpare.Detach());
                if (!BitmapFromPixels(pixels.pixels.get(), size, processed)) return FALSE;
                bProcessed = true;
            }
        }

        PixelBuffer bits;
        std::unique_ptr<Gdiplus::Image> pImage = Image24FromPixels(pixels.pixels.get(), size, bits);
        if (!pImage) {
            ReleasePixelBuffer(std::move(bits));
            return FALSE;
        }
        int tw = 0, th = 0, x = m_nThubX, y = m_nThubY;
        std::unique_ptr<Gdiplus::Image> pThumb;
        if (ThumbnailLayout(size, &tw, &th, &x, &y))
            pThumb = ThumbnailFromPixels(pixels.pixels.get(), size, tw, th, PixelFormat32bppRGB);

        TakeBitmaps(pTaken, bProcessed ? &processed : nullptr);
        ClearGdiplusImage();
        m_pImage = std::move(pImage);
        m_imageBits = std::move(bits);
        m_pThubImage = std::move(pThumb);
        m_nThubX = x;
        m_nThubY = y;
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
    // The image drew from these; it is gone.
    ReleasePixelBuffer(std::move(m_imageBits));
    m_strPathName = L"";
    m_strFileName = L"";
}

bool CPeltoCore::CopyBitmapPair(HBITMAP hBitmap, CImageBitmap* pOriginal,
                                CImageBitmap* pProcessed) {
    return hBitmap && pOriginal->CopyImage(hBitmap) &&
           pProcessed->CopyImage(pOriginal->GetSafeHandle());
}

void CPeltoCore::ResetBitmapData(HBITMAP hBitmap) {
    CImageBitmap original(0x00FFFFFF), processed(0x00FFFFFF);
    if (CopyBitmapPair(hBitmap, &original, &processed)) TakeBitmaps(&original, &processed);
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

BOOL CPeltoCore::ThumbnailLayout(CSize sizeImage, int* pWidth, int* pHeight, int* pX,
                                 int* pY) const {
    CRect rcArea(0, 0, 0, 0);
    if (m_pViewWnd && m_pViewWnd->GetSafeHwnd()) m_pViewWnd->GetClientRect(&rcArea);
    int aw = rcArea.Width() - 2 * kThumbMargin;
    int ah = rcArea.Height() - 2 * kThumbMargin;
    // A preview with no room inside the margin shows no thumbnail rather than one of zero or
    // negative size.
    if (aw <= 0 || ah <= 0) return FALSE;

    int W = sizeImage.cx;
    int H = sizeImage.cy;
    if (W <= 0 || H <= 0) return FALSE;
    int tw = W, th = H;
    if (W > aw || H > ah) {
        double ratio = max(static_cast<double>(W) / aw, static_cast<double>(H) / ah);
        tw = max(1, static_cast<int>(W / ratio));
        th = max(1, static_cast<int>(H / ratio));
    }
    *pWidth = tw;
    *pHeight = th;
    *pX = (tw <= aw ? (aw - tw) / 2 : 0) + kThumbMargin;
    *pY = (th < ah ? (ah - th) / 2 : 0) + kThumbMargin;
    return TRUE;
}

void CPeltoCore::SetThubImage(const Gdiplus::Image* pConstImage) {
    m_pThubImage.reset();
    if (!pConstImage) return;
    Gdiplus::Image* pImage = const_cast<Gdiplus::Image*>(pConstImage);
    const CSize size(static_cast<int>(pImage->GetWidth()), static_cast<int>(pImage->GetHeight()));
    int tw, th;
    if (!ThumbnailLayout(size, &tw, &th, &m_nThubX, &m_nThubY)) return;
    // Any image (a metafile, a picture with a palette) is drawn into 32-bit pixels for the
    // reduction. The colours are premultiplied by their transparency, so that see-through pixels
    // (black under their zero alpha, as often as not) do not darken the ones they are averaged
    // with; opaque pictures are the same either way.
    const Gdiplus::PixelFormat kFormat = PixelFormat32bppPARGB;
    try {
        Gdiplus::Bitmap pixels(size.cx, size.cy, kFormat);
        if (pixels.GetLastStatus() != Gdiplus::Ok) return;
        {
            Gdiplus::Graphics graphics(&pixels);
            if (graphics.DrawImage(pImage, 0, 0, size.cx, size.cy) != Gdiplus::Ok) return;
        }
        Gdiplus::Rect rect(0, 0, size.cx, size.cy);
        Gdiplus::BitmapData data;
        if (pixels.LockBits(&rect, Gdiplus::ImageLockModeRead, kFormat, &data) != Gdiplus::Ok)
            return;
        // The reduction reads whole rows without gaps.
        if (data.Stride == size.cx * 4)
            m_pThubImage =
                ThumbnailFromPixels(static_cast<const RGBX*>(data.Scan0), size, tw, th, kFormat);
        pixels.UnlockBits(&data);
    } catch (...) {
        m_pThubImage.reset();
    }
}
