// A reduction to one half reads four source pixels for each one it writes, so it is bound by
// memory only if the arithmetic stays out of the way: the channels are split into 16-bit lanes by
// masks and shifts (no shuffles), the two rows and the two columns of a box are added in place,
// and only the final eight results are gathered into order.
#include "lib/image/ShrinkAvx2.h"

#include <immintrin.h>

#include "lib/image/KernelsSse2.h"
#include "lib/image/MemoryHints.h"

namespace pelto_image {

namespace {

#define PELTO_AVX2 __attribute__((target("avx2")))

PELTO_AVX2 inline __m256i Load8(const RGBX* p) {
    return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
}

// Four boxes from two rows of eight pixels: each box's pixel in the even 32-bit lanes, as bytes
// b, g, r and the mean of the fourth bytes; the odd lanes hold nothing of use.
PELTO_AVX2 inline __m256i FourMeans(__m256i top, __m256i bottom) {
    const __m256i lowBytes = _mm256_set1_epi16(0x00FF);
    // Blue and red (even), green and the fourth byte (odd): the sums of the two rows, then of
    // the two columns; each 16-bit lane stays at or below 1020.
    __m256i even =
        _mm256_add_epi16(_mm256_and_si256(top, lowBytes), _mm256_and_si256(bottom, lowBytes));
    __m256i odd = _mm256_add_epi16(_mm256_srli_epi16(top, 8), _mm256_srli_epi16(bottom, 8));
    even = _mm256_add_epi16(even, _mm256_srli_epi64(even, 32));
    odd = _mm256_add_epi16(odd, _mm256_srli_epi64(odd, 32));
    return _mm256_or_si256(_mm256_srli_epi16(even, 2),
                           _mm256_slli_epi16(_mm256_srli_epi16(odd, 2), 8));
}

}  // namespace

PELTO_AVX2 void PairMeansAvx2(const RGBX* row0, const RGBX* row1, int64_t n, RGBX* out) {
    const __m256i rgb = _mm256_set1_epi32(0x00FFFFFF);
    int64_t k = 0;
    for (; k + 8 <= n; k += 8) {
        // Each step reads one line of each row: asked for well ahead, as the processor's own
        // guesses fall behind two rows read side by side.
        _mm_prefetch(reinterpret_cast<const char*>(row0 + 2 * k + kPrefetchPixels), _MM_HINT_T0);
        _mm_prefetch(reinterpret_cast<const char*>(row1 + 2 * k + kPrefetchPixels), _MM_HINT_T0);
        const __m256i first = FourMeans(Load8(row0 + 2 * k), Load8(row1 + 2 * k));
        const __m256i second = FourMeans(Load8(row0 + 2 * k + 8), Load8(row1 + 2 * k + 8));
        // Boxes 0 1 4 5 | 2 3 6 7, then in order.
        const __m256i mixed = _mm256_castps_si256(_mm256_shuffle_ps(
            _mm256_castsi256_ps(first), _mm256_castsi256_ps(second), _MM_SHUFFLE(2, 0, 2, 0)));
        const __m256i means = _mm256_permute4x64_epi64(mixed, _MM_SHUFFLE(3, 1, 2, 0));
        __m256i* p = reinterpret_cast<__m256i*>(out + k);
        _mm256_storeu_si256(p, _mm256_blendv_epi8(_mm256_loadu_si256(p), means, rgb));
    }
    if (k < n) PairMeansSse2(row0 + 2 * k, row1 + 2 * k, n - k, out + k);
}

}  // namespace pelto_image
