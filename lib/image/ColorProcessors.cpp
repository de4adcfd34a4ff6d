#include "lib/image/ColorProcessors.h"

#include <cstring>

#include "lib/image/VectorKernels.h"

namespace {

inline uint32_t PixelBits(RGBX p) {
    uint32_t v;
    std::memcpy(&v, &p, 4);
    return v;
}

inline size_t PixelCount(CSize size) {
    return static_cast<size_t>(size.cx) * static_cast<size_t>(size.cy);
}

}  // namespace

CImageGrayer::CImageGrayer() : CImage32BitProcessor(0) {}

int CImageGrayer::ProcessPixels(const RGBX* pSrc, CSize sizeSrc, RGBX* pDst, CSize sizeDst) {
    if (!IsValidCall(pSrc, sizeSrc, pDst, sizeDst, sizeSrc)) return 0;
    pelto_image::Kernels().colour.grey(pSrc, pDst, PixelCount(sizeSrc));
    return 1;
}

CImageNegator::CImageNegator() : CImage32BitProcessor(0) {}

int CImageNegator::ProcessPixels(const RGBX* pSrc, CSize sizeSrc, RGBX* pDst, CSize sizeDst) {
    if (!IsValidCall(pSrc, sizeSrc, pDst, sizeDst, sizeSrc)) return 0;
    pelto_image::Kernels().colour.negate(pSrc, pDst, PixelCount(sizeSrc));
    return 1;
}

CImageColorReplacer::CImageColorReplacer(uint32_t clrFrom, uint32_t clrTo)
    : CImage32BitProcessor(0), m_clrFrom(clrFrom), m_clrTo(clrTo) {}

int CImageColorReplacer::ProcessPixels(const RGBX* pSrc, CSize sizeSrc, RGBX* pDst, CSize sizeDst) {
    if (!IsValidCall(pSrc, sizeSrc, pDst, sizeDst, sizeSrc)) return 0;
    if (m_clrFrom == m_clrTo) {
        CopyPixels(pSrc, pDst, sizeDst);
        return 1;
    }
    const uint32_t from = PixelBits(RgbxFromColorref(m_clrFrom));
    const uint32_t to = PixelBits(RgbxFromColorref(m_clrTo));
    pelto_image::Kernels().colour.replace(pSrc, pDst, PixelCount(sizeSrc), from, to);
    return 1;
}
