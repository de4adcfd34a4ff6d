#include "lib/image/ImageProcessor.h"

#include <cstring>

#include "lib/image/WeightedSample.h"

CImage32BitProcessor::CImage32BitProcessor(int bSmooth) : m_bSmooth(bSmooth) {}

CImage32BitProcessor::~CImage32BitProcessor() {}

CSize CImage32BitProcessor::CalcDestSize(CSize sizeSrc) const { return sizeSrc; }

int CImage32BitProcessor::ProcessPixels(const RGBX* pSrc, CSize sizeSrc, RGBX* pDst,
                                        CSize sizeDst) {
    if (!pSrc || !pDst || sizeSrc.cx <= 0 || sizeSrc.cy <= 0 || sizeDst.cx <= 0 || sizeDst.cy <= 0)
        return 0;
    // A subclass may change the size but keep this copy; it must never read past the source.
    if (int64_t(sizeDst.cx) * sizeDst.cy > int64_t(sizeSrc.cx) * sizeSrc.cy) return 0;
    CopyPixels(pSrc, pDst, sizeDst);
    return 1;
}

RGBX CImage32BitProcessor::CalcWeightedColor(const RGBX* pSrc, CSize sizeSrc, double x,
                                             double y) const {
    if (!pSrc || sizeSrc.cx <= 0 || sizeSrc.cy <= 0) return RGBX{0, 0, 0, 0};
    return pelto_image::SampleWeighted(pSrc, sizeSrc.cx, sizeSrc.cy, x, y);
}

bool CImage32BitProcessor::IsValidCall(const RGBX* pSrc, CSize sizeSrc, const RGBX* pDst,
                                       CSize sizeDst, CSize sizeExpected) {
    return pSrc && pDst && sizeSrc.cx > 0 && sizeSrc.cy > 0 && sizeDst.cx > 0 && sizeDst.cy > 0 &&
           sizeDst == sizeExpected;
}

void CImage32BitProcessor::CopyPixels(const RGBX* pSrc, RGBX* pDst, CSize size) {
    std::memcpy(pDst, pSrc, static_cast<size_t>(size.cx) * static_cast<size_t>(size.cy) * 4);
}
