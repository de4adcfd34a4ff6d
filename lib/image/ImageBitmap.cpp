#include "lib/image/ImageBitmap.h"

#include <memory>
#include <new>

#include "lib/image/ColorProcessors.h"
#include "lib/image/FilterProcessors.h"
#include "lib/image/ImageFlipper.h"
#include "lib/image/ImageResizer.h"
#include "lib/image/ImageRotator.h"
#include "lib/image/ImageShearer.h"
#include "lib/image/PixelFill.h"
#include "lib/image/PixelBufferPool.h"
#include "lib/image/ProcessorChain.h"

namespace {

bool BitmapSize(HBITMAP h, LONG* pWidth, LONG* pHeight) {
    BITMAP bm;
    if (!h || ::GetObjectW(h, sizeof(bm), &bm) != sizeof(bm)) return false;
    *pWidth = bm.bmWidth;
    *pHeight = bm.bmHeight;
    return true;
}

// Writes 32-bit top-down pixels into a new screen-compatible bitmap; false (and nothing held)
// when the platform cannot make or fill it.
bool BitmapFromPixels(const RGBX* pPixels, LONG width, LONG height, BITMAPINFO& bmi,
                      CBitmap& bitmap) {
    CClientDC screen(HWND_DESKTOP);
    if (!screen.m_hDC || !bitmap.CreateCompatibleBitmap(screen.m_hDC, width, height)) return false;
    if (::SetDIBits(screen.m_hDC, bitmap.GetSafeHandle(), 0, static_cast<UINT>(height), pPixels,
                    &bmi, DIB_RGB_COLORS) == 0) {
        bitmap.DeleteObject();
        return false;
    }
    return true;
}

}  // namespace

CImageBitmap::CImageBitmap(COLORREF clrBackground) : m_clrBackground(clrBackground) {}

CImageBitmap::~CImageBitmap() = default;

BOOL CImageBitmap::Replace(CBitmap& bitmap) {
    if (!bitmap.GetSafeHandle()) return FALSE;
    DeleteObject();
    return Attach(bitmap.Detach());
}

void CImageBitmap::SetInfoHeader32(BITMAPINFO& bmi, LONG width, LONG height) {
    BITMAPINFOHEADER& h = bmi.bmiHeader;
    h.biSize = sizeof(BITMAPINFOHEADER);
    h.biWidth = width;
    h.biHeight = -height;
    h.biPlanes = 1;
    h.biBitCount = 32;
    h.biCompression = BI_RGB;
    h.biSizeImage = 0;
    h.biClrUsed = 0;
    h.biClrImportant = 0;
}

LONG CImageBitmap::PrepareBitmapInfo32(BITMAPINFO& bmi, HBITMAP hBitmap) {
    LONG width, height;
    if (!BitmapSize(hBitmap ? hBitmap : GetSafeHandle(), &width, &height)) return 0;
    SetInfoHeader32(bmi, width, height);
    bmi.bmiHeader.biSizeImage = static_cast<DWORD>(static_cast<uint64_t>(width) * height * 4);
    return height;
}

RGBX* CImageBitmap::GetDIBits32() {
    LONG width, height;
    if (!BitmapSize(GetSafeHandle(), &width, &height) || height == 0 || width <= 0 || height < 0)
        return nullptr;
    if (static_cast<int64_t>(width) * height > kMaxImagePixels) return nullptr;
    BITMAPINFO bmi = {};
    PrepareBitmapInfo32(bmi);
    std::unique_ptr<RGBX[]> pPixels(new (std::nothrow) RGBX[static_cast<size_t>(width) * height]);
    if (!pPixels) return nullptr;
    CClientDC screen(HWND_DESKTOP);
    if (!screen.m_hDC || ::GetDIBits(screen.m_hDC, GetSafeHandle(), 0, static_cast<UINT>(height),
                                     pPixels.get(), &bmi, DIB_RGB_COLORS) == 0)
        return nullptr;
    return pPixels.release();
}

BOOL CImageBitmap::CopyImage(HBITMAP hBitmap) {
    if (!hBitmap) return FALSE;
    BITMAPINFO bmi = {};
    LONG height = PrepareBitmapInfo32(bmi, hBitmap);
    LONG width = bmi.bmiHeader.biWidth;
    if (height <= 0 || width <= 0) return FALSE;
    if (static_cast<int64_t>(width) * height > kMaxImagePixels) return FALSE;
    PixelBuffer pixels = TakePixelBuffer(static_cast<size_t>(width) * height);
    if (!pixels.pixels) return FALSE;
    CBitmap copy;
    {
        CClientDC screen(HWND_DESKTOP);
        if (screen.m_hDC && ::GetDIBits(screen.m_hDC, hBitmap, 0, static_cast<UINT>(height),
                                        pixels.pixels.get(), &bmi, DIB_RGB_COLORS) != 0)
            BitmapFromPixels(pixels.pixels.get(), width, height, bmi, copy);
    }
    ReleasePixelBuffer(std::move(pixels));
    return Replace(copy);
}

BOOL CImageBitmap::CopyImage(CBitmap* pBitmap) {
    return pBitmap ? CopyImage(pBitmap->GetSafeHandle()) : FALSE;
}

BOOL CImageBitmap::Fill(RGBX* pPixels, CSize size, COLORREF clr) {
    return FillPixels(pPixels, size, static_cast<uint32_t>(clr)) ? TRUE : FALSE;
}

BOOL CImageBitmap::ProcessImage(CImageProcessorChain& chain) {
    if (!GetSafeHandle()) return FALSE;
    if (chain.IsEmpty()) return TRUE;
    LONG width, height;
    if (!BitmapSize(GetSafeHandle(), &width, &height)) return FALSE;
    CSize sizeFinal, sizeMax;
    // A chain that would need too much memory is refused before any pixel is read.
    if (!CalcChainSizes(CSize(width, height), chain.GetData(), static_cast<size_t>(chain.GetSize()),
                        &sizeFinal, &sizeMax))
        return FALSE;
    try {
        // The pixels go into a kept buffer rather than GetDIBits32's fresh one: first touches of
        // new memory cost more than most effects.
        PixelBuffer source = TakePixelBuffer(static_cast<size_t>(width) * height);
        if (!source.pixels) return FALSE;
        {
            BITMAPINFO bmiSource = {};
            CClientDC screen(HWND_DESKTOP);
            if (PrepareBitmapInfo32(bmiSource) == 0 || !screen.m_hDC ||
                ::GetDIBits(screen.m_hDC, GetSafeHandle(), 0, static_cast<UINT>(height),
                            source.pixels.get(), &bmiSource, DIB_RGB_COLORS) == 0) {
                ReleasePixelBuffer(std::move(source));
                return FALSE;
            }
        }
        ChainOutput out;
        if (!RunProcessorChain(std::move(source.pixels), CSize(width, height), chain.GetData(),
                               static_cast<size_t>(chain.GetSize()),
                               static_cast<uint32_t>(m_clrBackground), &out, source.capacity))
            return FALSE;
        PixelBuffer result;
        result.pixels = std::move(out.pixels);
        result.capacity = out.capacity;
        BITMAPINFO bmi = {};
        CClientDC screen(HWND_DESKTOP);
        CBitmap processed;
        const bool written =
            screen.m_hDC &&
            processed.CreateCompatibleBitmap(screen.m_hDC, out.size.cx, out.size.cy) &&
            PrepareBitmapInfo32(bmi, processed.GetSafeHandle()) != 0 &&
            ::SetDIBits(screen.m_hDC, processed.GetSafeHandle(), 0, static_cast<UINT>(out.size.cy),
                        result.pixels.get(), &bmi, DIB_RGB_COLORS) != 0;
        ReleasePixelBuffer(std::move(result));
        if (!written) return FALSE;
        return Replace(processed);
    } catch (...) {
        return FALSE;
    }
}

BOOL CImageBitmap::ProcessImage(CImage32BitProcessor* pProcessor) {
    CImageProcessorChain chain;
    chain.Add(pProcessor);
    return ProcessImage(chain);
}

BOOL CImageBitmap::RotateImage(int nDegrees, int bSmooth) {
    CImageRotator p(nDegrees, bSmooth);
    return ProcessImage(&p);
}

BOOL CImageBitmap::ShearImage(int nAcross, int nDown, int bSmooth) {
    CImageShearer p(nAcross, nDown, bSmooth);
    return ProcessImage(&p);
}

BOOL CImageBitmap::GrayImage() {
    CImageGrayer p;
    return ProcessImage(&p);
}

BOOL CImageBitmap::BlurImage(int nStrength) {
    CImageBlurrer p(nStrength);
    return ProcessImage(&p);
}

BOOL CImageBitmap::SharpenImage(int nStrength) {
    CImageSharpener p(nStrength);
    return ProcessImage(&p);
}

BOOL CImageBitmap::ResizeImage(double dFactor) {
    CImageResizer p(dFactor);
    return ProcessImage(&p);
}

BOOL CImageBitmap::FlipImage(int bLeftRight, int bTopBottom) {
    CImageFlipper p(bLeftRight, bTopBottom);
    return ProcessImage(&p);
}

BOOL CImageBitmap::NegateImage() {
    CImageNegator p;
    return ProcessImage(&p);
}

BOOL CImageBitmap::ReplaceColor(COLORREF clrFrom, COLORREF clrTo) {
    CImageColorReplacer p(clrFrom, clrTo);
    return ProcessImage(&p);
}
