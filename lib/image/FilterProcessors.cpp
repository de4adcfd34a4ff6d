#include "lib/image/FilterProcessors.h"

#include <emmintrin.h>
#include <immintrin.h>

#include <cstdint>
#include <cstring>

#include "lib/image/BlurAvx512.h"
#include "lib/image/CpuFeatures.h"
#include "lib/image/PixelLoopsAvx2.h"

namespace {

int ClampStrength(int n) { return n < 0 ? 0 : (n > 10 ? 10 : n); }

// ---- Blur ----

// Weighted mean of the neighbours that exist; used on the border, where the weight sum varies.
void BlurPixel(const RGBX* pSrc, int64_t w, int64_t h, int64_t x, int64_t y, int centre,
               RGBX* out) {
    int sb = 0, sg = 0, sr = 0, ws = 0;
    for (int64_t dy = -1; dy <= 1; ++dy) {
        if (y + dy < 0 || y + dy >= h) continue;
        for (int64_t dx = -1; dx <= 1; ++dx) {
            if (x + dx < 0 || x + dx >= w) continue;
            const RGBX& p = pSrc[(y + dy) * w + x + dx];
            const int wt = (dx == 0 && dy == 0) ? centre : 1;
            sb += wt * p.b;
            sg += wt * p.g;
            sr += wt * p.r;
            ws += wt;
        }
    }
    out->b = static_cast<uint8_t>(sb / ws > 255 ? 255 : sb / ws);
    out->g = static_cast<uint8_t>(sg / ws > 255 ? 255 : sg / ws);
    out->r = static_cast<uint8_t>(sr / ws > 255 ? 255 : sr / ws);
}

// x / d == ((x * m) >> 16) >> s for every interior sum x <= 255 * d, found and checked once per
// divisor; s < 0 means none was found and the interior falls back to division.
struct Reciprocal {
    int m;
    int s;
};

Reciprocal FindReciprocal(int d) {
    for (int s = 5; s >= 0; --s) {
        const int64_t m = ((int64_t(1) << (16 + s)) + d - 1) / d;
        if (m > 65535) continue;
        bool exact = true;
        for (int64_t x = 0; x <= 255 * d && exact; ++x) exact = ((x * m) >> (16 + s)) == x / d;
        if (exact) return Reciprocal{static_cast<int>(m), s};
    }
    return Reciprocal{0, -1};
}

const Reciprocal& ReciprocalForStrength(int strength) {
    static const Reciprocal table[11] = {{0, -1},
                                         FindReciprocal(58),
                                         FindReciprocal(53),
                                         FindReciprocal(48),
                                         FindReciprocal(43),
                                         FindReciprocal(38),
                                         FindReciprocal(33),
                                         FindReciprocal(28),
                                         FindReciprocal(23),
                                         FindReciprocal(18),
                                         FindReciprocal(13)};
    return table[strength];
}

// The row below and the output, well ahead: the loops have too much work per line for the
// processor's own guesses to keep up with memory.
inline void PrefetchAhead(const RGBX* below, const RGBX* out) {
    _mm_prefetch(reinterpret_cast<const char*>(below + pelto_image::kPrefetchPixels), _MM_HINT_T0);
    _mm_prefetch(reinterpret_cast<const char*>(out + pelto_image::kPrefetchPixels), _MM_HINT_T0);
}

inline __m128i Load4(const RGBX* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }

inline __m128i HighOfFirstLowOfSecond(__m128i a, __m128i b) {
    return _mm_castpd_si128(_mm_shuffle_pd(_mm_castsi128_pd(a), _mm_castsi128_pd(b), 1));
}

// Column sums of three rows for four pixels, two pixels (eight 16-bit channels) per register.
struct ColumnSums {
    __m128i lo, hi;
    __m128i midLo, midHi;  // the middle row alone, for the centre weight
};

inline ColumnSums SumColumns(const RGBX* mid, int64_t w) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i t = Load4(mid - w), m = Load4(mid), b = Load4(mid + w);
    ColumnSums s;
    s.midLo = _mm_unpacklo_epi8(m, zero);
    s.midHi = _mm_unpackhi_epi8(m, zero);
    s.lo = _mm_add_epi16(_mm_add_epi16(_mm_unpacklo_epi8(t, zero), s.midLo),
                         _mm_unpacklo_epi8(b, zero));
    s.hi = _mm_add_epi16(_mm_add_epi16(_mm_unpackhi_epi8(t, zero), s.midHi),
                         _mm_unpackhi_epi8(b, zero));
    return s;
}

// The interior of row y from column x0 on, four pixels at a time while a further four exist to
// the right; returns the first column left for the scalar path. All nine neighbours exist, so
// the sum is (all nine) + (centre - 1) * centre pixel, at most 14790, and fits 16-bit lanes.
// Each block's column sums are computed once and shared with its neighbours.
int64_t BlurInteriorRow(const RGBX* pSrc, int64_t w, int64_t y, __m128i centreLess1, __m128i mul,
                        __m128i shift, RGBX* pDst) {
    int64_t x = 1;
    if (x + 8 > w) return x;
    const __m128i rgb = _mm_set1_epi32(0x00FFFFFF);
    const RGBX* row = pSrc + y * w;
    RGBX* out = pDst + y * w;
    // The column left of the first block: pixels 0 .. 3, of which the second half's low pixel
    // (column 0) is the one needed, in the position a previous block's high half would have it.
    __m128i prevHi = SumColumns(row, w).lo;
    prevHi = _mm_unpacklo_epi64(prevHi, prevHi);
    ColumnSums cur = SumColumns(row + x, w);
    for (; x + 8 <= w; x += 4) {
        PrefetchAhead(row + w + x, out + x);
        const ColumnSums next = SumColumns(row + x + 4, w);
        const __m128i leftLo = HighOfFirstLowOfSecond(prevHi, cur.lo);
        const __m128i mid = HighOfFirstLowOfSecond(cur.lo, cur.hi);  // left of hi, right of lo
        const __m128i rightHi = HighOfFirstLowOfSecond(cur.hi, next.lo);
        __m128i lo = _mm_add_epi16(_mm_add_epi16(leftLo, cur.lo), mid);
        __m128i hi = _mm_add_epi16(_mm_add_epi16(mid, cur.hi), rightHi);
        lo = _mm_add_epi16(lo, _mm_mullo_epi16(cur.midLo, centreLess1));
        hi = _mm_add_epi16(hi, _mm_mullo_epi16(cur.midHi, centreLess1));
        lo = _mm_srl_epi16(_mm_mulhi_epu16(lo, mul), shift);
        hi = _mm_srl_epi16(_mm_mulhi_epu16(hi, mul), shift);
        const __m128i old = Load4(out + x);
        _mm_storeu_si128(
            reinterpret_cast<__m128i*>(out + x),
            _mm_or_si128(_mm_and_si128(_mm_packus_epi16(lo, hi), rgb), _mm_andnot_si128(rgb, old)));
        prevHi = cur.hi;
        cur = next;
    }
    return x;
}

// BlurInteriorRow with eight 16-bit channels (two pixels) per 128-bit half: each block of four
// pixels is one register, widened straight from its bytes, and its neighbours to the left and
// right are whole-pixel shifts across the two halves. The same integer sums and the same exact
// division, so the same bytes.
__attribute__((target("avx2"))) inline __m256i ColumnSums4(const RGBX* mid, int64_t w,
                                                           __m256i* pMid) {
    const __m256i t = _mm256_cvtepu8_epi16(Load4(mid - w));
    const __m256i m = _mm256_cvtepu8_epi16(Load4(mid));
    const __m256i b = _mm256_cvtepu8_epi16(Load4(mid + w));
    *pMid = m;
    return _mm256_add_epi16(_mm256_add_epi16(t, m), b);
}

__attribute__((target("avx2"))) int64_t BlurInteriorRowAvx2(const RGBX* pSrc, int64_t w, int64_t y,
                                                            int centre, const Reciprocal& rcp,
                                                            RGBX* pDst) {
    int64_t x = 1;
    if (x + 8 > w) return x;
    const __m256i centreLess1 = _mm256_set1_epi16(static_cast<short>(centre - 1));
    const __m256i mul = _mm256_set1_epi16(static_cast<short>(rcp.m));
    const __m128i shift = _mm_cvtsi32_si128(rcp.s);
    const __m128i rgb = _mm_set1_epi32(0x00FFFFFF);
    const RGBX* row = pSrc + y * w;
    RGBX* out = pDst + y * w;
    __m256i curMid, nextMid;
    // Only the last pixel of the block before the first is read: column 0.
    __m256i prev = _mm256_permute4x64_epi64(ColumnSums4(row, w, &curMid), 0);
    __m256i cur = ColumnSums4(row + x, w, &curMid);
    for (; x + 8 <= w; x += 4) {
        PrefetchAhead(row + w + x, out + x);
        const __m256i next = ColumnSums4(row + x + 4, w, &nextMid);
        const __m256i left = _mm256_alignr_epi8(cur, _mm256_permute2x128_si256(prev, cur, 0x21), 8);
        const __m256i right =
            _mm256_alignr_epi8(_mm256_permute2x128_si256(cur, next, 0x21), cur, 8);
        __m256i sum = _mm256_add_epi16(_mm256_add_epi16(left, cur), right);
        sum = _mm256_add_epi16(sum, _mm256_mullo_epi16(curMid, centreLess1));
        const __m256i q = _mm256_srl_epi16(_mm256_mulhi_epu16(sum, mul), shift);
        const __m128i bytes =
            _mm256_castsi256_si128(_mm256_permute4x64_epi64(_mm256_packus_epi16(q, q), 0x08));
        const __m128i old = Load4(out + x);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x),
                         _mm_or_si128(_mm_and_si128(bytes, rgb), _mm_andnot_si128(rgb, old)));
        prev = cur;
        cur = next;
        curMid = nextMid;
    }
    return x;
}

// ---- Sharpen ----

struct SharpenKernel {
    double edge;
    double corner;
};

SharpenKernel MakeSharpenKernel(int strength) {
    const double e = 51 - 5 * strength;
    const double inv = 1 / e;
    const double g = 1 / ((inv + 1) * 4);
    return SharpenKernel{-g, -(g * inv)};
}

inline uint8_t LimitAndTruncate(double s) {
    if (s < 0) return 0;
    if (s > 255) return 255;
    return static_cast<uint8_t>(static_cast<int>(s));
}

// Columns are converted to doubles once per row and kept for the three rows that use them, in
// strips so that the rows fit on the stack.
const int64_t kSharpenStrip = 256;

struct PlanarRow {
    double c[3][kSharpenStrip + 2];  // blue, green, red
};

void ToPlanar(const RGBX* in, int64_t n, PlanarRow* row) {
    for (int64_t k = 0; k < n; ++k) {
        row->c[0][k] = in[k].b;
        row->c[1][k] = in[k].g;
        row->c[2][k] = in[k].r;
    }
}

// The kernel sum for two neighbouring pixels at once: each lane adds in exactly the order of
// the scalar sum (left column top to bottom, then the centre column, then the right column).
inline __m128d SharpenSum2(const double* top, const double* mid, const double* bot, int64_t k,
                           __m128d edge, __m128d corner) {
    const __m128d two = _mm_set1_pd(2.0);
    __m128d s = _mm_mul_pd(corner, _mm_loadu_pd(top + k));
    s = _mm_add_pd(s, _mm_mul_pd(edge, _mm_loadu_pd(mid + k)));
    s = _mm_add_pd(s, _mm_mul_pd(corner, _mm_loadu_pd(bot + k)));
    s = _mm_add_pd(s, _mm_mul_pd(edge, _mm_loadu_pd(top + k + 1)));
    s = _mm_add_pd(s, _mm_mul_pd(two, _mm_loadu_pd(mid + k + 1)));
    s = _mm_add_pd(s, _mm_mul_pd(edge, _mm_loadu_pd(bot + k + 1)));
    s = _mm_add_pd(s, _mm_mul_pd(corner, _mm_loadu_pd(top + k + 2)));
    s = _mm_add_pd(s, _mm_mul_pd(edge, _mm_loadu_pd(mid + k + 2)));
    s = _mm_add_pd(s, _mm_mul_pd(corner, _mm_loadu_pd(bot + k + 2)));
    const __m128d limited = _mm_min_pd(_mm_max_pd(s, _mm_setzero_pd()), _mm_set1_pd(255.0));
    return limited;
}

inline double SharpenSum1(const double* top, const double* mid, const double* bot, int64_t k,
                          const SharpenKernel& kn) {
    double s = kn.corner * top[k];
    s += kn.edge * mid[k];
    s += kn.corner * bot[k];
    s += kn.edge * top[k + 1];
    s += 2.0 * mid[k + 1];
    s += kn.edge * bot[k + 1];
    s += kn.corner * top[k + 2];
    s += kn.edge * mid[k + 2];
    s += kn.corner * bot[k + 2];
    return s;
}

// The interior loop below, four pixels at a time with four-lane doubles. Multiplications and
// additions stay separate instructions in the scalar order (no fused multiply-add is enabled),
// so every lane gives the bits of the two-lane and scalar sums. Returns the first column left.
__attribute__((target("avx"))) int64_t SharpenQuadsAvx(const RGBX* srcTop, int64_t w,
                                                       const PlanarRow& top, const PlanarRow& mid,
                                                       const PlanarRow& bot, int64_t n,
                                                       const SharpenKernel& kn, const uint8_t* flat,
                                                       RGBX* out) {
    const __m256d edge = _mm256_set1_pd(kn.edge), corner = _mm256_set1_pd(kn.corner);
    const __m256d two = _mm256_set1_pd(2.0), zero = _mm256_setzero_pd(),
                  limit = _mm256_set1_pd(255.0);
    const __m128i rgb = _mm_set1_epi32(0x00FFFFFF);
    int64_t k = 0;
    for (; k + 4 <= n; k += 4) {
        // Columns k .. k + 5 of the three rows: all one colour comes out of the table.
        uint32_t first;
        std::memcpy(&first, srcTop + w + k + 1, 4);
        const __m128i centre = _mm_and_si128(_mm_set1_epi32(static_cast<int>(first)), rgb);
        __m128i same = _mm_set1_epi32(-1);
        for (int64_t r = 0; r < 3; ++r) {
            const __m128i a = Load4(srcTop + r * w + k), b = Load4(srcTop + r * w + k + 2);
            same = _mm_and_si128(same, _mm_cmpeq_epi32(_mm_and_si128(a, rgb), centre));
            same = _mm_and_si128(same, _mm_cmpeq_epi32(_mm_and_si128(b, rgb), centre));
        }
        const __m128i old = _mm_loadu_si128(reinterpret_cast<const __m128i*>(out + k));
        __m128i bits;
        if (_mm_movemask_epi8(same) == 0xFFFF) {
            const uint32_t v = static_cast<uint32_t>(_mm_cvtsi128_si32(centre));
            bits = _mm_set1_epi32(static_cast<int>(flat[v & 0xFF] |
                                                   (uint32_t(flat[(v >> 8) & 0xFF]) << 8) |
                                                   (uint32_t(flat[v >> 16]) << 16)));
        } else {
            __m128i ch[3];
            for (int c = 0; c < 3; ++c) {
                const double* t = top.c[c] + k;
                const double* m = mid.c[c] + k;
                const double* b = bot.c[c] + k;
                __m256d sum = _mm256_mul_pd(corner, _mm256_loadu_pd(t));
                sum = _mm256_add_pd(sum, _mm256_mul_pd(edge, _mm256_loadu_pd(m)));
                sum = _mm256_add_pd(sum, _mm256_mul_pd(corner, _mm256_loadu_pd(b)));
                sum = _mm256_add_pd(sum, _mm256_mul_pd(edge, _mm256_loadu_pd(t + 1)));
                sum = _mm256_add_pd(sum, _mm256_mul_pd(two, _mm256_loadu_pd(m + 1)));
                sum = _mm256_add_pd(sum, _mm256_mul_pd(edge, _mm256_loadu_pd(b + 1)));
                sum = _mm256_add_pd(sum, _mm256_mul_pd(corner, _mm256_loadu_pd(t + 2)));
                sum = _mm256_add_pd(sum, _mm256_mul_pd(edge, _mm256_loadu_pd(m + 2)));
                sum = _mm256_add_pd(sum, _mm256_mul_pd(corner, _mm256_loadu_pd(b + 2)));
                ch[c] = _mm256_cvttpd_epi32(_mm256_min_pd(_mm256_max_pd(sum, zero), limit));
            }
            bits = _mm_or_si128(ch[0],
                                _mm_or_si128(_mm_slli_epi32(ch[1], 8), _mm_slli_epi32(ch[2], 16)));
        }
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + k),
                         _mm_or_si128(bits, _mm_andnot_si128(rgb, old)));
    }
    return k;
}

void SharpenInterior(const RGBX* pSrc, int64_t w, int64_t h, RGBX* pDst, const SharpenKernel& kn) {
    const __m128d edge = _mm_set1_pd(kn.edge), corner = _mm_set1_pd(kn.corner);
    const __m128i rgb = _mm_set1_epi32(0x00FFFFFF);
    // The result for a neighbourhood of one value, summed exactly as a mixed one would be.
    uint8_t flat[256];
    for (int v = 0; v < 256; ++v) {
        const double same[3] = {double(v), double(v), double(v)};
        flat[v] = LimitAndTruncate(SharpenSum1(same, same, same, 0, kn));
    }
    const bool hasAvx = pelto_image::UseAvx();
    PlanarRow rows[3];
    for (int64_t x0 = 1; x0 < w - 1; x0 += kSharpenStrip) {
        const int64_t n = (w - 1 - x0) < kSharpenStrip ? (w - 1 - x0) : kSharpenStrip;
        ToPlanar(pSrc + x0 - 1, n + 2, &rows[0]);
        ToPlanar(pSrc + w + x0 - 1, n + 2, &rows[1]);
        for (int64_t y = 1; y < h - 1; ++y) {
            PlanarRow& top = rows[(y - 1) % 3];
            PlanarRow& mid = rows[y % 3];
            PlanarRow& bot = rows[(y + 1) % 3];
            ToPlanar(pSrc + (y + 1) * w + x0 - 1, n + 2, &bot);
            RGBX* out = pDst + y * w + x0;
            const RGBX* srcTop = pSrc + (y - 1) * w + x0 - 1;
            int64_t k = hasAvx ? SharpenQuadsAvx(srcTop, w, top, mid, bot, n, kn, flat, out) : 0;
            for (; k + 2 <= n; k += 2) {
                // Two pixels whose twelve neighbours (themselves included) share one colour come
                // out of the table; anything else is summed.
                const __m128i t = Load4(srcTop + k), m = Load4(srcTop + w + k),
                              b = Load4(srcTop + 2 * w + k);
                const __m128i centre = _mm_and_si128(_mm_shuffle_epi32(m, 0), rgb);
                const __m128i same =
                    _mm_and_si128(_mm_cmpeq_epi32(_mm_and_si128(t, rgb), centre),
                                  _mm_and_si128(_mm_cmpeq_epi32(_mm_and_si128(m, rgb), centre),
                                                _mm_cmpeq_epi32(_mm_and_si128(b, rgb), centre)));
                if (_mm_movemask_epi8(same) == 0xFFFF) {
                    const uint32_t v = static_cast<uint32_t>(_mm_cvtsi128_si32(centre));
                    const __m128i bits = _mm_set1_epi32(
                        static_cast<int>(flat[v & 0xFF] | (uint32_t(flat[(v >> 8) & 0xFF]) << 8) |
                                         (uint32_t(flat[v >> 16]) << 16)));
                    const __m128i old = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(out + k));
                    _mm_storel_epi64(reinterpret_cast<__m128i*>(out + k),
                                     _mm_or_si128(bits, _mm_andnot_si128(rgb, old)));
                    continue;
                }
                __m128i ch[3];
                for (int c = 0; c < 3; ++c)
                    ch[c] = _mm_cvttpd_epi32(
                        SharpenSum2(top.c[c], mid.c[c], bot.c[c], k, edge, corner));
                const __m128i bits = _mm_or_si128(
                    ch[0], _mm_or_si128(_mm_slli_epi32(ch[1], 8), _mm_slli_epi32(ch[2], 16)));
                const __m128i old = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(out + k));
                _mm_storel_epi64(reinterpret_cast<__m128i*>(out + k),
                                 _mm_or_si128(bits, _mm_andnot_si128(rgb, old)));
            }
            for (; k < n; ++k) {
                out[k].b = LimitAndTruncate(SharpenSum1(top.c[0], mid.c[0], bot.c[0], k, kn));
                out[k].g = LimitAndTruncate(SharpenSum1(top.c[1], mid.c[1], bot.c[1], k, kn));
                out[k].r = LimitAndTruncate(SharpenSum1(top.c[2], mid.c[2], bot.c[2], k, kn));
            }
        }
    }
}

}  // namespace

CImageBlurrer::CImageBlurrer(int nFactor)
    : CImage32BitProcessor(0), m_nFactor(ClampStrength(nFactor)) {}

int CImageBlurrer::ProcessPixels(const RGBX* pSrc, CSize sizeSrc, RGBX* pDst, CSize sizeDst) {
    if (!IsValidCall(pSrc, sizeSrc, pDst, sizeDst, sizeSrc)) return 0;
    const int strength = ClampStrength(m_nFactor);
    if (strength == 0) {
        CopyPixels(pSrc, pDst, sizeDst);
        return 1;
    }
    const int centre = 55 - 5 * strength;
    const int64_t w = sizeSrc.cx, h = sizeSrc.cy;
    const Reciprocal& rcp = ReciprocalForStrength(strength);
    const __m128i centreLess1 = _mm_set1_epi16(static_cast<short>(centre - 1));
    const __m128i mul = _mm_set1_epi16(static_cast<short>(rcp.m));
    const __m128i shift = _mm_cvtsi32_si128(rcp.s);
    const bool avx512 = pelto_image::UseAvx512() && w >= 17;
    const bool avx2 = pelto_image::UseAvx2();
    for (int64_t y = 0; y < h; ++y) {
        int64_t x = 0;
        if (y > 0 && y < h - 1 && rcp.s >= 0) {
            BlurPixel(pSrc, w, h, 0, y, centre, pDst + y * w);
            if (avx512)
                x = pelto_image::BlurInteriorRowAvx512(pSrc, w, y, centre, rcp.m, rcp.s, pDst);
            else if (avx2)
                x = BlurInteriorRowAvx2(pSrc, w, y, centre, rcp, pDst);
            else
                x = BlurInteriorRow(pSrc, w, y, centreLess1, mul, shift, pDst);
        }
        for (; x < w; ++x) BlurPixel(pSrc, w, h, x, y, centre, pDst + y * w + x);
    }
    return 1;
}

CImageSharpener::CImageSharpener(int nFactor)
    : CImage32BitProcessor(0), m_nFactor(ClampStrength(nFactor)) {}

int CImageSharpener::ProcessPixels(const RGBX* pSrc, CSize sizeSrc, RGBX* pDst, CSize sizeDst) {
    if (!IsValidCall(pSrc, sizeSrc, pDst, sizeDst, sizeSrc)) return 0;
    const int strength = ClampStrength(m_nFactor);
    const int64_t w = sizeSrc.cx, h = sizeSrc.cy;
    if (strength == 0 || w < 3 || h < 3) {
        CopyPixels(pSrc, pDst, sizeDst);
        return 1;
    }
    std::memcpy(pDst, pSrc, static_cast<size_t>(w) * sizeof(RGBX));
    std::memcpy(pDst + (h - 1) * w, pSrc + (h - 1) * w, static_cast<size_t>(w) * sizeof(RGBX));
    for (int64_t y = 1; y < h - 1; ++y) {
        pDst[y * w] = pSrc[y * w];
        pDst[y * w + w - 1] = pSrc[y * w + w - 1];
    }
    SharpenInterior(pSrc, w, h, pDst, MakeSharpenKernel(strength));
    return 1;
}
