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

// Two samples at once, one per lane, for positions with 0 <= x < w and 0 <= y < h. Each lane
// does the multiplications and additions of BlendChannel in the same order, so the same bits.
inline __m128i GatherTwo(const RGBX* pSrc, int64_t i0, int64_t i1) {
    uint32_t a, b;
    std::memcpy(&a, pSrc + i0, 4);
    std::memcpy(&b, pSrc + i1, 4);
    // b0 b1 g0 g1 r0 r1 x0 x1
    return _mm_unpacklo_epi8(_mm_cvtsi32_si128(static_cast<int>(a)),
                             _mm_cvtsi32_si128(static_cast<int>(b)));
}

struct ChannelPairs {
    __m128d b, g, r;
};

inline ChannelPairs SplitChannels(__m128i interleaved) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i w16 = _mm_unpacklo_epi8(interleaved, zero);
    const __m128i lo = _mm_unpacklo_epi16(w16, zero);
    const __m128i hi = _mm_unpackhi_epi16(w16, zero);
    return ChannelPairs{_mm_cvtepi32_pd(lo), _mm_cvtepi32_pd(_mm_srli_si128(lo, 8)),
                        _mm_cvtepi32_pd(hi)};
}

inline __m128i BlendChannelPair(__m128d p, __m128d r, __m128d d, __m128d fx, __m128d gx, __m128d fy,
                                __m128d gy) {
    __m128d v = _mm_add_pd(_mm_mul_pd(r, fx), _mm_mul_pd(p, gx));
    v = _mm_add_pd(v, _mm_mul_pd(p, gy));
    v = _mm_mul_pd(_mm_set1_pd(0.5), _mm_add_pd(v, _mm_mul_pd(d, fy)));
    return _mm_cvttpd_epi32(v);
}

inline void SampleTwoOrdinary(const RGBX* pSrc, int64_t w, int64_t h, __m128d x, __m128d y,
                              RGBX* pOut0, RGBX* pOut1) {
    const __m128i ix = _mm_cvttpd_epi32(x), iy = _mm_cvttpd_epi32(y);
    const __m128d one = _mm_set1_pd(1.0);
    const __m128d fx = _mm_sub_pd(x, _mm_cvtepi32_pd(ix));
    const __m128d fy = _mm_sub_pd(y, _mm_cvtepi32_pd(iy));
    const __m128d gx = _mm_sub_pd(one, fx), gy = _mm_sub_pd(one, fy);
    const int64_t ix0 = _mm_cvtsi128_si32(ix), ix1 = _mm_cvtsi128_si32(_mm_srli_si128(ix, 4));
    const int64_t iy0 = _mm_cvtsi128_si32(iy), iy1 = _mm_cvtsi128_si32(_mm_srli_si128(iy, 4));
    const int64_t p0 = iy0 * w + ix0, p1 = iy1 * w + ix1;
    const int64_t r0 = ix0 + 1 < w ? p0 + 1 : p0, r1 = ix1 + 1 < w ? p1 + 1 : p1;
    const int64_t d0 = iy0 + 1 < h ? p0 + w : p0, d1 = iy1 + 1 < h ? p1 + w : p1;
    ChannelPairs P, R;
    if (r0 == p0 + 1 && r1 == p1 + 1) {
        // Each pixel together with its right neighbour in one load.
        const __m128i both =
            _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(pSrc + p0)),
                              _mm_loadl_epi64(reinterpret_cast<const __m128i*>(pSrc + p1)));
        P = SplitChannels(both);
        R = SplitChannels(_mm_srli_si128(both, 8));
    } else {
        P = SplitChannels(GatherTwo(pSrc, p0, p1));
        R = SplitChannels(GatherTwo(pSrc, r0, r1));
    }
    const ChannelPairs D = SplitChannels(GatherTwo(pSrc, d0, d1));
    const __m128i b = BlendChannelPair(P.b, R.b, D.b, fx, gx, fy, gy);
    const __m128i g = BlendChannelPair(P.g, R.g, D.g, fx, gx, fy, gy);
    const __m128i r = BlendChannelPair(P.r, R.r, D.r, fx, gx, fy, gy);
    const __m128i bits = _mm_or_si128(b, _mm_or_si128(_mm_slli_epi32(g, 8), _mm_slli_epi32(r, 16)));
    const uint32_t v0 = static_cast<uint32_t>(_mm_cvtsi128_si32(bits));
    const uint32_t v1 = static_cast<uint32_t>(_mm_cvtsi128_si32(_mm_srli_si128(bits, 4)));
    std::memcpy(pOut0, &v0, 4);
    std::memcpy(pOut1, &v1, 4);
}

// What a run of precomputed positions asks for, pixel by pixel.
enum SampleKind : uint8_t {
    kSampleSkip = 0,      // off the source: the destination pixel is left alone
    kSampleOneByOne = 1,  // on the source but at or past an edge of the sampling range
    kSampleOrdinary = 2,  // 0 <= x < w and 0 <= y < h
};

inline uint8_t KindOfPosition(double x, double y, double w, double h) {
    return (x >= 0 && x < w && y >= 0 && y < h) ? kSampleOrdinary : kSampleOneByOne;
}

// Asks for the source lines a sample at (ix, iy) reads, ahead of the sampling pass: the
// positions of a turned or slanted run jump between rows, which the hardware does not foresee.
inline void PrefetchSample(const RGBX* pSrc, int64_t w, int64_t h, int64_t ix, int64_t iy) {
    const RGBX* p = pSrc + iy * w + ix;
    _mm_prefetch(reinterpret_cast<const char*>(p), _MM_HINT_T0);
    if (iy + 1 < h) _mm_prefetch(reinterpret_cast<const char*>(p + w), _MM_HINT_T0);
}

// SampleWeightedFast over a run, two neighbouring ordinary positions at a time.
inline void SampleRun(const RGBX* pSrc, int64_t w, int64_t h, const double* xs, const double* ys,
                      const uint8_t* kinds, int64_t n, RGBX* pOut) {
    int64_t j = 0;
    while (j < n) {
        if (kinds[j] == kSampleOrdinary && j + 1 < n && kinds[j + 1] == kSampleOrdinary) {
            SampleTwoOrdinary(pSrc, w, h, _mm_loadu_pd(xs + j), _mm_loadu_pd(ys + j), pOut + j,
                              pOut + j + 1);
            j += 2;
            continue;
        }
        if (kinds[j] != kSampleSkip) pOut[j] = SampleWeightedFast(pSrc, w, h, xs[j], ys[j]);
        ++j;
    }
}

// The samples of a run from its positions relative to a source point (cw, ch): those whose
// truncation falls off the source are left alone, the rest are sampled at (cw + X, ch + Y).
// With (0, 0) the positions are the source's own (they are never -0, so adding 0 keeps them).
void SampleAroundRunAvx(const RGBX* pSrc, int64_t w, int64_t h, int64_t cw, int64_t ch,
                        const double* Xs, const double* Ys, int64_t n, RGBX* pOut);

// Whether every position (cx + X, cy + Y) of a run of m lies in [0, w - 1) x [0, h - 1), where a
// sample reads no clamped neighbour. A run's positions move one way along each axis (each is the
// one before plus the same step, or a rounding of such a line), so its two ends tell.
inline bool RunInInterior(const double* Xs, const double* Ys, int64_t m, double cx, double cy,
                          double w, double h) {
    const double xa = cx + Xs[0], xb = cx + Xs[m - 1];
    const double ya = cy + Ys[0], yb = cy + Ys[m - 1];
    return xa >= 0 && xa < w - 1 && xb >= 0 && xb < w - 1 && ya >= 0 && ya < h - 1 && yb >= 0 &&
           yb < h - 1;
}

// SampleAroundRunAvx for runs whose positions move one way along each axis, as a turned or
// slanted row's do; only where CpuHasAvx2() holds.
void SampleAroundRunAvx2(const RGBX* pSrc, int64_t w, int64_t h, int64_t cw, int64_t ch,
                         const double* Xs, const double* Ys, int64_t n, RGBX* pOut);

// SampleAroundRunAvx with eight-lane doubles; only where CpuHasAvx512Bw() holds.
void SampleAroundRunAvx512(const RGBX* pSrc, int64_t w, int64_t h, int64_t cw, int64_t ch,
                           const double* Xs, const double* Ys, int64_t n, RGBX* pOut);

// Asks for the source lines SampleAroundRunAvx will read for these positions.
void PrefetchAroundRunAvx(const RGBX* pSrc, int64_t w, int64_t h, int64_t cw, int64_t ch,
                          const double* Xs, const double* Ys, int64_t n);

// The same eight positions a step; only where CpuHasAvx2() holds.
void PrefetchAroundRunAvx2(const RGBX* pSrc, int64_t w, int64_t h, int64_t cw, int64_t ch,
                           const double* Xs, const double* Ys, int64_t n);

// The same with eight-lane vectors; only where CpuHasAvx512Bw() holds.
void PrefetchAroundRunAvx512(const RGBX* pSrc, int64_t w, int64_t h, int64_t cw, int64_t ch,
                             const double* Xs, const double* Ys, int64_t n);

}  // namespace pelto_image
