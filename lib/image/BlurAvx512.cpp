#include "lib/image/BlurAvx512.h"

#include <immintrin.h>

#include "lib/image/MemoryHints.h"

namespace pelto_image {

namespace {

// (The masked forms of some intrinsics below, with every lane on, avoid the plain forms'
// undefined inputs, which this compiler warns about.)
#define PELTO_AVX512 __attribute__((target("avx512f,avx512bw,avx2")))

// The three rows' sums of eight pixels (4 x 16-bit channels each); the middle row alone too.
PELTO_AVX512 inline __m512i ColumnSums8(const RGBX* mid, int64_t w, __m512i* pMid) {
    const __m512i t =
        _mm512_cvtepu8_epi16(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(mid - w)));
    const __m512i m =
        _mm512_cvtepu8_epi16(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(mid)));
    const __m512i b =
        _mm512_cvtepu8_epi16(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(mid + w)));
    *pMid = m;
    return _mm512_add_epi16(_mm512_add_epi16(t, m), b);
}

struct BlurConstants {
    __m512i centreLess1, mul;
    __m128i shift;
    __m256i rgb;
};

// All nine neighbours exist: (all nine) + (centre - 1) * centre pixel <= 14790 fits 16 bits, and
// the quotient is at most 255, so narrowing the lanes to bytes keeps it.
PELTO_AVX512 inline void StoreBlock(__m512i left, __m512i cur, __m512i right, __m512i mid,
                                    const BlurConstants& k, RGBX* out) {
    __m512i sum = _mm512_add_epi16(_mm512_add_epi16(left, cur), right);
    sum = _mm512_add_epi16(sum, _mm512_mullo_epi16(mid, k.centreLess1));
    const __m512i q = _mm512_srl_epi16(_mm512_mulhi_epu16(sum, k.mul), k.shift);
    const __m256i bytes = _mm512_maskz_cvtepi16_epi8(~__mmask32(0), q);
    __m256i* p = reinterpret_cast<__m256i*>(out);
    _mm256_storeu_si256(p, _mm256_blendv_epi8(_mm256_loadu_si256(p), bytes, k.rgb));
}

}  // namespace

PELTO_AVX512 int64_t BlurInteriorRowAvx512(const RGBX* pSrc, int64_t w, int64_t y, int centre,
                                           int mul, int shift, RGBX* pDst) {
    BlurConstants k;
    k.centreLess1 = _mm512_set1_epi16(static_cast<short>(centre - 1));
    k.mul = _mm512_set1_epi16(static_cast<short>(mul));
    k.shift = _mm_cvtsi32_si128(shift);
    k.rgb = _mm256_set1_epi32(0x00FFFFFF);
    const RGBX* row = pSrc + y * w;
    RGBX* out = pDst + y * w;
    int64_t x = 1;
    // Each block's sums are made once and shared with its neighbours: a pixel's left and right
    // neighbours are the block shifted by one pixel (one 64-bit lane) across its neighbours.
    __m512i curMid, nextMid, unused;
    __m512i prev =
        _mm512_maskz_permutexvar_epi64(0xFF, _mm512_setzero_si512(), ColumnSums8(row, w, &unused));
    __m512i cur = ColumnSums8(row + x, w, &curMid);
    for (; x + 16 <= w; x += 8) {
        _mm_prefetch(reinterpret_cast<const char*>(row + w + x + kPrefetchPixels), _MM_HINT_T0);
        _mm_prefetch(reinterpret_cast<const char*>(out + x + kPrefetchPixels), _MM_HINT_T0);
        const __m512i next = ColumnSums8(row + x + 8, w, &nextMid);
        StoreBlock(_mm512_maskz_alignr_epi64(0xFF, cur, prev, 7), cur,
                   _mm512_maskz_alignr_epi64(0xFF, next, cur, 1), curMid, k, out + x);
        prev = cur;
        cur = next;
        curMid = nextMid;
    }
    // The rest, eight at a time; the last block overlaps what is done: the same bytes again.
    while (x < w - 1) {
        const int64_t at = x <= w - 9 ? x : w - 9;
        __m512i mid;
        const __m512i left = ColumnSums8(row + at - 1, w, &unused);
        const __m512i centreSums = ColumnSums8(row + at, w, &mid);
        const __m512i right = ColumnSums8(row + at + 1, w, &unused);
        StoreBlock(left, centreSums, right, mid, k, out + at);
        x = at + 8;
    }
    return w - 1;
}

}  // namespace pelto_image
