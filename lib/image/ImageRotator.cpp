#include "lib/image/ImageRotator.h"

#include <cmath>
#include <cstdint>

#include "lib/image/RowWorkers.h"
#include "lib/image/SizeMath.h"
#include "lib/image/VectorKernels.h"
#include "lib/image/WeightedSample.h"

using namespace pelto_image;

static const double kPi = 3.141592653589793;
static const double kTwoPi = 6.283185307179586;
static const int64_t kBand = 64;
static const int64_t kStrip = kTurnStrip;
static const int64_t kGroup = kTurnGroup;
// Beyond this many turns stepping by whole turns takes too long (and for huge values never
// moves the number at all); the exact remainder takes over.
static const double kSteppedTurnsLimit = kTwoPi * 1048576.0;

CImageRotator::CImageRotator(int nDegrees, int bSmooth) : CImage32BitProcessor(bSmooth) {
    int deg = nDegrees % 360;
    if (deg < 0) deg += 360;
    m_dAngle = deg * kPi / 180;
}

CImageRotator::CImageRotator(double dRadians) : CImage32BitProcessor(0) {
    if (!std::isfinite(dRadians)) {
        m_dAngle = std::nan("");
        return;
    }
    double a = dRadians;
    if (a >= kSteppedTurnsLimit || a <= -kSteppedTurnsLimit) a = std::fmod(a, kTwoPi);
    while (a >= kTwoPi) a -= kTwoPi;
    while (a <= 0) a += kTwoPi;
    m_dAngle = a;
}

CSize CImageRotator::CalcDestSize(CSize sizeSrc) const {
    if (std::isnan(m_dAngle)) return CSize(0, 0);
    // A side of 0 or less is not a picture; it comes back unchanged and the caller refuses it.
    if (m_dAngle == 0 || sizeSrc.cx <= 0 || sizeSrc.cy <= 0) return sizeSrc;
    return RotatedSize(sizeSrc);
}

CSize CImageRotator::RotatedSize(CSize sizeSrc) const {
    const double c = std::cos(m_dAngle);
    const double s = std::sin(m_dAngle);
    const double hx = 0.5 * sizeSrc.cx;
    const double hy = 0.5 * sizeSrc.cy;
    const double xs[4] = {-hx, hx, -hx, hx};
    const double ys[4] = {-hy, -hy, hy, hy};
    int64_t mx = 0, my = 0;
    for (int k = 0; k < 4; ++k) {
        // |x'| and |y'| stay below |W| + |H|, so they always fit 64 bits.
        int64_t tx = static_cast<int64_t>(xs[k] * c - ys[k] * s);
        int64_t ty = static_cast<int64_t>(xs[k] * s + ys[k] * c);
        if (tx < 0) tx = -tx;
        if (ty < 0) ty = -ty;
        if (tx > mx) mx = tx;
        if (ty > my) my = ty;
    }
    return MakeDestSize(2 * mx + 2, 2 * my + 2);
}

// Advances n (at most kGroup) rows of positions by cols columns, one addition per column and
// row as always, writing every position; kGroup rows go side by side, since each row's chain of
// additions waits on its previous sum.
static void AdvanceRows(double* pX, double* pY, int64_t n, double c, double ns, int64_t cols,
                        double (*qx)[kStrip], double (*qy)[kStrip]) {
    if (n == kGroup) {
        double X0 = pX[0], X1 = pX[1], X2 = pX[2], X3 = pX[3];
        double Y0 = pY[0], Y1 = pY[1], Y2 = pY[2], Y3 = pY[3];
        for (int64_t j = 0; j < cols; ++j) {
            X0 += c;
            X1 += c;
            X2 += c;
            X3 += c;
            Y0 += ns;
            Y1 += ns;
            Y2 += ns;
            Y3 += ns;
            qx[0][j] = X0;
            qx[1][j] = X1;
            qx[2][j] = X2;
            qx[3][j] = X3;
            qy[0][j] = Y0;
            qy[1][j] = Y1;
            qy[2][j] = Y2;
            qy[3][j] = Y3;
        }
        const double xs[kGroup] = {X0, X1, X2, X3}, ys[kGroup] = {Y0, Y1, Y2, Y3};
        for (int64_t k = 0; k < kGroup; ++k) {
            pX[k] = xs[k];
            pY[k] = ys[k];
        }
        return;
    }
    for (int64_t k = 0; k < n; ++k) {
        double X = pX[k], Y = pY[k];
        for (int64_t j = 0; j < cols; ++j) {
            X += c;
            Y += ns;
            qx[k][j] = X;
            qy[k][j] = Y;
        }
        pX[k] = X;
        pY[k] = Y;
    }
}

// Asks for the destination lines of a run: its rows are written a strip at a time, far too
// many of them side by side for the hardware to see them coming, and each store that misses
// holds up the ones behind it.
static void PrefetchForWriting(const RGBX* p, int64_t n) {
    const char* from = reinterpret_cast<const char*>(p);
    const char* to = reinterpret_cast<const char*>(p + n);
    for (; from < to; from += 64) __builtin_prefetch(from, 1);
}

// A run's positions lie on a straight line (up to rounding far below a pixel): when both ends
// are well off the same side of the source, so is every position between them.
static bool RunMissesSource(const double* pX, const double* pY, int64_t n, int64_t cw, int64_t ch,
                            int64_t w, int64_t h) {
    const double margin = 2;
    const double x0 = pX[0], x1 = pX[n - 1], y0 = pY[0], y1 = pY[n - 1];
    const double loX = static_cast<double>(-cw) - margin,
                 hiX = static_cast<double>(w - cw) + margin;
    const double loY = static_cast<double>(-ch) - margin,
                 hiY = static_cast<double>(h - ch) + margin;
    return (x0 < loX && x1 < loX) || (x0 > hiX && x1 > hiX) || (y0 < loY && y1 < loY) ||
           (y0 > hiY && y1 > hiY);
}

int CImageRotator::ProcessPixels(const RGBX* pSrc, CSize sizeSrc, RGBX* pDst, CSize sizeDst) {
    if (!IsValidCall(pSrc, sizeSrc, pDst, sizeDst, CImageRotator::CalcDestSize(sizeSrc))) return 0;
    if (m_dAngle == 0) {
        CopyPixels(pSrc, pDst, sizeDst);
        return 1;
    }
    const int64_t w = sizeSrc.cx, h = sizeSrc.cy;
    const int64_t dw = sizeDst.cx, dh = sizeDst.cy;
    // The centres round up, as the picture has always been turned; do not "fix" it.
    const int64_t cw = w / 2 + w % 2, ch = h / 2 + h % 2;
    const int64_t hw = dw / 2, hh = dh / 2;
    const double c = std::cos(m_dAngle);
    const double s = std::sin(m_dAngle);
    const double ns = -s;
    const double dcw = static_cast<double>(cw), dch = static_cast<double>(ch);
    // A turned row walks across many source rows; tiles of kBand rows by kStrip columns keep
    // the source pixels they read in cache. Each row's position is carried from tile to tile, so
    // it is still advanced by one addition per column, never multiplied out: the low bits of
    // every sample depend on that.
    const double dW = static_cast<double>(w), dH = static_cast<double>(h);
    const TurnKernels& kernels = Kernels().turn;
    // The vector kernels walk the tiles by groups of rows; without them each row walks alone.
    const decltype(TurnKernels::sampleRun) runKernel =
        m_bSmooth ? kernels.sampleRun : kernels.nearestRun;
    // Every row's positions start from its own index, so the rows can be split among threads.
    SplitRows(dh, dw * dh, [&](int64_t rowFirst, int64_t rowLast) {
        double bandX[kBand], bandY[kBand];
        double xs[kStrip], ys[kStrip];
        uint8_t kinds[kStrip];
        double turnedX[2][kGroup][kStrip], turnedY[2][kGroup][kStrip];
        bool runOff[2][kGroup];
        for (int64_t i0 = rowFirst; i0 < rowLast; i0 += kBand) {
            const int64_t rows = rowLast - i0 < kBand ? rowLast - i0 : kBand;
            for (int64_t r = 0; r < rows; ++r) {
                const double y = static_cast<double>(i0 + r - hh);
                bandX[r] = y * s - static_cast<double>(hw) * c;
                bandY[r] = y * c + static_cast<double>(hw) * s;
            }
            for (int64_t j0 = 0; j0 < dw; j0 += kStrip) {
                const int64_t cols = dw - j0 < kStrip ? dw - j0 : kStrip;
                if (runKernel) {
                    // Only the additions here, four rows side by side so that their chains overlap;
                    // the lines a group of rows reads are asked for while the group before it is
                    // sampled (smoothly, or the nearest pixel), several positions at a time.
                    for (int64_t g0 = 0; g0 < rows + kGroup; g0 += kGroup) {
                        if (g0 < rows) {
                            const int64_t n = rows - g0 < kGroup ? rows - g0 : kGroup;
                            double(*qx)[kStrip] = turnedX[(g0 / kGroup) & 1];
                            double(*qy)[kStrip] = turnedY[(g0 / kGroup) & 1];
                            if (n == kGroup)
                                kernels.advanceGroup(bandX + g0, bandY + g0, c, ns, cols, qx, qy);
                            else
                                AdvanceRows(bandX + g0, bandY + g0, n, c, ns, cols, qx, qy);
                            bool* off = runOff[(g0 / kGroup) & 1];
                            for (int64_t k = 0; k < n; ++k) {
                                off[k] = RunMissesSource(qx[k], qy[k], cols, cw, ch, w, h);
                                if (off[k]) continue;
                                kernels.prefetchRun(pSrc, w, h, cw, ch, qx[k], qy[k], cols);
                                PrefetchForWriting(pDst + (i0 + g0 + k) * dw + j0, cols);
                            }
                        }
                        if (g0 > 0) {
                            const int64_t p0 = g0 - kGroup;
                            const int64_t n = rows - p0 < kGroup ? rows - p0 : kGroup;
                            for (int64_t k = 0; k < n; ++k)
                                if (!runOff[(p0 / kGroup) & 1][k])
                                    runKernel(pSrc, w, h, cw, ch, turnedX[(p0 / kGroup) & 1][k],
                                              turnedY[(p0 / kGroup) & 1][k], cols,
                                              pDst + (i0 + p0 + k) * dw + j0);
                        }
                    }
                    continue;
                }
                for (int64_t r = 0; r < rows; ++r) {
                    double X = bandX[r], Y = bandY[r];
                    RGBX* out = pDst + (i0 + r) * dw + j0;
                    if (m_bSmooth) {
                        // Positions first, in the one order that gives their exact bits, asking for
                        // the source lines they will read; then the samples, two at a time.
                        for (int64_t j = 0; j < cols; ++j) {
                            X += c;
                            Y += ns;
                            const int64_t ix = static_cast<int64_t>(X);
                            const int64_t iy = static_cast<int64_t>(Y);
                            if (ix < -cw || ix >= w - cw || iy < -ch || iy >= h - ch) {
                                kinds[j] = kSampleSkip;
                                continue;
                            }
                            xs[j] = dcw + X;
                            ys[j] = dch + Y;
                            kinds[j] = KindOfPosition(xs[j], ys[j], dW, dH);
                            PrefetchSample(pSrc, w, h, ix + cw, iy + ch);
                        }
                        SampleRun(pSrc, w, h, xs, ys, kinds, cols, out);
                    } else {
                        for (int64_t j = 0; j < cols; ++j) {
                            X += c;
                            Y += ns;
                            const int64_t ix = static_cast<int64_t>(X);
                            const int64_t iy = static_cast<int64_t>(Y);
                            if (ix < -cw || ix >= w - cw || iy < -ch || iy >= h - ch) continue;
                            out[j] = pSrc[(iy + ch) * w + ix + cw];
                        }
                    }
                    bandX[r] = X;
                    bandY[r] = Y;
                }
            }
        }
    });
    return 1;
}
