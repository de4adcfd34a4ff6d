#include "lib/image/ImageShearer.h"

#include <cstdint>

#include "lib/image/SizeMath.h"
#include "lib/image/WeightedSample.h"

using namespace pelto_image;

CImageShearer::CImageShearer(int nAcross, int nDown, int bSmooth)
    : CImage32BitProcessor(bSmooth), m_nAcross(nAcross), m_nDown(nDown) {}

CSize CImageShearer::CalcDestSize(CSize sizeSrc) const {
    // In 64 bits: abs(INT_MIN) does not exist as an int.
    int64_t across = m_nAcross < 0 ? -int64_t(m_nAcross) : int64_t(m_nAcross);
    int64_t down = m_nDown < 0 ? -int64_t(m_nDown) : int64_t(m_nDown);
    return MakeDestSize(sizeSrc.cx + across, sizeSrc.cy + down);
}

// Columns are handled in strips so that the per-column offsets live in a small table on the
// stack instead of being divided out again for every pixel.
static const int64_t kStrip = 256;

int CImageShearer::ProcessPixels(const RGBX* pSrc, CSize sizeSrc, RGBX* pDst, CSize sizeDst) {
    if (!IsValidCall(pSrc, sizeSrc, pDst, sizeDst, CImageShearer::CalcDestSize(sizeSrc))) return 0;
    if (m_nAcross == 0 && m_nDown == 0) {
        CopyPixels(pSrc, pDst, sizeDst);
        return 1;
    }
    const int64_t w = sizeSrc.cx, h = sizeSrc.cy;
    const int64_t dw = sizeDst.cx, dh = sizeDst.cy;
    const double across = m_nAcross, down = m_nDown;
    const double ddw = static_cast<double>(dw), ddh = static_cast<double>(dh);
    double offY[kStrip];
    for (int64_t x0 = 0; x0 < dw; x0 += kStrip) {
        const int64_t n = dw - x0 < kStrip ? dw - x0 : kStrip;
        for (int64_t k = 0; k < n; ++k) {
            const double x = static_cast<double>(x0 + k);
            if (m_nDown > 0)
                offY[k] = down * x / ddw;
            else if (m_nDown < 0)
                offY[k] = (ddw - x) * -down / ddw;
            else
                offY[k] = 0;
        }
        for (int64_t y = 0; y < dh; ++y) {
            const double dy = static_cast<double>(y);
            double offX = 0;
            if (m_nAcross < 0)
                offX = -across * dy / ddh;
            else if (m_nAcross > 0)
                offX = (ddh - dy) * across / ddh;
            RGBX* out = pDst + y * dw + x0;
            for (int64_t k = 0; k < n; ++k) {
                const double sx = static_cast<double>(x0 + k) - offX;
                const double sy = dy - offY[k];
                // Both lie in (-amount - 1, size): the truncation cannot overflow.
                const int64_t ix = static_cast<int64_t>(sx);
                const int64_t iy = static_cast<int64_t>(sy);
                if (ix < 0 || ix >= w || iy < 0 || iy >= h) continue;
                if (m_bSmooth)
                    out[k] = SampleWeightedFast(pSrc, w, h, sx, sy);
                else
                    out[k] = pSrc[iy * w + ix];
            }
        }
    }
    return 1;
}
