// The interpolation of CalcWeightedColor as inline code, so that the loops of the geometric
// processors produce the same bits without a call per pixel.
#pragma once

#include <emmintrin.h>

#include <cstdint>
#include <cstring>

#include "lib/image/Rgbx.h"

namespace pelto_image {

// trunc(v) for 0 <= v < limit, and limit - 1 with the fraction 1 for anything at or past it (NaN
// included): a position rounded up onto the edge reads the last column or row.
inline int64_t SplitPosition(double v, int64_t limit, double* pFraction) {
    if (v < static_cast<double>(limit)) {
        int64_t i = static_cast<int64_t>(v);
        *pFraction = v - static_cast<double>(i);
        return i;
    }
    *pFraction = 1.0;
    return limit - 1;
}

inline int64_t ClampedIndex(double v, int64_t limit) {
    if (v < 0) return 0;
    if (v < static_cast<double>(limit)) return static_cast<int64_t>(v);
    return limit - 1;
}

inline uint8_t BlendChannel(double p, double r, double d, double fx, double fy) {
    double v = 0.5 * (((r * fx + p * (1.0 - fx)) + p * (1.0 - fy)) + d * fy);
    return static_cast<uint8_t>(static_cast<int>(v));
}

inline RGBX BlendPixels(const RGBX& p, const RGBX& r, const RGBX& d, double fx, double fy) {
    RGBX o;
    o.b = BlendChannel(p.b, r.b, d.b, fx, fy);
    o.g = BlendChannel(p.g, r.g, d.g, fx, fy);
    o.r = BlendChannel(p.r, r.r, d.r, fx, fy);
    o.x = 0;
    return o;
}

inline RGBX SampleWeighted(const RGBX* pSrc, int64_t w, int64_t h, double x, double y) {
    if (x < 0 || y < 0) return pSrc[ClampedIndex(y, h) * w + ClampedIndex(x, w)];
    double fx, fy;
    int64_t ix = SplitPosition(x, w, &fx);
    int64_t iy = SplitPosition(y, h, &fy);
    const RGBX* row = pSrc + iy * w;
    int64_t ixr = ix + 1 < w ? ix + 1 : w - 1;
    int64_t iyd = iy + 1 < h ? iy + 1 : h - 1;
    return BlendPixels(row[ix], row[ixr], pSrc[iyd * w + ix], fx, fy);
}

// BlendPixels with two channels per register: the same multiplications and additions in the
// same order on each lane, so the same bits. The fourth lane is computed and dropped.
inline __m128i WidenPixel(const RGBX& p) {
    uint32_t v;
    std::memcpy(&v, &p, 4);
    const __m128i zero = _mm_setzero_si128();
    return _mm_unpacklo_epi16(_mm_unpacklo_epi8(_mm_cvtsi32_si128(static_cast<int>(v)), zero),
                              zero);
}

inline RGBX BlendPixelsSse2(const RGBX& p, const RGBX& r, const RGBX& d, double fx, double fy) {
    const __m128i pi = WidenPixel(p), ri = WidenPixel(r), di = WidenPixel(d);
    const __m128d vfx = _mm_set1_pd(fx), vgx = _mm_set1_pd(1.0 - fx);
    const __m128d vfy = _mm_set1_pd(fy), vgy = _mm_set1_pd(1.0 - fy);
    const __m128d half = _mm_set1_pd(0.5);
    __m128d pv = _mm_cvtepi32_pd(pi), rv = _mm_cvtepi32_pd(ri), dv = _mm_cvtepi32_pd(di);
    __m128d lo = _mm_add_pd(_mm_mul_pd(rv, vfx), _mm_mul_pd(pv, vgx));
    lo = _mm_add_pd(lo, _mm_mul_pd(pv, vgy));
    lo = _mm_mul_pd(half, _mm_add_pd(lo, _mm_mul_pd(dv, vfy)));
    pv = _mm_cvtepi32_pd(_mm_srli_si128(pi, 8));
    rv = _mm_cvtepi32_pd(_mm_srli_si128(ri, 8));
    dv = _mm_cvtepi32_pd(_mm_srli_si128(di, 8));
    __m128d hi = _mm_add_pd(_mm_mul_pd(rv, vfx), _mm_mul_pd(pv, vgx));
    hi = _mm_add_pd(hi, _mm_mul_pd(pv, vgy));
    hi = _mm_mul_pd(half, _mm_add_pd(hi, _mm_mul_pd(dv, vfy)));
    const __m128i ints = _mm_unpacklo_epi64(_mm_cvttpd_epi32(lo), _mm_cvttpd_epi32(hi));
    const __m128i bytes = _mm_packus_epi16(_mm_packs_epi32(ints, ints), ints);
    const uint32_t v = static_cast<uint32_t>(_mm_cvtsi128_si32(bytes)) & 0x00FFFFFFu;
    RGBX o;
    std::memcpy(&o, &v, 4);
    return o;
}

// SampleWeighted for positions the caller knows to be 0 or more.
inline RGBX SampleWeightedNonNegative(const RGBX* pSrc, int64_t w, int64_t h, double x, double y) {
    double fx, fy;
    const int64_t ix = SplitPosition(x, w, &fx);
    const int64_t iy = SplitPosition(y, h, &fy);
    const RGBX* row = pSrc + iy * w;
    const int64_t ixr = ix + 1 < w ? ix + 1 : w - 1;
    const int64_t iyd = iy + 1 < h ? iy + 1 : h - 1;
    return BlendPixelsSse2(row[ix], row[ixr], pSrc[iyd * w + ix], fx, fy);
}

inline RGBX SampleWeightedFast(const RGBX* pSrc, int64_t w, int64_t h, double x, double y) {
    if (x < 0 || y < 0) return pSrc[ClampedIndex(y, h) * w + ClampedIndex(x, w)];
    return SampleWeightedNonNegative(pSrc, w, h, x, y);
}

}  // namespace pelto_image
