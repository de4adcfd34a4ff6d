#include "lib/image/ImageShearer.h"

#include <cstdint>

#include "lib/image/RowWorkers.h"
#include "lib/image/SizeMath.h"
#include "lib/image/VectorKernels.h"
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

// One smoothly sampled pixel, or none when the position is off the source.
static inline void SampleOne(const RGBX* pSrc, int64_t w, int64_t h, double sx, double sy,
                             RGBX* pOut) {
    const int64_t ix = static_cast<int64_t>(sx);
    const int64_t iy = static_cast<int64_t>(sy);
    if (ix < 0 || ix >= w || iy < 0 || iy >= h) return;
    *pOut = SampleWeightedFast(pSrc, w, h, sx, sy);
}

// Asks for the source line two rows below position (x, y), clamped onto the source.
static inline void PrefetchTwoRowsDown(const RGBX* pSrc, int64_t w, int64_t h, double x, double y) {
    const int64_t ix = ClampedIndex(x, w);
    const int64_t iy = ClampedIndex(y + 2, h);
    _mm_prefetch(reinterpret_cast<const char*>(pSrc + iy * w + ix), _MM_HINT_T0);
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
    const TurnKernels& kernels = Kernels().turn;
    const double dW = static_cast<double>(w), dH = static_cast<double>(h);
    // Each row's offset comes from its own index: the rows can be split among threads.
    SplitRows(dh, dw * dh, [&](int64_t rowFirst, int64_t rowLast) {
        double offY[kStrip];
        double xs[kStrip], ys[kStrip];
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
            for (int64_t y = rowFirst; y < rowLast; ++y) {
                const double dy = static_cast<double>(y);
                double offX = 0;
                if (m_nAcross < 0)
                    offX = -across * dy / ddh;
                else if (m_nAcross > 0)
                    offX = (ddh - dy) * across / ddh;
                RGBX* out = pDst + y * dw + x0;
                if (!m_bSmooth) {
                    for (int64_t k = 0; k < n; ++k) {
                        const double sx = static_cast<double>(x0 + k) - offX;
                        const double sy = dy - offY[k];
                        // Both lie in (-amount - 1, size): the truncation cannot overflow.
                        const int64_t ix = static_cast<int64_t>(sx);
                        const int64_t iy = static_cast<int64_t>(sy);
                        if (ix < 0 || ix >= w || iy < 0 || iy >= h) continue;
                        out[k] = pSrc[iy * w + ix];
                    }
                    continue;
                }
                if (kernels.sampleRun) {
                    // The same subtractions as one by one (the columns are whole numbers, exact
                    // in doubles however they are counted), then the samples.
                    const __m128d vOffX = _mm_set1_pd(offX), vDy = _mm_set1_pd(dy);
                    const __m128d two = _mm_set1_pd(2.0);
                    __m128d column =
                        _mm_set_pd(static_cast<double>(x0 + 1), static_cast<double>(x0));
                    int64_t k = 0;
                    for (; k + 2 <= n; k += 2, column = _mm_add_pd(column, two)) {
                        _mm_storeu_pd(xs + k, _mm_sub_pd(column, vOffX));
                        _mm_storeu_pd(ys + k, _mm_sub_pd(vDy, _mm_loadu_pd(offY + k)));
                    }
                    if (k < n) {
                        xs[k] = static_cast<double>(x0 + k) - offX;
                        ys[k] = dy - offY[k];
                    }
                    // The row below the one each sample reads is read for the first time here, and
                    // the row below that is the next row's: asked for now, it is there in time.
                    for (int64_t m = 0; m < n; m += 8)
                        PrefetchTwoRowsDown(pSrc, w, h, xs[m], ys[m]);
                    kernels.sampleRun(pSrc, w, h, 0, 0, xs, ys, n, out);
                    continue;
                }
                // Two columns at a time while both positions lie inside the sampling range, which
                // is nearly everywhere; the positions are the same subtractions as one by one.
                const __m128d vOffX = _mm_set1_pd(offX), vDy = _mm_set1_pd(dy);
                const __m128d zero = _mm_setzero_pd(), vW = _mm_set1_pd(dW), vH = _mm_set1_pd(dH);
                __m128d column = _mm_set_pd(static_cast<double>(x0 + 1), static_cast<double>(x0));
                const __m128d two = _mm_set1_pd(2.0);
                int64_t k = 0;
                for (; k + 2 <= n; k += 2, column = _mm_add_pd(column, two)) {
                    const __m128d sx = _mm_sub_pd(column, vOffX);
                    const __m128d sy = _mm_sub_pd(vDy, _mm_loadu_pd(offY + k));
                    const __m128d ok =
                        _mm_and_pd(_mm_and_pd(_mm_cmpge_pd(sx, zero), _mm_cmplt_pd(sx, vW)),
                                   _mm_and_pd(_mm_cmpge_pd(sy, zero), _mm_cmplt_pd(sy, vH)));
                    if (_mm_movemask_pd(ok) == 3) {
                        if ((k & 15) == 0) {
                            const int64_t ix = _mm_cvttsd_si32(sx), iy = _mm_cvttsd_si32(sy);
                            PrefetchSample(pSrc, w, h, ix, iy);
                        }
                        SampleTwoOrdinary(pSrc, w, h, sx, sy, out + k, out + k + 1);
                        continue;
                    }
                    SampleOne(pSrc, w, h, static_cast<double>(x0 + k) - offX, dy - offY[k],
                              out + k);
                    SampleOne(pSrc, w, h, static_cast<double>(x0 + k + 1) - offX, dy - offY[k + 1],
                              out + k + 1);
                }
                if (k < n)
                    SampleOne(pSrc, w, h, static_cast<double>(x0 + k) - offX, dy - offY[k],
                              out + k);
            }
        }
    });
    return 1;
}
