// The weighted samples of turned and slanted runs with four-lane doubles and 256-bit integer
// vectors, four positions a group: each pixel is loaded together with its right neighbour (and
// the one below with its own) into one 64-bit lane, and every value stays in its lane from the
// load to the truncation, so no conversion crosses the halves of a register.
//
// A channel's byte c of a pixel, kept in place and given the exponent bits of 2^52, is the double
// 2^52 + v * 256^c; less 2^52 that is v * 256^c exactly. Every multiplication and addition of
// BlendChannel then gives exactly 256^c times its value there (a power of two changes no
// rounding), so the truncated sum carries the scalar's truncated sum in its bits from 8c up, and
// its bits 8c + 1 .. 8c + 8 are half of it, rounded down: the scalar's byte. No fused
// multiply-add is enabled here, so each lane does the scalar's operations in its order.
#include <immintrin.h>

#include <cstdint>

#include "lib/image/WeightedSample.h"

namespace pelto_image {

namespace {

#define PELTO_AVX2 __attribute__((target("avx2")))

// The bits of 2^52; below them a double's mantissa holds an integer as it is.
const int64_t kTwo52Bits = 0x4330000000000000;

struct Weights {
    __m256d fx, gx, fy, gy;
};

// Channel c of the pixels in the low halves of the lanes of `biased` (those lanes with the bits
// of 2^52 ORed in), times 256^c.
PELTO_AVX2 inline __m256d ChannelScaled(__m256i biased, int c, __m256d two52) {
    const __m256i keep = _mm256_set1_epi64x(kTwo52Bits | (int64_t{0xFF} << (8 * c)));
    return _mm256_sub_pd(_mm256_castsi256_pd(_mm256_and_si256(biased, keep)), two52);
}

// The truncated weighted sum of channel c times 256^c, whose bits 8c + 1 .. 8c + 8 are the
// channel's byte shifted up by one (the sum stays below 2^(9 + 8c)).
PELTO_AVX2 inline __m128i BlendScaled(__m256i p, __m256i r, __m256i d, int c, const Weights& k,
                                      __m256d two52) {
    const __m256d pv = ChannelScaled(p, c, two52);
    const __m256d rv = ChannelScaled(r, c, two52);
    const __m256d dv = ChannelScaled(d, c, two52);
    __m256d v = _mm256_add_pd(_mm256_mul_pd(rv, k.fx), _mm256_mul_pd(pv, k.gx));
    v = _mm256_add_pd(v, _mm256_mul_pd(pv, k.gy));
    v = _mm256_add_pd(v, _mm256_mul_pd(dv, k.fy));
    return _mm256_cvttpd_epi32(v);
}

// The eight bytes at a and at b, side by side.
PELTO_AVX2 inline __m128i LoadTwoPairs(const RGBX* a, const RGBX* b) {
    const __m128i lo = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(a));
    return _mm_castpd_si128(_mm_loadh_pd(_mm_castsi128_pd(lo), reinterpret_cast<const double*>(b)));
}

// What the loads of four interior positions leave for the blend: each pixel with its right
// neighbour and the pixel below with its own, one per 64-bit lane, and the fractions.
struct FourLoaded {
    __m256i pair, below;
    __m256d fx, fy;
};

// Four interior positions (0 <= x < w - 1, 0 <= y < h - 1): every pixel read is on the picture.
PELTO_AVX2 inline void LoadFour(const RGBX* pSrc, int64_t w, __m256d x, __m256d y, __m256d vW,
                                FourLoaded* pTo) {
    const __m256d two52 = _mm256_castsi256_pd(_mm256_set1_epi64x(kTwo52Bits));
    const __m256d tx = _mm256_round_pd(x, _MM_FROUND_TO_ZERO | _MM_FROUND_NO_EXC);
    const __m256d ty = _mm256_round_pd(y, _MM_FROUND_TO_ZERO | _MM_FROUND_NO_EXC);
    // Indexes are whole numbers below 2^27 (no picture has more pixels), exact in doubles. They
    // go to the loads through memory as the bits of 2^52 + index: taking them out of the
    // register one by one costs more vector work than the loads.
    alignas(32) int64_t at[4];
    _mm256_store_si256(
        reinterpret_cast<__m256i*>(at),
        _mm256_castpd_si256(_mm256_add_pd(_mm256_add_pd(_mm256_mul_pd(ty, vW), tx), two52)));
    const RGBX* p0 = pSrc + (at[0] - kTwo52Bits);
    const RGBX* p1 = pSrc + (at[1] - kTwo52Bits);
    const RGBX* p2 = pSrc + (at[2] - kTwo52Bits);
    const RGBX* p3 = pSrc + (at[3] - kTwo52Bits);
    pTo->pair = _mm256_setr_m128i(LoadTwoPairs(p0, p1), LoadTwoPairs(p2, p3));
    pTo->below = _mm256_setr_m128i(LoadTwoPairs(p0 + w, p1 + w), LoadTwoPairs(p2 + w, p3 + w));
    pTo->fx = _mm256_sub_pd(x, tx);
    pTo->fy = _mm256_sub_pd(y, ty);
}

// The four pixels (the fourth byte 0).
PELTO_AVX2 inline __m128i BlendFour(const FourLoaded& f) {
    const __m256d one = _mm256_set1_pd(1.0);
    const __m256d two52 = _mm256_castsi256_pd(_mm256_set1_epi64x(kTwo52Bits));
    const Weights k{f.fx, _mm256_sub_pd(one, f.fx), f.fy, _mm256_sub_pd(one, f.fy)};
    const __m256i bias = _mm256_set1_epi64x(kTwo52Bits);
    const __m256i p = _mm256_or_si256(f.pair, bias);
    const __m256i r = _mm256_or_si256(_mm256_srli_epi64(f.pair, 32), bias);
    const __m256i d = _mm256_or_si256(f.below, bias);
    const __m128i b = _mm_and_si128(BlendScaled(p, r, d, 0, k, two52), _mm_set1_epi32(0x1FE));
    const __m128i g = _mm_and_si128(BlendScaled(p, r, d, 1, k, two52), _mm_set1_epi32(0x1FE00));
    const __m128i rr = _mm_and_si128(BlendScaled(p, r, d, 2, k, two52), _mm_set1_epi32(0x1FE0000));
    return _mm_srli_epi32(_mm_or_si128(b, _mm_or_si128(g, rr)), 1);
}

PELTO_AVX2 inline __m256d Interior4(__m256d x, __m256d y, __m256d lastX, __m256d lastY) {
    const __m256d zero = _mm256_setzero_pd();
    return _mm256_and_pd(
        _mm256_and_pd(_mm256_cmp_pd(x, zero, _CMP_GE_OQ), _mm256_cmp_pd(x, lastX, _CMP_LT_OQ)),
        _mm256_and_pd(_mm256_cmp_pd(y, zero, _CMP_GE_OQ), _mm256_cmp_pd(y, lastY, _CMP_LT_OQ)));
}

const int64_t kPiece = 64;

}  // namespace

PELTO_AVX2 void SampleAroundRunAvx2(const RGBX* pSrc, int64_t w, int64_t h, int64_t cw, int64_t ch,
                                    const double* Xs, const double* Ys, int64_t n, RGBX* pOut) {
    // The pair loads need a column to the left of the last one, and a row below the first.
    if (w < 2 || h < 2) {
        SampleAroundRunAvx(pSrc, w, h, cw, ch, Xs, Ys, n, pOut);
        return;
    }
    const double dW = static_cast<double>(w), dH = static_cast<double>(h);
    const double dcw = static_cast<double>(cw), dch = static_cast<double>(ch);
    const __m256d vcw = _mm256_set1_pd(dcw), vch = _mm256_set1_pd(dch);
    const __m256d vW = _mm256_set1_pd(dW);
    const __m256d lastX = _mm256_set1_pd(dW - 1), lastY = _mm256_set1_pd(dH - 1);
    // All the loads of a piece of the run first, then all the blends: each load waits on a chain
    // of index arithmetic and each blend on its loads, and apart the two chains no longer hold
    // each other up in the processor's queues.
    FourLoaded loaded[kPiece / 4];
    for (int64_t j0 = 0; j0 < n; j0 += kPiece) {
        const int64_t m = n - j0 < kPiece ? n - j0 : kPiece;
        const bool whole = RunInInterior(Xs + j0, Ys + j0, m, dcw, dch, dW, dH);
        uint32_t ordinary = 0;
        int64_t j = 0;
        for (; j + 4 <= m; j += 4) {
            // Positions inside the sampling range are on the source as well: cw + X rounds onto
            // or past an edge whenever X lies at or past it. The last column and row, where the
            // neighbours are clamped, go the narrower way.
            const __m256d x = _mm256_add_pd(vcw, _mm256_loadu_pd(Xs + j0 + j));
            const __m256d y = _mm256_add_pd(vch, _mm256_loadu_pd(Ys + j0 + j));
            if (whole || _mm256_movemask_pd(Interior4(x, y, lastX, lastY)) == 15) {
                LoadFour(pSrc, w, x, y, vW, &loaded[j / 4]);
                ordinary |= 1u << (j / 4);
                continue;
            }
            SampleAroundRunAvx(pSrc, w, h, cw, ch, Xs + j0 + j, Ys + j0 + j, 4, pOut + j0 + j);
        }
        if (j < m)
            SampleAroundRunAvx(pSrc, w, h, cw, ch, Xs + j0 + j, Ys + j0 + j, m - j, pOut + j0 + j);
        for (; ordinary != 0; ordinary &= ordinary - 1) {
            const int g = __builtin_ctz(ordinary);
            _mm_storeu_si128(reinterpret_cast<__m128i*>(pOut + j0 + 4 * g), BlendFour(loaded[g]));
        }
    }
}

PELTO_AVX2 void PrefetchAroundRunAvx2(const RGBX* pSrc, int64_t w, int64_t h, int64_t cw,
                                      int64_t ch, const double* Xs, const double* Ys, int64_t n) {
    // Clamped onto the source: positions off it ask for a line that is read anyway. The sums
    // may wrap for positions far off the 32-bit range, which the clamp also catches.
    const __m256i vcw = _mm256_set1_epi32(static_cast<int32_t>(cw));
    const __m256i vch = _mm256_set1_epi32(static_cast<int32_t>(ch));
    const __m256i zero = _mm256_setzero_si256();
    const __m256i lastX = _mm256_set1_epi32(static_cast<int32_t>(w - 1));
    const __m256i lastY = _mm256_set1_epi32(static_cast<int32_t>(h - 1));
    const __m256i vw = _mm256_set1_epi32(static_cast<int32_t>(w));
    const char* base = reinterpret_cast<const char*>(pSrc);
    int64_t j = 0;
    for (; j + 8 <= n; j += 8) {
        const __m256i ix =
            _mm256_add_epi32(_mm256_setr_m128i(_mm256_cvttpd_epi32(_mm256_loadu_pd(Xs + j)),
                                               _mm256_cvttpd_epi32(_mm256_loadu_pd(Xs + j + 4))),
                             vcw);
        const __m256i iy =
            _mm256_add_epi32(_mm256_setr_m128i(_mm256_cvttpd_epi32(_mm256_loadu_pd(Ys + j)),
                                               _mm256_cvttpd_epi32(_mm256_loadu_pd(Ys + j + 4))),
                             vch);
        const __m256i cix = _mm256_min_epi32(_mm256_max_epi32(ix, zero), lastX);
        const __m256i ciy = _mm256_min_epi32(_mm256_max_epi32(iy, zero), lastY);
        // Eight positions that all clamp are off the source (or on its edge): nothing to ask.
        const __m256i moved = _mm256_or_si256(_mm256_xor_si256(cix, ix), _mm256_xor_si256(ciy, iy));
        if (_mm256_movemask_epi8(_mm256_cmpeq_epi32(moved, zero)) == 0) continue;
        // Byte offsets of at most 2^29 (no picture has more than 2^27 pixels) fit 32 bits.
        alignas(32) int32_t at[8];
        _mm256_store_si256(
            reinterpret_cast<__m256i*>(at),
            _mm256_slli_epi32(_mm256_add_epi32(_mm256_mullo_epi32(ciy, vw), cix), 2));
        // Every other position: neighbouring ones mostly read the same lines, and each asks for
        // the line of its own row, which is the row below for the one before.
        for (int k = 0; k < 8; k += 2) _mm_prefetch(base + at[k], _MM_HINT_T0);
    }
    if (j < n) PrefetchAroundRunAvx(pSrc, w, h, cw, ch, Xs + j, Ys + j, n - j);
}

}  // namespace pelto_image
