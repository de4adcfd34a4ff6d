// The kernels every x86-64 processor runs: 128-bit vectors, four pixels (or two doubles) at a
// time, and the scalar tails. The wider levels hand their leftovers to these.
#include "lib/image/KernelsSse2.h"

#include <emmintrin.h>

#include <cstring>

#include "lib/image/MemoryHints.h"

namespace pelto_image {

namespace {

inline uint32_t LoadPixel(const RGBX* p) {
    uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}

inline void StorePixel(RGBX* p, uint32_t v) { std::memcpy(p, &v, 4); }

const uint32_t kRgbMask = 0x00FFFFFFu;

inline __m128i Load4(const RGBX* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }

// The row below and the output, well ahead: the loops have too much work per line for the
// processor's own guesses to keep up with memory.
inline void PrefetchAhead(const RGBX* below, const RGBX* out) {
    _mm_prefetch(reinterpret_cast<const char*>(below + kPrefetchPixels), _MM_HINT_T0);
    _mm_prefetch(reinterpret_cast<const char*>(out + kPrefetchPixels), _MM_HINT_T0);
}

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

}  // namespace

// ---- Colour ----

void GreyPixelsSse2(const RGBX* pSrc, RGBX* pDst, size_t n) {
    // The weighted sum is at most 2550, where x / 10 == (x * 6554) >> 16 holds exactly; the
    // high half of a 16-bit product is that shift.
    const __m128i lowByte = _mm_set1_epi32(0xFF);
    const __m128i tenth = _mm_set1_epi32(6554);
    size_t i = 0;
    for (; i + 4 <= n; i += 4) {
        const __m128i v = Load4(pSrc + i);
        const __m128i b = _mm_and_si128(v, lowByte);
        const __m128i g = _mm_and_si128(_mm_srli_epi32(v, 8), lowByte);
        const __m128i r = _mm_and_si128(_mm_srli_epi32(v, 16), lowByte);
        const __m128i r3 = _mm_add_epi32(r, _mm_add_epi32(r, r));
        const __m128i g6 = _mm_slli_epi32(_mm_add_epi32(g, _mm_add_epi32(g, g)), 1);
        const __m128i sum = _mm_add_epi32(_mm_add_epi32(r3, g6), b);
        const __m128i grey = _mm_mulhi_epu16(sum, tenth);
        const __m128i out =
            _mm_or_si128(grey, _mm_or_si128(_mm_slli_epi32(grey, 8), _mm_slli_epi32(grey, 16)));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(pDst + i), out);
    }
    for (; i < n; ++i) {
        const RGBX& s = pSrc[i];
        const uint8_t grey = static_cast<uint8_t>((3 * s.r + 6 * s.g + s.b) / 10);
        pDst[i] = RGBX{grey, grey, grey, 0};
    }
}

void NegatePixelsSse2(const RGBX* pSrc, RGBX* pDst, size_t n) {
    const __m128i rgb = _mm_set1_epi32(static_cast<int>(kRgbMask));
    size_t i = 0;
    for (; i + 4 <= n; i += 4) {
        const __m128i v = Load4(pSrc + i);
        const __m128i old = Load4(pDst + i);
        const __m128i neg = _mm_andnot_si128(v, rgb);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(pDst + i),
                         _mm_or_si128(neg, _mm_andnot_si128(rgb, old)));
    }
    for (; i < n; ++i) {
        pDst[i].b = static_cast<uint8_t>(255 - pSrc[i].b);
        pDst[i].g = static_cast<uint8_t>(255 - pSrc[i].g);
        pDst[i].r = static_cast<uint8_t>(255 - pSrc[i].r);
    }
}

void ReplacePixelsSse2(const RGBX* pSrc, RGBX* pDst, size_t n, uint32_t from, uint32_t to) {
    const __m128i rgb = _mm_set1_epi32(static_cast<int>(kRgbMask));
    const __m128i vFrom = _mm_set1_epi32(static_cast<int>(from));
    const __m128i vTo = _mm_set1_epi32(static_cast<int>(to));
    size_t i = 0;
    for (; i + 4 <= n; i += 4) {
        const __m128i v = Load4(pSrc + i);
        const __m128i hit = _mm_cmpeq_epi32(_mm_and_si128(v, rgb), vFrom);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(pDst + i),
                         _mm_or_si128(_mm_and_si128(hit, vTo), _mm_andnot_si128(hit, v)));
    }
    for (; i < n; ++i) {
        const uint32_t v = LoadPixel(pSrc + i);
        StorePixel(pDst + i, (v & kRgbMask) == from ? to : v);
    }
}

// ---- Flip ----

void ReverseRowSse2(const RGBX* in, RGBX* out, int64_t w, bool /*bStream*/) {
    int64_t x = 0;
    for (; x + 4 <= w; x += 4) {
        const __m128i v = Load4(in + x);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + w - 4 - x),
                         _mm_shuffle_epi32(v, _MM_SHUFFLE(0, 1, 2, 3)));
    }
    for (; x < w; ++x) out[w - 1 - x] = in[x];
}

// ---- Blur ----

// Four pixels at a time while a further four exist to the right. All nine neighbours exist, so
// the sum is (all nine) + (centre - 1) * centre pixel, at most 14790, and fits 16-bit lanes.
// Each block's column sums are computed once and shared with its neighbours.
int64_t BlurInteriorRowSse2(const RGBX* pSrc, int64_t w, int64_t y, int centre, int mulBy,
                            int shiftBy, RGBX* pDst) {
    int64_t x = 1;
    if (x + 8 > w) return x;
    const __m128i centreLess1 = _mm_set1_epi16(static_cast<short>(centre - 1));
    const __m128i mul = _mm_set1_epi16(static_cast<short>(mulBy));
    const __m128i shift = _mm_cvtsi32_si128(shiftBy);
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

// ---- Sharpen ----

void SharpenColumnsSse2(const RGBX* srcTop, int64_t w, const PlanarRow& top, const PlanarRow& mid,
                        const PlanarRow& bot, int64_t first, int64_t n, const SharpenKernel& kn,
                        const uint8_t* flat, RGBX* out) {
    const __m128d edge = _mm_set1_pd(kn.edge), corner = _mm_set1_pd(kn.corner);
    const __m128i rgb = _mm_set1_epi32(0x00FFFFFF);
    int64_t k = first;
    for (; k + 2 <= n; k += 2) {
        // Two pixels whose twelve neighbours (themselves included) share one colour come out of
        // the table; anything else is summed.
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
            ch[c] = _mm_cvttpd_epi32(SharpenSum2(top.c[c], mid.c[c], bot.c[c], k, edge, corner));
        const __m128i bits =
            _mm_or_si128(ch[0], _mm_or_si128(_mm_slli_epi32(ch[1], 8), _mm_slli_epi32(ch[2], 16)));
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

void SharpenStripSse2(const RGBX* srcTop, int64_t w, const PlanarRow& top, const PlanarRow& mid,
                      const PlanarRow& bot, int64_t n, const SharpenKernel& kn, const uint8_t* flat,
                      RGBX* out) {
    SharpenColumnsSse2(srcTop, w, top, mid, bot, 0, n, kn, flat, out);
}

// Four pixels from two rows of eight: sums fit 16-bit lanes and the division by 4 is a shift.
void PairMeansSse2(const RGBX* row0, const RGBX* row1, int64_t n, RGBX* out) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i rgb = _mm_set1_epi32(static_cast<int>(kRgbMask));
    int64_t k = 0;
    for (; k + 4 <= n; k += 4) {
        // One line of each row every other step, asked for well ahead.
        _mm_prefetch(reinterpret_cast<const char*>(row0 + 2 * k + kPrefetchPixels), _MM_HINT_T0);
        _mm_prefetch(reinterpret_cast<const char*>(row1 + 2 * k + kPrefetchPixels), _MM_HINT_T0);
        const __m128i a0 = Load4(row0 + 2 * k), a1 = Load4(row0 + 2 * k + 4);
        const __m128i b0 = Load4(row1 + 2 * k), b1 = Load4(row1 + 2 * k + 4);
        __m128i s01 = _mm_add_epi16(_mm_unpacklo_epi8(a0, zero), _mm_unpacklo_epi8(b0, zero));
        __m128i s23 = _mm_add_epi16(_mm_unpackhi_epi8(a0, zero), _mm_unpackhi_epi8(b0, zero));
        __m128i s45 = _mm_add_epi16(_mm_unpacklo_epi8(a1, zero), _mm_unpacklo_epi8(b1, zero));
        __m128i s67 = _mm_add_epi16(_mm_unpackhi_epi8(a1, zero), _mm_unpackhi_epi8(b1, zero));
        s01 = _mm_add_epi16(s01, _mm_srli_si128(s01, 8));
        s23 = _mm_add_epi16(s23, _mm_srli_si128(s23, 8));
        s45 = _mm_add_epi16(s45, _mm_srli_si128(s45, 8));
        s67 = _mm_add_epi16(s67, _mm_srli_si128(s67, 8));
        const __m128i q01 = _mm_srli_epi16(_mm_unpacklo_epi64(s01, s23), 2);
        const __m128i q23 = _mm_srli_epi16(_mm_unpacklo_epi64(s45, s67), 2);
        const __m128i old = Load4(out + k);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + k),
                         _mm_or_si128(_mm_and_si128(_mm_packus_epi16(q01, q23), rgb),
                                      _mm_andnot_si128(rgb, old)));
    }
    for (; k < n; ++k) {
        const RGBX* p0 = row0 + 2 * k;
        const RGBX* p1 = row1 + 2 * k;
        out[k].b = static_cast<uint8_t>((p0[0].b + p0[1].b + p1[0].b + p1[1].b) >> 2);
        out[k].g = static_cast<uint8_t>((p0[0].g + p0[1].g + p1[0].g + p1[1].g) >> 2);
        out[k].r = static_cast<uint8_t>((p0[0].r + p0[1].r + p1[0].r + p1[1].r) >> 2);
    }
}

void FillKernelsSse2(VectorKernels* pTable) {
    pTable->colour = ColourKernels{GreyPixelsSse2, NegatePixelsSse2, ReplacePixelsSse2};
    pTable->flip = FlipKernels{ReverseRowSse2, false};
    pTable->blur = BlurKernels{BlurInteriorRowSse2};
    pTable->sharpen = SharpenKernels{SharpenStripSse2};
    pTable->shrink = ShrinkKernels{PairMeansSse2};
    pTable->turn = TurnKernels{nullptr, nullptr, nullptr, nullptr};
}

}  // namespace pelto_image
