// The 256-bit pieces that the 512-bit kernels build on. Only call them where CpuHasAvx2() holds.
#pragma once

#include <immintrin.h>

#include <cstddef>
#include <cstdint>

#include "lib/image/BlurAvx2.h"
#include "lib/image/Rgbx.h"

namespace pelto_image {

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

}  // namespace pelto_image
