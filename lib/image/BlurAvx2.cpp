// Each register holds eight whole pixels as they lie in memory, and no byte ever crosses a
// 128-bit half: a shift gives green and the fourth byte as 16-bit lanes, blue and red are what
// the plain 16-bit sums hold besides them, and a pixel's left and right neighbours come from
// loads one pixel to either side. Widening four pixels a register takes shuffles, which only some
// of the processor's units do; masks, shifts and loads run on more of them.
//
// A row goes in strips: the first pass writes the three rows' sums of every column of the strip
// to a small buffer that stays in the first-level cache, the second reads it at the left, the
// middle and the right column of each pixel. The sums and the division are those of the plain
// loop, so the bytes are the same.
#include "lib/image/BlurAvx2.h"

#include <immintrin.h>

#include "lib/image/MemoryHints.h"

namespace pelto_image {

namespace {

#define PELTO_AVX2 __attribute__((target("avx2")))

// Output columns a strip covers; its sums take 8 bytes a column.
constexpr int64_t kStripPixels = 256;
// The last strip takes up to seven more columns rather than leave fewer than eight, and a strip's
// sums start up to eight columns before it and end up to eight after it.
constexpr int64_t kSumColumns = kStripPixels + 24;

struct BlurConstants {
    __m256i centreEven, centreOdd;  // centre - 1 in the even or the odd bytes
    __m256i mul;
    __m256i green, fourth;   // byte 1, byte 3 of every pixel
    __m128i shift, shiftUp;  // s and 8 - s
};

PELTO_AVX2 inline __m256i Load8(const void* p) {
    return _mm256_loadu_si256(static_cast<const __m256i*>(p));
}

PELTO_AVX2 inline void Store8(void* p, __m256i v) {
    _mm256_storeu_si256(static_cast<__m256i*>(p), v);
}

// The sums of the rows above, at and below `mid` for eight columns, as 16-bit lanes: blue and red
// to `even`, green and the fourth byte to `odd`. The plain 16-bit sum of the three pixels is the
// even bytes' sum plus the odd bytes' sum moved up eight bits, modulo 2^16; taking the second off
// leaves the first, which is below 2^16, exactly.
PELTO_AVX2 inline void SumColumns8(const RGBX* mid, int64_t w, uint32_t* even, uint32_t* odd) {
    __m256i t = Load8(mid - w), m = Load8(mid), b = Load8(mid + w);
    // Kept in registers: the compiler would load them again as operands of the sums, and loads
    // are what these loops run short of first.
    asm("" : "+x"(t), "+x"(m), "+x"(b));
    const __m256i o =
        _mm256_add_epi16(_mm256_add_epi16(_mm256_srli_epi16(t, 8), _mm256_srli_epi16(m, 8)),
                         _mm256_srli_epi16(b, 8));
    const __m256i all = _mm256_add_epi16(_mm256_add_epi16(t, m), b);
    Store8(even, _mm256_sub_epi16(all, _mm256_slli_epi16(o, 8)));
    Store8(odd, o);
}

// Eight output pixels from the three-column sums of their columns and the centre pixels at `mid`.
// All nine neighbours exist: (all nine) + (centre - 1) * centre pixel <= 14790 fits the 16-bit
// lanes, and each quotient is at most 255. The quotients of blue and red land in bytes 0 and 2;
// green's is moved up into byte 1 (its lane's low byte gets bits that the blend drops). The
// destination's fourth bytes come in as the last blend's second source, which the instruction
// reads straight from memory: one instruction fewer than a load of its own.
PELTO_AVX2 inline void Finish8(__m256i e, __m256i o, const RGBX* mid, const BlurConstants& k,
                               RGBX* out) {
    const __m256i m = Load8(mid);
    e = _mm256_add_epi16(e, _mm256_maddubs_epi16(m, k.centreEven));
    o = _mm256_add_epi16(o, _mm256_maddubs_epi16(m, k.centreOdd));
    const __m256i blueRed = _mm256_srl_epi16(_mm256_mulhi_epu16(e, k.mul), k.shift);
    const __m256i green = _mm256_sll_epi16(_mm256_mulhi_epu16(o, k.mul), k.shiftUp);
    const __m256i bytes = _mm256_blendv_epi8(blueRed, green, k.green);
    Store8(out, _mm256_blendv_epi8(bytes, Load8(out), k.fourth));
}

// Eight output pixels from the column sums starting at the column left of them.
PELTO_AVX2 inline void BlurPixels8(const uint32_t* even, const uint32_t* odd, const RGBX* mid,
                                   const BlurConstants& k, RGBX* out) {
    const __m256i e =
        _mm256_add_epi16(_mm256_add_epi16(Load8(even), Load8(even + 1)), Load8(even + 2));
    const __m256i o =
        _mm256_add_epi16(_mm256_add_epi16(Load8(odd), Load8(odd + 1)), Load8(odd + 2));
    Finish8(e, o, mid, k, out);
}

// The three-column sums of sixteen columns whose own sums start at `at`: the two blocks' own
// sums, the column before them and the one after them loaded, and the two columns between the
// blocks moved over from the blocks (shuffles, where loads would be the busier part).
PELTO_AVX2 inline void SumThree16(const uint32_t* at, __m256i* first, __m256i* second) {
    const __m256i a = Load8(at), b = Load8(at + 8);
    const __m256i across = _mm256_permute2x128_si256(a, b, 0x21);
    *first = _mm256_add_epi16(_mm256_add_epi16(Load8(at - 1), a), _mm256_alignr_epi8(across, a, 4));
    *second =
        _mm256_add_epi16(_mm256_add_epi16(_mm256_alignr_epi8(b, across, 12), b), Load8(at + 9));
}

// Sixteen output pixels from the column sums of their own columns.
PELTO_AVX2 inline void BlurPixels16(const uint32_t* even, const uint32_t* odd, const RGBX* mid,
                                    const BlurConstants& k, RGBX* out) {
    __m256i e0, e1, o0, o1;
    SumThree16(even, &e0, &e1);
    SumThree16(odd, &o0, &o1);
    Finish8(e0, o0, mid, k, out);
    Finish8(e1, o1, mid + 8, k, out + 8);
}

// The sums of columns base .. to - 1 (to <= w, at least ten of them), sums[i] holding column
// base + i: blocks of eight from `base`, the first and the last moved inside the row where
// they would start before it or end past it (the same sums again).
PELTO_AVX2 inline void SumStrip(const RGBX* row, RGBX* out, int64_t w, int64_t base, int64_t to,
                                uint32_t* even, uint32_t* odd) {
    int64_t c = base;
    if (c < 0) {
        SumColumns8(row, w, even - base, odd - base);
        c += 8;
    }
    for (; c + 16 <= to; c += 16) {
        // The row below and the output, well ahead: the rows above were read for the rows
        // before, but these come from memory.
        _mm_prefetch(reinterpret_cast<const char*>(row + w + c + kPrefetchPixels), _MM_HINT_T0);
        _mm_prefetch(reinterpret_cast<const char*>(out + c + kPrefetchPixels), _MM_HINT_T0);
        SumColumns8(row + c, w, even + (c - base), odd + (c - base));
        SumColumns8(row + c + 8, w, even + (c + 8 - base), odd + (c + 8 - base));
    }
    for (; c < to; c += 8) {
        const int64_t at = c + 8 <= w ? c : w - 8;
        SumColumns8(row + at, w, even + (at - base), odd + (at - base));
    }
}

// Output columns lo .. hi - 1 (at least eight) from the sums of SumStrip: a block at lo, blocks on
// the grid after it (next, next + 8, ...), and the last moved back to end on hi - 1.
PELTO_AVX2 inline void BlurStrip(const RGBX* row, RGBX* out, int64_t base, int64_t lo, int64_t next,
                                 int64_t hi, const uint32_t* even, const uint32_t* odd,
                                 const BlurConstants& k) {
    BlurPixels8(even + (lo - 1 - base), odd + (lo - 1 - base), row + lo, k, out + lo);
    int64_t x = next;
    // Two rounds a loop: the loop's own counting is a part of what the processor has to issue.
#pragma GCC unroll 2
    for (; x + 16 <= hi; x += 16) {
        BlurPixels16(even + (x - base), odd + (x - base), row + x, k, out + x);
    }
    if (x + 8 <= hi) {
        BlurPixels8(even + (x - 1 - base), odd + (x - 1 - base), row + x, k, out + x);
        x += 8;
    }
    if (x < hi) {
        x = hi - 8;
        BlurPixels8(even + (x - 1 - base), odd + (x - 1 - base), row + x, k, out + x);
    }
}

}  // namespace

PELTO_AVX2 int64_t BlurInteriorRowAvx2(const RGBX* pSrc, int64_t w, int64_t y, int centre,
                                       int mulBy, int shiftBy, RGBX* pDst) {
    if (w < 10) return 1;
    BlurConstants k;
    const char c1 = static_cast<char>(centre - 1);
    k.centreEven = _mm256_set1_epi16(static_cast<short>(static_cast<uint8_t>(c1)));
    k.centreOdd = _mm256_set1_epi16(static_cast<short>(static_cast<uint8_t>(c1) << 8));
    k.mul = _mm256_set1_epi16(static_cast<short>(mulBy));
    k.green = _mm256_set1_epi32(0x0000FF00);
    k.fourth = _mm256_set1_epi32(static_cast<int>(0xFF000000u));
    k.shift = _mm_cvtsi32_si128(shiftBy);
    k.shiftUp = _mm_cvtsi32_si128(8 - shiftBy);
    // Eight columns more for the shift that lines the pairs up.
    alignas(64) uint32_t evenBuf[kSumColumns + 8], oddBuf[kSumColumns + 8];
    const RGBX* row = pSrc + y * w;
    RGBX* out = pDst + y * w;
    // The grid: the columns whose output starts a 32-byte line. Blocks on it load and store whole
    // lines of the output and (lying alike, as they usually do) of the source, and the sums of
    // their own columns from aligned places; a load across two cache lines costs about two.
    const int64_t grid = static_cast<int64_t>((0 - reinterpret_cast<uintptr_t>(out)) & 31) / 4;
    const auto down = [grid](int64_t c) { return c - ((c - grid) & 7); };
    for (int64_t lo = 1; lo < w - 1;) {
        int64_t hi = down(lo + kStripPixels);
        if (w - 1 - hi < 8) hi = w - 1;
        const int64_t base = down(lo - 1);
        // Each pair of blocks' sums starts in the second half of a cache line, so that the loads
        // one column to either side of the pair stay inside lines.
        const int64_t skip = (((down(lo) + 8 - base) >> 3) & 1) ? 0 : 8;
        uint32_t* even = evenBuf + skip;
        uint32_t* odd = oddBuf + skip;
        SumStrip(row, out, w, base, hi + 1, even, odd);
        BlurStrip(row, out, base, lo, down(lo) + 8, hi, even, odd, k);
        lo = hi;
    }
    return w - 1;
}

}  // namespace pelto_image
