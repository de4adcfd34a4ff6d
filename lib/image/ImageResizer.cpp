#include "lib/image/ImageResizer.h"

#include <cstdint>

#include "lib/image/ResizeKernels.h"
#include "lib/image/SizeMath.h"

using namespace pelto_image;

CImageResizer::CImageResizer(double dFactor) : CImage32BitProcessor(0), m_dFactor(dFactor) {}

CSize CImageResizer::CalcDestSize(CSize sizeSrc) const {
    bool ok = true;
    int64_t w = TruncToInt(sizeSrc.cx * m_dFactor, &ok);
    int64_t h = TruncToInt(sizeSrc.cy * m_dFactor, &ok);
    return ok ? MakeDestSize(w, h) : CSize(0, 0);
}

int CImageResizer::ProcessPixels(const RGBX* pSrc, CSize sizeSrc, RGBX* pDst, CSize sizeDst) {
    if (m_dFactor <= 0) return 0;
    if (!IsValidCall(pSrc, sizeSrc, pDst, sizeDst, CImageResizer::CalcDestSize(sizeSrc))) return 0;
    if (m_dFactor == 1) {
        CopyPixels(pSrc, pDst, sizeDst);
        return 1;
    }
    if (m_dFactor > 1) return Enlarge(pSrc, sizeSrc, pDst, sizeDst);
    return Shrink(pSrc, sizeSrc, pDst, sizeDst);
}

int CImageResizer::Enlarge(const RGBX* pSrc, CSize sizeSrc, RGBX* pDst, CSize sizeDst) {
    if (!(m_dFactor > 1)) return 0;
    if (!IsValidCall(pSrc, sizeSrc, pDst, sizeDst, CImageResizer::CalcDestSize(sizeSrc))) return 0;
    EnlargePixels(pSrc, sizeSrc.cx, sizeSrc.cy, pDst, sizeDst.cx, sizeDst.cy, 1.0 / m_dFactor);
    return 1;
}

int CImageResizer::Shrink(const RGBX* pSrc, CSize sizeSrc, RGBX* pDst, CSize sizeDst) {
    if (!(m_dFactor > 0 && m_dFactor < 1)) return 0;
    if (!IsValidCall(pSrc, sizeSrc, pDst, sizeDst, CImageResizer::CalcDestSize(sizeSrc))) return 0;
    ShrinkPixels(pSrc, sizeSrc.cx, sizeSrc.cy, pDst, sizeDst.cx, sizeDst.cy, 1.0 / m_dFactor);
    return 1;
}
