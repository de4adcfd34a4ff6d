// The weighted samples of turned and slanted runs, eight at a time with eight-lane doubles: the
// multiplications and additions of BlendChannel in the same order on every lane, as separate
// instructions (no fused multiply-add is enabled here), so the same bits as the narrower
// versions. Groups that are not eight ordinary positions go to the four-lane version.
#include <immintrin.h>

#include <cstdint>

#include "lib/image/KernelsAvx2.h"
#include "lib/image/WeightedSample.h"

namespace pelto_image {

namespace {

// (The masked forms of some intrinsics below, with every lane on, avoid the plain forms'
// undefined inputs, which this compiler warns about.)
#define PELTO_AVX512 __attribute__((target("avx512f,avx512bw,avx2")))

const __mmask8 kAll8 = 0xFF;

PELTO_AVX512 inline __m512d ChannelOf(__m256i pixels, int c) {
    const __m256i v = _mm256_and_si256(_mm256_srli_epi32(pixels, 8 * c), _mm256_set1_epi32(0xFF));
    return _mm512_maskz_cvtepi32_pd(kAll8, v);
}

PELTO_AVX512 inline __m256i Truncate(__m512d v) { return _mm512_maskz_cvttpd_epi32(kAll8, v); }

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

}  // namespace

PELTO_AVX512 void SampleAroundRunAvx512(const RGBX* pSrc, int64_t w, int64_t h, int64_t cw,
                                        int64_t ch, const double* Xs, const double* Ys, int64_t n,
                                        RGBX* pOut) {
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

PELTO_AVX512 void PrefetchAroundRunAvx512(const RGBX* pSrc, int64_t w, int64_t h, int64_t cw,
                                          int64_t ch, const double* Xs, const double* Ys,
                                          int64_t n) {
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
        const __m256i ix = _mm256_add_epi32(Truncate(_mm512_loadu_pd(Xs + j)), vcw);
        const __m256i iy = _mm256_add_epi32(Truncate(_mm512_loadu_pd(Ys + j)), vch);
        const __m256i cix = _mm256_min_epi32(_mm256_max_epi32(ix, zero), lastX);
        const __m256i ciy = _mm256_min_epi32(_mm256_max_epi32(iy, zero), lastY);
        // Eight positions that all clamp are off the source (or on its edge): nothing to ask.
        const __m256i moved = _mm256_or_si256(_mm256_xor_si256(cix, ix), _mm256_xor_si256(ciy, iy));
        if (_mm256_movemask_epi8(_mm256_cmpeq_epi32(moved, zero)) == 0) continue;
        // Byte offsets of at most 2^29 (no picture has more than 2^27 pixels) fit 32 bits.
        int32_t at[8];
        _mm256_storeu_si256(
            reinterpret_cast<__m256i*>(at),
            _mm256_slli_epi32(_mm256_add_epi32(_mm256_mullo_epi32(ciy, vw), cix), 2));
        // Every other position: neighbouring ones mostly read the same lines, and each asks for
        // the line of its own row, which is the row below for the one before.
        for (int k = 0; k < 8; k += 2) _mm_prefetch(base + at[k], _MM_HINT_T0);
    }
    if (j < n) PrefetchAroundRunAvx(pSrc, w, h, cw, ch, Xs + j, Ys + j, n - j);
}

}  // namespace pelto_image
