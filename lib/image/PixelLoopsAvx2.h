// The per-pixel loops of grey, negation, colour replacement and mirroring with 256-bit integer
// vectors, eight pixels at a time. Each returns how many pixels it did (a multiple of eight);
// the caller does the rest with its own loop. Only call them where CpuHasAvx2() holds.
#pragma once

#include <immintrin.h>

#include <cstddef>
#include <cstdint>

#include "lib/image/Rgbx.h"

namespace pelto_image {

// How far ahead of the pixel at hand the loops ask for memory: far enough that the line has
// arrived from memory when the loop gets there, which the processor's own guesses miss when a
// loop has much work per line.
constexpr size_t kPrefetchPixels = 1536;

// Outputs larger than this are written with stores that bypass the caches.
constexpr size_t kStreamingBytes = size_t(16) << 20;

size_t GreyPixelsAvx2(const RGBX* pSrc, RGBX* pDst, size_t n);

// Keeps the destination's fourth bytes.
size_t NegatePixelsAvx2(const RGBX* pSrc, RGBX* pDst, size_t n);

// from and to are pixel values (blue in the low byte), from without its fourth byte.
size_t ReplacePixelsAvx2(const RGBX* pSrc, RGBX* pDst, size_t n, uint32_t from, uint32_t to);

// Writes in[0 .. w) to out[w - 1 .. 0]; returns how many pixels from each end are done. With
// bStream the row is done whole, with stores that bypass the caches (the caller fences).
size_t ReverseRowAvx2(const RGBX* in, RGBX* out, size_t w, bool bStream);

// Tells which of eight truncated positions (ix, iy), relative to a source point (cw, ch), lie on
// a w x h source. Positions out of the 32-bit range truncate to INT_MIN, which is off it as well.
struct OnSourceTest8 {
    __m256i loX, hiX, loY, hiY;
};

__attribute__((target("avx2"))) inline void MakeOnSourceTest8(int64_t w, int64_t h, int64_t cw,
                                                              int64_t ch, OnSourceTest8* pTest) {
    pTest->loX = _mm256_set1_epi32(static_cast<int32_t>(-cw - 1));
    pTest->hiX = _mm256_set1_epi32(static_cast<int32_t>(w - cw));
    pTest->loY = _mm256_set1_epi32(static_cast<int32_t>(-ch - 1));
    pTest->hiY = _mm256_set1_epi32(static_cast<int32_t>(h - ch));
}

// All-ones lanes for the positions on the source.
__attribute__((target("avx2"))) inline __m256i OnSource8(const OnSourceTest8& t, __m256i ix,
                                                         __m256i iy) {
    return _mm256_and_si256(
        _mm256_and_si256(_mm256_cmpgt_epi32(ix, t.loX), _mm256_cmpgt_epi32(t.hiX, ix)),
        _mm256_and_si256(_mm256_cmpgt_epi32(iy, t.loY), _mm256_cmpgt_epi32(t.hiY, iy)));
}

// The nearest-pixel samples of a turned run from its positions relative to a source point
// (cw, ch): a position whose truncation (ix, iy) lies on the source gets the source pixel
// (cw + ix, ch + iy); the others are left alone.
void NearestAroundRunAvx2(const RGBX* pSrc, int64_t w, int64_t h, int64_t cw, int64_t ch,
                          const double* Xs, const double* Ys, int64_t n, RGBX* pOut);

}  // namespace pelto_image
