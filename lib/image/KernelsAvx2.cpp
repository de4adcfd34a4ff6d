// The kernels of 256-bit integer vectors (AVX2): grey, negation, colour replacement and
// mirroring eight pixels at a time, the blur's interior (BlurAvx2.cpp), and nearest-pixel samples
// by gathers. Each hands what is left to the 128-bit kernels or the caller's border
// loop. Only filled where CpuHasAvx2() holds.
#include "lib/image/KernelsAvx2.h"

#include <immintrin.h>

#include "lib/image/KernelsSse2.h"
#include "lib/image/MemoryHints.h"
#include "lib/image/ShrinkAvx2.h"
#include "lib/image/VectorKernels.h"
#include "lib/image/WeightedSample.h"

namespace pelto_image {

namespace {

#define PELTO_AVX2 __attribute__((target("avx2")))

PELTO_AVX2 inline __m256i Load8(const RGBX* p) {
    return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
}

PELTO_AVX2 inline void Store8(RGBX* p, __m256i v) {
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), v);
}

// These four return how many pixels they did (a multiple of eight, or the whole row when
// streaming).
PELTO_AVX2 size_t GreyPixelsAvx2(const RGBX* pSrc, RGBX* pDst, size_t n) {
    // Byte products b*1 + g*6 and r*3 + x*0 as 16-bit pairs, then the pair sum as a 32-bit lane:
    // 3r + 6g + b <= 2550, where x / 10 == (x * 6554) >> 16; the lane's high half stays 0.
    const __m256i weights = _mm256_set1_epi32(0x00030601);
    const __m256i ones = _mm256_set1_epi16(1);
    const __m256i tenth = _mm256_set1_epi32(6554);
    const __m256i spread = _mm256_setr_epi8(0, 0, 0, -1, 4, 4, 4, -1, 8, 8, 8, -1, 12, 12, 12, -1,
                                            0, 0, 0, -1, 4, 4, 4, -1, 8, 8, 8, -1, 12, 12, 12, -1);
    size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        const __m256i pairs = _mm256_maddubs_epi16(Load8(pSrc + i), weights);
        const __m256i sum = _mm256_madd_epi16(pairs, ones);
        const __m256i grey = _mm256_mulhi_epu16(sum, tenth);
        Store8(pDst + i, _mm256_shuffle_epi8(grey, spread));
    }
    return i;
}

PELTO_AVX2 size_t NegatePixelsAvx2(const RGBX* pSrc, RGBX* pDst, size_t n) {
    const __m256i rgb = _mm256_set1_epi32(0x00FFFFFF);
    size_t i = 0;
    // ~src in the three channels, the old fourth byte: ((src ^ old) & rgb) ^ old ^ rgb. Two
    // vectors a round keep more reads of both buffers in flight.
    for (; i + 16 <= n; i += 16) {
        _mm_prefetch(reinterpret_cast<const char*>(pSrc + i + kPrefetchPixels), _MM_HINT_T0);
        _mm_prefetch(reinterpret_cast<const char*>(pDst + i + kPrefetchPixels), _MM_HINT_T0);
        const __m256i old0 = Load8(pDst + i), old1 = Load8(pDst + i + 8);
        const __m256i mixed0 = _mm256_and_si256(_mm256_xor_si256(Load8(pSrc + i), old0), rgb);
        const __m256i mixed1 = _mm256_and_si256(_mm256_xor_si256(Load8(pSrc + i + 8), old1), rgb);
        Store8(pDst + i, _mm256_xor_si256(_mm256_xor_si256(mixed0, old0), rgb));
        Store8(pDst + i + 8, _mm256_xor_si256(_mm256_xor_si256(mixed1, old1), rgb));
    }
    for (; i + 8 <= n; i += 8) {
        const __m256i old = Load8(pDst + i);
        const __m256i mixed = _mm256_and_si256(_mm256_xor_si256(Load8(pSrc + i), old), rgb);
        Store8(pDst + i, _mm256_xor_si256(_mm256_xor_si256(mixed, old), rgb));
    }
    return i;
}

PELTO_AVX2 size_t ReplacePixelsAvx2(const RGBX* pSrc, RGBX* pDst, size_t n, uint32_t from,
                                    uint32_t to) {
    const __m256i rgb = _mm256_set1_epi32(0x00FFFFFF);
    const __m256i vFrom = _mm256_set1_epi32(static_cast<int>(from));
    const __m256i vTo = _mm256_set1_epi32(static_cast<int>(to));
    size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        const __m256i v = Load8(pSrc + i);
        const __m256i hit = _mm256_cmpeq_epi32(_mm256_and_si256(v, rgb), vFrom);
        Store8(pDst + i, _mm256_blendv_epi8(v, vTo, hit));
    }
    return i;
}

PELTO_AVX2 size_t ReverseRowAvx2(const RGBX* in, RGBX* out, size_t w, bool bStream) {
    const __m256i reverse = _mm256_setr_epi32(7, 6, 5, 4, 3, 2, 1, 0);
    size_t x = 0;
    if (bStream) {
        // Reads go front to back; after a few single pixels every store is a whole aligned
        // vector, written back to front past the caches.
        for (; x < w && (reinterpret_cast<uintptr_t>(out + w - x) & 31) != 0; ++x)
            out[w - 1 - x] = in[x];
        if ((reinterpret_cast<uintptr_t>(out + w - x) & 31) == 0) {
            for (; x + 32 <= w; x += 32) {
                const __m256i a = Load8(in + x), b = Load8(in + x + 8);
                const __m256i c = Load8(in + x + 16), d = Load8(in + x + 24);
                __m256i* to = reinterpret_cast<__m256i*>(out + w - x);
                _mm256_stream_si256(to - 1, _mm256_permutevar8x32_epi32(a, reverse));
                _mm256_stream_si256(to - 2, _mm256_permutevar8x32_epi32(b, reverse));
                _mm256_stream_si256(to - 3, _mm256_permutevar8x32_epi32(c, reverse));
                _mm256_stream_si256(to - 4, _mm256_permutevar8x32_epi32(d, reverse));
            }
        }
        for (; x < w; ++x) out[w - 1 - x] = in[x];
        return w;
    }
    // Four loads ahead of four stores keep the reads streaming while the writes walk backwards.
    for (; x + 32 <= w; x += 32) {
        const __m256i a = Load8(in + x), b = Load8(in + x + 8);
        const __m256i c = Load8(in + x + 16), d = Load8(in + x + 24);
        Store8(out + w - 8 - x, _mm256_permutevar8x32_epi32(a, reverse));
        Store8(out + w - 16 - x, _mm256_permutevar8x32_epi32(b, reverse));
        Store8(out + w - 24 - x, _mm256_permutevar8x32_epi32(c, reverse));
        Store8(out + w - 32 - x, _mm256_permutevar8x32_epi32(d, reverse));
    }
    for (; x + 8 <= w; x += 8)
        Store8(out + w - 8 - x, _mm256_permutevar8x32_epi32(Load8(in + x), reverse));
    return x;
}

// TurnKernels::nearestRun, eight positions at a time with gathers.
PELTO_AVX2 void NearestAroundRunAvx2(const RGBX* pSrc, int64_t w, int64_t h, int64_t cw, int64_t ch,
                                     const double* Xs, const double* Ys, int64_t n, RGBX* pOut) {
    OnSourceTest8 onSource;
    MakeOnSourceTest8(w, h, cw, ch, &onSource);
    const __m256i vcw = _mm256_set1_epi32(static_cast<int32_t>(cw));
    const __m256i vch = _mm256_set1_epi32(static_cast<int32_t>(ch));
    const __m256i vw = _mm256_set1_epi32(static_cast<int32_t>(w));
    const int* base = reinterpret_cast<const int*>(pSrc);
    int64_t j = 0;
    for (; j + 8 <= n; j += 8) {
        const __m256i ix = _mm256_setr_m128i(_mm256_cvttpd_epi32(_mm256_loadu_pd(Xs + j)),
                                             _mm256_cvttpd_epi32(_mm256_loadu_pd(Xs + j + 4)));
        const __m256i iy = _mm256_setr_m128i(_mm256_cvttpd_epi32(_mm256_loadu_pd(Ys + j)),
                                             _mm256_cvttpd_epi32(_mm256_loadu_pd(Ys + j + 4)));
        const __m256i on = OnSource8(onSource, ix, iy);
        if (_mm256_testz_si256(on, on)) continue;
        // Pixel indexes fit 32 bits (no picture has more than 2^27 pixels); lanes off the source
        // are neither read nor written.
        const __m256i index = _mm256_add_epi32(_mm256_mullo_epi32(_mm256_add_epi32(iy, vch), vw),
                                               _mm256_add_epi32(ix, vcw));
        const __m256i pixels =
            _mm256_mask_i32gather_epi32(_mm256_setzero_si256(), base, index, on, 4);
        _mm256_maskstore_epi32(reinterpret_cast<int*>(pOut + j), on, pixels);
    }
    for (; j < n; ++j) {
        const int64_t ix = static_cast<int64_t>(Xs[j]), iy = static_cast<int64_t>(Ys[j]);
        if (ix < -cw || ix >= w - cw || iy < -ch || iy >= h - ch) continue;
        pOut[j] = pSrc[(iy + ch) * w + ix + cw];
    }
}

// The runs of whole vectors, then the 128-bit kernels for the rest.
void GreyRunAvx2(const RGBX* pSrc, RGBX* pDst, size_t n) {
    const size_t i = GreyPixelsAvx2(pSrc, pDst, n);
    GreyPixelsSse2(pSrc + i, pDst + i, n - i);
}

void NegateRunAvx2(const RGBX* pSrc, RGBX* pDst, size_t n) {
    const size_t i = NegatePixelsAvx2(pSrc, pDst, n);
    NegatePixelsSse2(pSrc + i, pDst + i, n - i);
}

void ReplaceRunAvx2(const RGBX* pSrc, RGBX* pDst, size_t n, uint32_t from, uint32_t to) {
    const size_t i = ReplacePixelsAvx2(pSrc, pDst, n, from, to);
    ReplacePixelsSse2(pSrc + i, pDst + i, n - i, from, to);
}

// in[x .. w) still goes to out[0 .. w - x).
void ReverseWholeRowAvx2(const RGBX* in, RGBX* out, int64_t w, bool bStream) {
    const int64_t x =
        static_cast<int64_t>(ReverseRowAvx2(in, out, static_cast<size_t>(w), bStream));
    if (x < w) ReverseRowSse2(in + x, out, w - x, false);
}

}  // namespace

void FillKernelsAvx2(VectorKernels* pTable) {
    pTable->colour = ColourKernels{GreyRunAvx2, NegateRunAvx2, ReplaceRunAvx2};
    pTable->flip = FlipKernels{ReverseWholeRowAvx2, true};
    pTable->blur.interiorRow = BlurInteriorRowAvx2;
    pTable->turn.nearestRun = NearestAroundRunAvx2;
    pTable->turn.prefetchRun = PrefetchAroundRunAvx2;
    pTable->turn.sampleRun = SampleAroundRunAvx2;
    pTable->shrink.pairMeans = PairMeansAvx2;
}

}  // namespace pelto_image
