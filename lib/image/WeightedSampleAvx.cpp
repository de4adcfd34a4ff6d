// The weighted samples of turned and slanted runs, four at a time with four-lane doubles: the
// multiplications and additions of BlendChannel in the same order on every lane, as separate
// instructions (no fused multiply-add is enabled here), so the same bits as the scalar and
// two-lane versions.
#include <immintrin.h>

#include <cstdint>
#include <cstring>

#include "lib/image/WeightedSample.h"

namespace pelto_image {

namespace {

// Channel c (0 blue, 1 green, 2 red) of four pixels as doubles.
__attribute__((target("avx"))) inline __m256d Channel(__m128i pixels, int c) {
    const __m128i pick =
        _mm_setr_epi8(static_cast<char>(c), -1, -1, -1, static_cast<char>(c + 4), -1, -1, -1,
                      static_cast<char>(c + 8), -1, -1, -1, static_cast<char>(c + 12), -1, -1, -1);
    return _mm256_cvtepi32_pd(_mm_shuffle_epi8(pixels, pick));
}

__attribute__((target("avx"))) inline __m128i BlendChannel4(__m256d p, __m256d r, __m256d d,
                                                            __m256d fx, __m256d gx, __m256d fy,
                                                            __m256d gy) {
    __m256d v = _mm256_add_pd(_mm256_mul_pd(r, fx), _mm256_mul_pd(p, gx));
    v = _mm256_add_pd(v, _mm256_mul_pd(p, gy));
    v = _mm256_add_pd(v, _mm256_mul_pd(d, fy));
    // The sum lies in [0, 510]: halving it is exact, and the whole part of half of it is half
    // (rounded down) of its whole part, so a shift replaces the multiplication by 0.5.
    return _mm_srli_epi32(_mm256_cvttpd_epi32(v), 1);
}

inline uint32_t LoadBits(const RGBX* p) {
    uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}

// Four ordinary positions (0 <= x < w, 0 <= y < h).
__attribute__((target("avx"), always_inline)) inline void SampleFourOrdinary(const RGBX* pSrc,
                                                                             int64_t w, int64_t h,
                                                                             __m256d x, __m256d y,
                                                                             RGBX* pOut) {
    const __m128i ix = _mm256_cvttpd_epi32(x), iy = _mm256_cvttpd_epi32(y);
    const __m256d one = _mm256_set1_pd(1.0);
    const __m256d fx = _mm256_sub_pd(x, _mm256_cvtepi32_pd(ix));
    const __m256d fy = _mm256_sub_pd(y, _mm256_cvtepi32_pd(iy));
    const __m256d gx = _mm256_sub_pd(one, fx), gy = _mm256_sub_pd(one, fy);
    const int64_t x0 = _mm_cvtsi128_si32(ix), y0 = _mm_cvtsi128_si32(iy);
    const RGBX* at0 = pSrc + y0 * w + x0;
    __m128i P, R, D;
    const __m128i steps = _mm_setr_epi32(0, 1, 2, 3);
    const __m128i along =
        _mm_and_si128(_mm_cmpeq_epi32(ix, _mm_add_epi32(_mm_set1_epi32(int(x0)), steps)),
                      _mm_cmpeq_epi32(iy, _mm_set1_epi32(int(y0))));
    if (_mm_movemask_epi8(along) == 0xFFFF && x0 + 4 < w) {
        // Four neighbours in one row, as a slanted run mostly has: five pixels in two loads.
        P = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at0));
        R = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at0 + 1));
        D = y0 + 1 < h ? _mm_loadu_si128(reinterpret_cast<const __m128i*>(at0 + w)) : P;
    } else {
        // Each pixel with its right neighbour in one load, straight into vector registers:
        // going through general registers or a small array makes the processor wait on its
        // store buffer.
        const int64_t cx[4] = {x0, _mm_extract_epi32(ix, 1), _mm_extract_epi32(ix, 2),
                               _mm_extract_epi32(ix, 3)};
        const int64_t cy[4] = {y0, _mm_extract_epi32(iy, 1), _mm_extract_epi32(iy, 2),
                               _mm_extract_epi32(iy, 3)};
        __m128i pr[4], dd[4];
        for (int k = 0; k < 4; ++k) {
            const RGBX* at = pSrc + cy[k] * w + cx[k];
            if (cx[k] + 1 < w)
                pr[k] = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(at));
            else
                pr[k] = _mm_shuffle_epi32(_mm_cvtsi32_si128(static_cast<int>(LoadBits(at))), 0);
            dd[k] = _mm_cvtsi32_si128(static_cast<int>(LoadBits(cy[k] + 1 < h ? at + w : at)));
        }
        const __m128 a = _mm_castsi128_ps(_mm_unpacklo_epi64(pr[0], pr[1]));
        const __m128 b4 = _mm_castsi128_ps(_mm_unpacklo_epi64(pr[2], pr[3]));
        P = _mm_castps_si128(_mm_shuffle_ps(a, b4, _MM_SHUFFLE(2, 0, 2, 0)));
        R = _mm_castps_si128(_mm_shuffle_ps(a, b4, _MM_SHUFFLE(3, 1, 3, 1)));
        D = _mm_unpacklo_epi64(_mm_unpacklo_epi32(dd[0], dd[1]), _mm_unpacklo_epi32(dd[2], dd[3]));
    }
    const __m128i b = BlendChannel4(Channel(P, 0), Channel(R, 0), Channel(D, 0), fx, gx, fy, gy);
    const __m128i g = BlendChannel4(Channel(P, 1), Channel(R, 1), Channel(D, 1), fx, gx, fy, gy);
    const __m128i rr = BlendChannel4(Channel(P, 2), Channel(R, 2), Channel(D, 2), fx, gx, fy, gy);
    const __m128i bits =
        _mm_or_si128(b, _mm_or_si128(_mm_slli_epi32(g, 8), _mm_slli_epi32(rr, 16)));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(pOut), bits);
}

}  // namespace

__attribute__((target("avx"))) void SampleAroundRunAvx(const RGBX* pSrc, int64_t w, int64_t h,
                                                       int64_t cw, int64_t ch, const double* Xs,
                                                       const double* Ys, int64_t n, RGBX* pOut) {
    const double dcw = static_cast<double>(cw), dch = static_cast<double>(ch);
    const double dW = static_cast<double>(w), dH = static_cast<double>(h);
    // Positions out of the 32-bit range truncate to INT_MIN, which is off the source as well.
    const __m128i loX = _mm_set1_epi32(static_cast<int32_t>(-cw - 1));
    const __m128i hiX = _mm_set1_epi32(static_cast<int32_t>(w - cw));
    const __m128i loY = _mm_set1_epi32(static_cast<int32_t>(-ch - 1));
    const __m128i hiY = _mm_set1_epi32(static_cast<int32_t>(h - ch));
    const __m256d vcw = _mm256_set1_pd(dcw), vch = _mm256_set1_pd(dch);
    const __m256d zero = _mm256_setzero_pd(), vW = _mm256_set1_pd(dW), vH = _mm256_set1_pd(dH);
    int64_t j = 0;
    for (; j + 4 <= n; j += 4) {
        const __m256d X = _mm256_loadu_pd(Xs + j), Y = _mm256_loadu_pd(Ys + j);
        const __m128i ix = _mm256_cvttpd_epi32(X), iy = _mm256_cvttpd_epi32(Y);
        const __m128i on =
            _mm_and_si128(_mm_and_si128(_mm_cmpgt_epi32(ix, loX), _mm_cmplt_epi32(ix, hiX)),
                          _mm_and_si128(_mm_cmpgt_epi32(iy, loY), _mm_cmplt_epi32(iy, hiY)));
        const int onMask = _mm_movemask_ps(_mm_castsi128_ps(on));
        if (onMask == 0) continue;
        const __m256d vx = _mm256_add_pd(vcw, X), vy = _mm256_add_pd(vch, Y);
        if (onMask == 15) {
            const __m256d inside = _mm256_and_pd(_mm256_and_pd(_mm256_cmp_pd(vx, zero, _CMP_GE_OQ),
                                                               _mm256_cmp_pd(vx, vW, _CMP_LT_OQ)),
                                                 _mm256_and_pd(_mm256_cmp_pd(vy, zero, _CMP_GE_OQ),
                                                               _mm256_cmp_pd(vy, vH, _CMP_LT_OQ)));
            if (_mm256_movemask_pd(inside) == 15) {
                SampleFourOrdinary(pSrc, w, h, vx, vy, pOut + j);
                continue;
            }
        }
        double x[4], y[4];
        _mm256_storeu_pd(x, vx);
        _mm256_storeu_pd(y, vy);
        for (int k = 0; k < 4; ++k)
            if (onMask & (1 << k)) pOut[j + k] = SampleWeightedFast(pSrc, w, h, x[k], y[k]);
    }
    for (; j < n; ++j) {
        const int64_t ix = static_cast<int64_t>(Xs[j]), iy = static_cast<int64_t>(Ys[j]);
        if (ix < -cw || ix >= w - cw || iy < -ch || iy >= h - ch) continue;
        pOut[j] = SampleWeightedFast(pSrc, w, h, dcw + Xs[j], dch + Ys[j]);
    }
}

__attribute__((target("avx"))) void PrefetchAroundRunAvx(const RGBX* pSrc, int64_t w, int64_t h,
                                                         int64_t cw, int64_t ch, const double* Xs,
                                                         const double* Ys, int64_t n) {
    // Clamped onto the source: positions off it ask for a line that is read anyway. The sums
    // may wrap for positions far off the 32-bit range, which the clamp also catches.
    const __m128i vcw = _mm_set1_epi32(static_cast<int32_t>(cw));
    const __m128i vch = _mm_set1_epi32(static_cast<int32_t>(ch));
    const __m128i zero = _mm_setzero_si128();
    const __m128i lastX = _mm_set1_epi32(static_cast<int32_t>(w - 1));
    const __m128i lastY = _mm_set1_epi32(static_cast<int32_t>(h - 1));
    const uintptr_t base = reinterpret_cast<uintptr_t>(pSrc);
    for (int64_t j = 0; j + 4 <= n; j += 4) {
        const __m128i ix = _mm_add_epi32(_mm256_cvttpd_epi32(_mm256_loadu_pd(Xs + j)), vcw);
        const __m128i iy = _mm_add_epi32(_mm256_cvttpd_epi32(_mm256_loadu_pd(Ys + j)), vch);
        const __m128i cix = _mm_min_epi32(_mm_max_epi32(ix, zero), lastX);
        const __m128i ciy = _mm_min_epi32(_mm_max_epi32(iy, zero), lastY);
        // Four positions that all clamp are off the source (or on its edge): nothing to ask for.
        const __m128i moved = _mm_or_si128(_mm_xor_si128(cix, ix), _mm_xor_si128(ciy, iy));
        if (_mm_movemask_epi8(_mm_cmpeq_epi32(moved, zero)) == 0) continue;
        int32_t cx[4], cy[4];
        _mm_storeu_si128(reinterpret_cast<__m128i*>(cx), cix);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(cy), ciy);
        for (int k = 0; k < 4; ++k)
            _mm_prefetch(reinterpret_cast<const char*>(
                             base + (static_cast<uintptr_t>(cy[k]) * static_cast<uintptr_t>(w) +
                                     static_cast<uintptr_t>(cx[k])) *
                                        sizeof(RGBX)),
                         _MM_HINT_T0);
    }
}

}  // namespace pelto_image
