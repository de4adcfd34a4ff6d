#include "lib/image/ResizeKernels.h"

#include <emmintrin.h>

#include <vector>

#include "lib/image/RowWorkers.h"
#include "lib/image/VectorKernels.h"
#include "lib/image/WeightedSample.h"

namespace pelto_image {

namespace {

// Columns of a reduction a row is done in at a time: a wide strip keeps each source row a long
// run of reads, and bounds the memory the column ranges take whatever the picture's width.
const int64_t kStrip = 4096;

// Source columns (or rows) that one destination column (or row) of a reduction averages:
// first..last, empty when first > last. The running position is (j + 0.5) * step accumulated
// by addition, as the reduction has always done it.
struct Range {
    int64_t first;
    int64_t last;
};

class RangeWalker {
public:
    RangeWalker(double step, int64_t limit) : m_step(step), m_pos(-0.5 * step), m_limit(limit) {}
    Range Next() {
        m_pos += m_step;
        // m_pos stays below limit + step <= 2 * limit for any size the caller accepted.
        int64_t last = static_cast<int64_t>(m_pos) + 1;
        if (last > m_limit - 1) last = m_limit - 1;
        Range r = {m_next, last};
        m_next = last + 1;
        return r;
    }

private:
    double m_step;
    double m_pos;
    int64_t m_limit;
    int64_t m_next = 0;
};

inline void StoreKeepingFourthByte(RGBX* out, uint32_t b, uint32_t g, uint32_t r) {
    out->b = static_cast<uint8_t>(b);
    out->g = static_cast<uint8_t>(g);
    out->r = static_cast<uint8_t>(r);
}

// Exact x / n without a division instruction for the small boxes a reduction mostly has:
// with m = floor((2^64 - 1) / n) + 1, (x * m) >> 64 == x / n for every x < 2^32 and n >= 2 (the
// error x * (m - 2^64 / n) / 2^64 stays below 1 / n). Box sums of up to kSmallBox pixels are far
// below 2^32.
const int64_t kSmallBox = 4096;

struct BoxDivider {
    uint64_t m[kSmallBox + 1];
    BoxDivider() {
        m[0] = m[1] = 0;
        for (int64_t n = 2; n <= kSmallBox; ++n) m[n] = ~uint64_t(0) / static_cast<uint64_t>(n) + 1;
    }
};

inline uint64_t DivideBoxSum(uint64_t x, uint64_t n, const BoxDivider& d) {
    if (n == 1) return x;
    if (n <= static_cast<uint64_t>(kSmallBox))
        return static_cast<uint64_t>((static_cast<unsigned __int128>(x) * d.m[n]) >> 64);
    return x / n;
}

const BoxDivider& TheBoxDivider() {
    static const BoxDivider divider;
    return divider;
}

void BoxMean(const RGBX* pSrc, int64_t w, Range xr, Range yr, const BoxDivider& d, RGBX* out) {
    uint64_t sb = 0, sg = 0, sr = 0;
    for (int64_t y = yr.first; y <= yr.last; ++y) {
        const RGBX* row = pSrc + y * w;
        for (int64_t x = xr.first; x <= xr.last; ++x) {
            sb += row[x].b;
            sg += row[x].g;
            sr += row[x].r;
        }
    }
    const uint64_t n = static_cast<uint64_t>(yr.last - yr.first + 1) *
                       static_cast<uint64_t>(xr.last - xr.first + 1);
    StoreKeepingFourthByte(out, static_cast<uint32_t>(DivideBoxSum(sb, n, d)),
                           static_cast<uint32_t>(DivideBoxSum(sg, n, d)),
                           static_cast<uint32_t>(DivideBoxSum(sr, n, d)));
}

// One output row of a 2x enlargement: step 0.5 makes every fraction 0 or 1/2, so the double
// interpolation is exact and equals (R*a + P*(2-a) + P*(2-b) + D*b) >> 2 with a, b in {0, 1}.
void EnlargeRowByTwo(const RGBX* rowP, const RGBX* rowD, int64_t w, bool half, RGBX* out) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i rgb = _mm_set1_epi32(0x00FFFFFF);
    int64_t i = 0;
    for (; i + 5 <= w; i += 4) {
        const __m128i p8 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(rowP + i));
        const __m128i r8 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(rowP + i + 1));
        __m128i pl = _mm_unpacklo_epi8(p8, zero), ph = _mm_unpackhi_epi8(p8, zero);
        __m128i rl = _mm_unpacklo_epi8(r8, zero), rh = _mm_unpackhi_epi8(r8, zero);
        __m128i el, eh, ol, oh;
        if (!half) {
            el = pl;
            eh = ph;
            ol = _mm_srli_epi16(_mm_add_epi16(rl, _mm_add_epi16(pl, _mm_add_epi16(pl, pl))), 2);
            oh = _mm_srli_epi16(_mm_add_epi16(rh, _mm_add_epi16(ph, _mm_add_epi16(ph, ph))), 2);
        } else {
            const __m128i d8 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(rowD + i));
            const __m128i dl = _mm_unpacklo_epi8(d8, zero), dh = _mm_unpackhi_epi8(d8, zero);
            const __m128i pdl = _mm_add_epi16(_mm_add_epi16(pl, pl), dl);
            const __m128i pdh = _mm_add_epi16(_mm_add_epi16(ph, ph), dh);
            el = _mm_srli_epi16(_mm_add_epi16(pdl, pl), 2);
            eh = _mm_srli_epi16(_mm_add_epi16(pdh, ph), 2);
            ol = _mm_srli_epi16(_mm_add_epi16(pdl, rl), 2);
            oh = _mm_srli_epi16(_mm_add_epi16(pdh, rh), 2);
        }
        const __m128i lo = _mm_packus_epi16(_mm_unpacklo_epi64(el, ol), _mm_unpackhi_epi64(el, ol));
        const __m128i hi = _mm_packus_epi16(_mm_unpacklo_epi64(eh, oh), _mm_unpackhi_epi64(eh, oh));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 2 * i), _mm_and_si128(lo, rgb));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 2 * i + 4), _mm_and_si128(hi, rgb));
    }
    const double fy = half ? 0.5 : 0.0;
    for (; i < w; ++i) {
        const RGBX& p = rowP[i];
        const RGBX& r = rowP[i + 1 < w ? i + 1 : w - 1];
        const RGBX& d = rowD[i];
        out[2 * i] = BlendPixels(p, r, d, 0.0, fy);
        out[2 * i + 1] = BlendPixels(p, r, d, 0.5, fy);
    }
}

// Output rows [first, last) of a reduction, in strips of columns; each band walks its own row
// ranges from the top, by the same additions as one walk over all of them. Where a row averages
// two source rows, runs of columns that average two source columns each (all of a reduction to
// one half but its edges) go to the vector kernel whole.
void ShrinkRows(const RGBX* pSrc, int64_t w, int64_t h, RGBX* pDst, int64_t dw, double step,
                const BoxDivider& divider, int64_t first, int64_t last) {
    const int64_t strip = dw < kStrip ? dw : kStrip;
    std::vector<Range> xr(static_cast<size_t>(strip));
    // pairs[k]: how many ranges from k on are two columns wide; each starts where the one before
    // it ended.
    std::vector<int64_t> pairs(static_cast<size_t>(strip) + 1);
    const ShrinkKernels& kernels = Kernels().shrink;
    RangeWalker cols(step, w);
    for (int64_t c0 = 0; c0 < dw; c0 += strip) {
        const int64_t n = dw - c0 < strip ? dw - c0 : strip;
        for (int64_t k = 0; k < n; ++k) xr[k] = cols.Next();
        pairs[n] = 0;
        for (int64_t k = n - 1; k >= 0; --k)
            pairs[k] = xr[k].last == xr[k].first + 1 ? pairs[k + 1] + 1 : 0;
        RangeWalker rows(step, h);
        for (int64_t r = 0; r < first; ++r) rows.Next();
        for (int64_t r = first; r < last; ++r) {
            const Range yr = rows.Next();
            if (yr.first > yr.last) continue;
            RGBX* out = pDst + r * dw + c0;
            const bool twoRows = yr.last == yr.first + 1;
            for (int64_t k = 0; k < n;) {
                if (twoRows && pairs[k] > 0) {
                    const RGBX* row0 = pSrc + yr.first * w + xr[k].first;
                    kernels.pairMeans(row0, row0 + w, pairs[k], out + k);
                    k += pairs[k];
                    continue;
                }
                if (xr[k].first <= xr[k].last) BoxMean(pSrc, w, xr[k], yr, divider, out + k);
                ++k;
            }
        }
    }
}

}  // namespace

void EnlargePixels(const RGBX* pSrc, int64_t w, int64_t h, RGBX* pDst, int64_t dw, int64_t dh,
                   double step) {
    if (step == 0.5 && dw == 2 * w && dh == 2 * h) {
        SplitRows(dh, dw * dh, [&](int64_t first, int64_t last) {
            for (int64_t r = first; r < last; ++r) {
                const int64_t iy = r / 2;
                const RGBX* rowD = pSrc + (iy + 1 < h ? iy + 1 : h - 1) * w;
                EnlargeRowByTwo(pSrc + iy * w, rowD, w, (r & 1) != 0, pDst + r * dw);
            }
        });
        return;
    }
    SplitRows(dh, dw * dh, [&](int64_t first, int64_t last) {
        // A band's first position is reached by the same additions as on one thread.
        double sy = 0;
        for (int64_t r = 0; r < first; ++r) sy += step;
        for (int64_t r = first; r < last; ++r, sy += step) {
            double fy;
            const int64_t iy = SplitPosition(sy, h, &fy);
            const RGBX* rowP = pSrc + iy * w;
            const RGBX* rowD = pSrc + (iy + 1 < h ? iy + 1 : h - 1) * w;
            RGBX* out = pDst + r * dw;
            double sx = 0;
            for (int64_t c = 0; c < dw; ++c, sx += step) {
                double fx;
                const int64_t ix = SplitPosition(sx, w, &fx);
                out[c] = BlendPixels(rowP[ix], rowP[ix + 1 < w ? ix + 1 : w - 1], rowD[ix], fx, fy);
            }
        }
    });
}

void ShrinkPixels(const RGBX* pSrc, int64_t w, int64_t h, RGBX* pDst, int64_t dw, int64_t dh,
                  double step) {
    const BoxDivider& divider = TheBoxDivider();
    // The work is the source's size, whatever the output's.
    SplitRows(dh, w * h, [&](int64_t first, int64_t last) {
        ShrinkRows(pSrc, w, h, pDst, dw, step, divider, first, last);
    });
}

}  // namespace pelto_image
