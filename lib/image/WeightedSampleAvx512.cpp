// The weighted samples of turned and slanted runs, eight at a time with eight-lane doubles, built
// as the four-lane ones are (WeightedSampleAvx2.cpp): each pixel loaded with its right neighbour
// into one 64-bit lane, the channels scaled by powers of two instead of moved, and the
// multiplications and additions of BlendChannel in the same order on every lane, as separate
// instructions (no fused multiply-add is enabled here), so the same bits as the narrower
// versions. Groups that are not eight interior positions go to the four-lane version. Runs along
// the rows (a slant's) keep a way of their own, which reads eight neighbours in two loads.
#include <immintrin.h>

#include <cmath>
#include <cstdint>

#include "lib/image/KernelsAvx2.h"
#include "lib/image/WeightedSample.h"

namespace pelto_image {

namespace {

// (The masked forms of some intrinsics below, with every lane on, avoid the plain forms'
// undefined inputs, which this compiler warns about.)
#define PELTO_AVX512 __attribute__((target("avx512f,avx512bw,avx2")))

const __mmask8 kAll8 = 0xFF;

PELTO_AVX512 inline __m256i Truncate(__m512d v) { return _mm512_maskz_cvttpd_epi32(kAll8, v); }

// Channel c (0 blue, 1 green, 2 red) of eight pixels as doubles.
PELTO_AVX512 inline __m512d ChannelOf(__m256i pixels, int c) {
    const __m256i v = _mm256_and_si256(_mm256_srli_epi32(pixels, 8 * c), _mm256_set1_epi32(0xFF));
    return _mm512_maskz_cvtepi32_pd(kAll8, v);
}

PELTO_AVX512 inline __m256i BlendChannel8(__m512d p, __m512d r, __m512d d, __m512d fx, __m512d gx,
                                          __m512d fy, __m512d gy) {
    __m512d v = _mm512_add_pd(_mm512_mul_pd(r, fx), _mm512_mul_pd(p, gx));
    v = _mm512_add_pd(v, _mm512_mul_pd(p, gy));
    v = _mm512_add_pd(v, _mm512_mul_pd(d, fy));
    // The sum lies in [0, 510]: the whole part of half of it is half its whole part.
    return _mm256_srli_epi32(Truncate(v), 1);
}

// Eight ordinary positions (0 <= x < w, 0 <= y < h).
PELTO_AVX512 inline void SampleEightOrdinary(const RGBX* pSrc, int64_t w, int64_t h, __m512d x,
                                             __m512d y, RGBX* pOut) {
    const __m256i ix = Truncate(x), iy = Truncate(y);
    const __m512d one = _mm512_set1_pd(1.0);
    const __m512d fx = _mm512_sub_pd(x, _mm512_maskz_cvtepi32_pd(kAll8, ix));
    const __m512d fy = _mm512_sub_pd(y, _mm512_maskz_cvtepi32_pd(kAll8, iy));
    const __m512d gx = _mm512_sub_pd(one, fx), gy = _mm512_sub_pd(one, fy);
    const int64_t x0 = _mm256_extract_epi32(ix, 0), y0 = _mm256_extract_epi32(iy, 0);
    const __m256i steps = _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7);
    const __m256i along = _mm256_and_si256(
        _mm256_cmpeq_epi32(ix, _mm256_add_epi32(_mm256_set1_epi32(static_cast<int>(x0)), steps)),
        _mm256_cmpeq_epi32(iy, _mm256_set1_epi32(static_cast<int>(y0))));
    __m256i P, R, D;
    if (_mm256_movemask_epi8(along) == -1 && x0 + 8 < w) {
        // Eight neighbours in one row, as a slanted run mostly has: nine pixels in two loads.
        const RGBX* at0 = pSrc + y0 * w + x0;
        P = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(at0));
        R = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(at0 + 1));
        D = y0 + 1 < h ? _mm256_loadu_si256(reinterpret_cast<const __m256i*>(at0 + w)) : P;
    } else {
        // Pixel indexes fit 32 bits: no picture has more than 2^27 pixels. The right neighbour
        // and the one below are clamped to the last column and row.
        const __m256i vw = _mm256_set1_epi32(static_cast<int>(w));
        const __m256i index = _mm256_add_epi32(_mm256_mullo_epi32(iy, vw), ix);
        const __m256i hasRight = _mm256_cmpgt_epi32(vw, _mm256_add_epi32(ix, _mm256_set1_epi32(1)));
        const __m256i hasBelow = _mm256_cmpgt_epi32(_mm256_set1_epi32(static_cast<int>(h)),
                                                    _mm256_add_epi32(iy, _mm256_set1_epi32(1)));
        const int* base = reinterpret_cast<const int*>(pSrc);
        P = _mm256_i32gather_epi32(base, index, 4);
        R = _mm256_i32gather_epi32(base, _mm256_sub_epi32(index, hasRight), 4);
        D = _mm256_i32gather_epi32(base, _mm256_add_epi32(index, _mm256_and_si256(hasBelow, vw)),
                                   4);
    }
    const __m256i b =
        BlendChannel8(ChannelOf(P, 0), ChannelOf(R, 0), ChannelOf(D, 0), fx, gx, fy, gy);
    const __m256i g =
        BlendChannel8(ChannelOf(P, 1), ChannelOf(R, 1), ChannelOf(D, 1), fx, gx, fy, gy);
    const __m256i r =
        BlendChannel8(ChannelOf(P, 2), ChannelOf(R, 2), ChannelOf(D, 2), fx, gx, fy, gy);
    const __m256i bits =
        _mm256_or_si256(b, _mm256_or_si256(_mm256_slli_epi32(g, 8), _mm256_slli_epi32(r, 16)));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(pOut), bits);
}

// Runs along the rows, as a slant's are: groups of eight neighbours in one row are nine pixels in
// two loads, sampled straight away.
PELTO_AVX512 void SampleAlongRows(const RGBX* pSrc, int64_t w, int64_t h, int64_t cw, int64_t ch,
                                  const double* Xs, const double* Ys, int64_t n, RGBX* pOut) {
    OnSourceTest8 onSource;
    MakeOnSourceTest8(w, h, cw, ch, &onSource);
    const __m512d vcw = _mm512_set1_pd(static_cast<double>(cw));
    const __m512d vch = _mm512_set1_pd(static_cast<double>(ch));
    const __m512d zero = _mm512_setzero_pd();
    const __m512d vW = _mm512_set1_pd(static_cast<double>(w));
    const __m512d vH = _mm512_set1_pd(static_cast<double>(h));
    int64_t j = 0;
    for (; j + 8 <= n; j += 8) {
        const __m512d X = _mm512_loadu_pd(Xs + j), Y = _mm512_loadu_pd(Ys + j);
        const __m256i ix = Truncate(X), iy = Truncate(Y);
        const __m256i on = OnSource8(onSource, ix, iy);
        const int onMask = _mm256_movemask_epi8(on);
        if (onMask == 0) continue;
        if (onMask == -1) {
            const __m512d vx = _mm512_add_pd(vcw, X), vy = _mm512_add_pd(vch, Y);
            const __mmask8 inside =
                _mm512_cmp_pd_mask(vx, zero, _CMP_GE_OQ) & _mm512_cmp_pd_mask(vx, vW, _CMP_LT_OQ) &
                _mm512_cmp_pd_mask(vy, zero, _CMP_GE_OQ) & _mm512_cmp_pd_mask(vy, vH, _CMP_LT_OQ);
            if (inside == kAll8) {
                SampleEightOrdinary(pSrc, w, h, vx, vy, pOut + j);
                continue;
            }
        }
        SampleAroundRunAvx(pSrc, w, h, cw, ch, Xs + j, Ys + j, 8, pOut + j);
    }
    if (j < n) SampleAroundRunAvx(pSrc, w, h, cw, ch, Xs + j, Ys + j, n - j, pOut + j);
}

// The bits of 2^52; below them a double's mantissa holds an integer as it is.
const int64_t kTwo52Bits = 0x4330000000000000;

// What the loads of eight interior positions leave for the blend: each pixel with its right
// neighbour and the pixel below with its own, one per 64-bit lane, and the fractions.
struct EightLoaded {
    __m512i pair, below;
    __m512d fx, fy;
};

// The eight bytes at a and at b, side by side.
PELTO_AVX512 inline __m128i LoadTwoPairs(const RGBX* a, const RGBX* b) {
    const __m128i lo = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(a));
    return _mm_castpd_si128(_mm_loadh_pd(_mm_castsi128_pd(lo), reinterpret_cast<const double*>(b)));
}

PELTO_AVX512 inline __m512i LoadEightPairs(const RGBX* const* at, int64_t step) {
    const __m256i lo = _mm256_setr_m128i(LoadTwoPairs(at[0] + step, at[1] + step),
                                         LoadTwoPairs(at[2] + step, at[3] + step));
    const __m256i hi = _mm256_setr_m128i(LoadTwoPairs(at[4] + step, at[5] + step),
                                         LoadTwoPairs(at[6] + step, at[7] + step));
    return _mm512_maskz_inserti64x4(kAll8, _mm512_castsi256_si512(lo), hi, 1);
}

// Eight interior positions (0 <= x < w - 1, 0 <= y < h - 1): every pixel read is on the picture.
PELTO_AVX512 inline void LoadEight(const RGBX* pSrc, int64_t w, __m512d x, __m512d y, __m512d vW,
                                   EightLoaded* pTo) {
    const __m512d two52 = _mm512_castsi512_pd(_mm512_set1_epi64(kTwo52Bits));
    const __m512d tx = _mm512_maskz_roundscale_pd(kAll8, x, _MM_FROUND_TO_ZERO | _MM_FROUND_NO_EXC);
    const __m512d ty = _mm512_maskz_roundscale_pd(kAll8, y, _MM_FROUND_TO_ZERO | _MM_FROUND_NO_EXC);
    // Indexes are whole numbers below 2^27, exact in doubles; they go to the loads through
    // memory as the bits of 2^52 + index, which costs less than taking them out of the register.
    alignas(64) int64_t at[8];
    _mm512_store_si512(
        at, _mm512_castpd_si512(_mm512_add_pd(_mm512_add_pd(_mm512_mul_pd(ty, vW), tx), two52)));
    const RGBX* p[8];
    for (int k = 0; k < 8; ++k) p[k] = pSrc + (at[k] - kTwo52Bits);
    pTo->pair = LoadEightPairs(p, 0);
    pTo->below = LoadEightPairs(p, w);
    pTo->fx = _mm512_sub_pd(x, tx);
    pTo->fy = _mm512_sub_pd(y, ty);
}

// Channel c of the pixels in the low halves of the lanes of `biased` (those lanes with the bits
// of 2^52 ORed in), times 256^c: 2^52 + v * 256^c less 2^52.
PELTO_AVX512 inline __m512d ChannelScaled(__m512i biased, int c, __m512d two52) {
    const __m512i keep = _mm512_set1_epi64(kTwo52Bits | (int64_t{0xFF} << (8 * c)));
    return _mm512_sub_pd(_mm512_castsi512_pd(_mm512_and_si512(biased, keep)), two52);
}

// The truncated weighted sum of channel c times 256^c: BlendChannel's operations in its order,
// each giving exactly 256^c times its value there, so bits 8c + 1 .. 8c + 8 of the result are
// the channel's byte (the sum stays below 2^(9 + 8c)).
PELTO_AVX512 inline __m256i BlendScaled(__m512i p, __m512i r, __m512i d, int c, __m512d fx,
                                        __m512d gx, __m512d fy, __m512d gy, __m512d two52) {
    const __m512d pv = ChannelScaled(p, c, two52);
    const __m512d rv = ChannelScaled(r, c, two52);
    const __m512d dv = ChannelScaled(d, c, two52);
    __m512d v = _mm512_add_pd(_mm512_mul_pd(rv, fx), _mm512_mul_pd(pv, gx));
    v = _mm512_add_pd(v, _mm512_mul_pd(pv, gy));
    v = _mm512_add_pd(v, _mm512_mul_pd(dv, fy));
    return Truncate(v);
}

// The eight pixels (the fourth byte 0).
PELTO_AVX512 inline __m256i BlendEight(const EightLoaded& f) {
    const __m512d one = _mm512_set1_pd(1.0);
    const __m512d two52 = _mm512_castsi512_pd(_mm512_set1_epi64(kTwo52Bits));
    const __m512d gx = _mm512_sub_pd(one, f.fx), gy = _mm512_sub_pd(one, f.fy);
    const __m512i bias = _mm512_set1_epi64(kTwo52Bits);
    const __m512i p = _mm512_or_si512(f.pair, bias);
    const __m512i r = _mm512_or_si512(_mm512_maskz_srli_epi64(kAll8, f.pair, 32), bias);
    const __m512i d = _mm512_or_si512(f.below, bias);
    const __m256i b = _mm256_and_si256(BlendScaled(p, r, d, 0, f.fx, gx, f.fy, gy, two52),
                                       _mm256_set1_epi32(0x1FE));
    const __m256i g = _mm256_and_si256(BlendScaled(p, r, d, 1, f.fx, gx, f.fy, gy, two52),
                                       _mm256_set1_epi32(0x1FE00));
    const __m256i rr = _mm256_and_si256(BlendScaled(p, r, d, 2, f.fx, gx, f.fy, gy, two52),
                                        _mm256_set1_epi32(0x1FE0000));
    return _mm256_srli_epi32(_mm256_or_si256(b, _mm256_or_si256(g, rr)), 1);
}

const int64_t kPiece = 64;

}  // namespace

PELTO_AVX512 void SampleAroundRunAvx512(const RGBX* pSrc, int64_t w, int64_t h, int64_t cw,
                                        int64_t ch, const double* Xs, const double* Ys, int64_t n,
                                        RGBX* pOut) {
    // The pair loads need a column to the left of the last one, and a row below the first.
    if (w < 2 || h < 2) {
        SampleAroundRunAvx(pSrc, w, h, cw, ch, Xs, Ys, n, pOut);
        return;
    }
    const double dW = static_cast<double>(w), dH = static_cast<double>(h);
    const double dcw = static_cast<double>(cw), dch = static_cast<double>(ch);
    const __m512d vcw = _mm512_set1_pd(dcw), vch = _mm512_set1_pd(dch);
    const __m512d vW = _mm512_set1_pd(dW), zero = _mm512_setzero_pd();
    const __m512d lastX = _mm512_set1_pd(dW - 1), lastY = _mm512_set1_pd(dH - 1);
    // All the loads of a piece of the run first, then all the blends, so that the chains of
    // index arithmetic and loads do not hold up the blends in the processor's queues.
    EightLoaded loaded[kPiece / 8];
    for (int64_t j0 = 0; j0 < n; j0 += kPiece) {
        const int64_t m = n - j0 < kPiece ? n - j0 : kPiece;
        if (m >= 8 && std::fabs(Xs[j0 + m - 1] - Xs[j0] - static_cast<double>(m - 1)) < 0.5 &&
            std::fabs(Ys[j0 + m - 1] - Ys[j0]) < 1) {
            SampleAlongRows(pSrc, w, h, cw, ch, Xs + j0, Ys + j0, m, pOut + j0);
            continue;
        }
        const bool whole = RunInInterior(Xs + j0, Ys + j0, m, dcw, dch, dW, dH);
        uint32_t ordinary = 0;
        int64_t j = 0;
        for (; j + 8 <= m; j += 8) {
            // Interior positions are on the source as well; the last column and row, where the
            // neighbours are clamped, go the narrower way.
            const __m512d x = _mm512_add_pd(vcw, _mm512_loadu_pd(Xs + j0 + j));
            const __m512d y = _mm512_add_pd(vch, _mm512_loadu_pd(Ys + j0 + j));
            if (whole || (_mm512_cmp_pd_mask(x, zero, _CMP_GE_OQ) &
                          _mm512_cmp_pd_mask(x, lastX, _CMP_LT_OQ) &
                          _mm512_cmp_pd_mask(y, zero, _CMP_GE_OQ) &
                          _mm512_cmp_pd_mask(y, lastY, _CMP_LT_OQ)) == kAll8) {
                LoadEight(pSrc, w, x, y, vW, &loaded[j / 8]);
                ordinary |= 1u << (j / 8);
                continue;
            }
            SampleAroundRunAvx2(pSrc, w, h, cw, ch, Xs + j0 + j, Ys + j0 + j, 8, pOut + j0 + j);
        }
        if (j < m)
            SampleAroundRunAvx2(pSrc, w, h, cw, ch, Xs + j0 + j, Ys + j0 + j, m - j, pOut + j0 + j);
        for (; ordinary != 0; ordinary &= ordinary - 1) {
            const int g = __builtin_ctz(ordinary);
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(pOut + j0 + 8 * g),
                                BlendEight(loaded[g]));
        }
    }
}

// The positions' work is on 32-bit lanes, which the 256-bit version does as well.
void PrefetchAroundRunAvx512(const RGBX* pSrc, int64_t w, int64_t h, int64_t cw, int64_t ch,
                             const double* Xs, const double* Ys, int64_t n) {
    PrefetchAroundRunAvx2(pSrc, w, h, cw, ch, Xs, Ys, n);
}

}  // namespace pelto_image
