// The kernels of four-lane doubles (AVX): sharpening, and the positions and samples of turned
// and slanted runs (WeightedSampleAvx.cpp). Multiplications and additions stay separate
// instructions in the scalar order (no fused multiply-add is enabled), so every lane gives the
// bits of the narrower paths. Only filled where CpuHasAvx() holds.
#include <immintrin.h>

#include <cstdint>
#include <cstring>

#include "lib/image/KernelsSse2.h"
#include "lib/image/VectorKernels.h"
#include "lib/image/WeightedSample.h"

namespace pelto_image {

namespace {

#define PELTO_AVX __attribute__((target("avx")))

inline __m128i Load4(const RGBX* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }

// Four pixels at a time, then the two-lane loop for the rest of the strip.
PELTO_AVX void SharpenStripAvx(const RGBX* srcTop, int64_t w, const PlanarRow& top,
                               const PlanarRow& mid, const PlanarRow& bot, int64_t n,
                               const SharpenKernel& kn, const uint8_t* flat, RGBX* out) {
    const __m256d edge = _mm256_set1_pd(kn.edge), corner = _mm256_set1_pd(kn.corner);
    const __m256d two = _mm256_set1_pd(2.0), zero = _mm256_setzero_pd(),
                  limit = _mm256_set1_pd(255.0);
    const __m128i rgb = _mm_set1_epi32(0x00FFFFFF);
    int64_t k = 0;
    for (; k + 4 <= n; k += 4) {
        // Columns k .. k + 5 of the three rows: all one colour comes out of the table.
        uint32_t first;
        std::memcpy(&first, srcTop + w + k + 1, 4);
        const __m128i centre = _mm_and_si128(_mm_set1_epi32(static_cast<int>(first)), rgb);
        __m128i same = _mm_set1_epi32(-1);
        for (int64_t r = 0; r < 3; ++r) {
            const __m128i a = Load4(srcTop + r * w + k), b = Load4(srcTop + r * w + k + 2);
            same = _mm_and_si128(same, _mm_cmpeq_epi32(_mm_and_si128(a, rgb), centre));
            same = _mm_and_si128(same, _mm_cmpeq_epi32(_mm_and_si128(b, rgb), centre));
        }
        const __m128i old = _mm_loadu_si128(reinterpret_cast<const __m128i*>(out + k));
        __m128i bits;
        if (_mm_movemask_epi8(same) == 0xFFFF) {
            const uint32_t v = static_cast<uint32_t>(_mm_cvtsi128_si32(centre));
            bits = _mm_set1_epi32(static_cast<int>(flat[v & 0xFF] |
                                                   (uint32_t(flat[(v >> 8) & 0xFF]) << 8) |
                                                   (uint32_t(flat[v >> 16]) << 16)));
        } else {
            __m128i ch[3];
            for (int c = 0; c < 3; ++c) {
                const double* t = top.c[c] + k;
                const double* m = mid.c[c] + k;
                const double* b = bot.c[c] + k;
                __m256d sum = _mm256_mul_pd(corner, _mm256_loadu_pd(t));
                sum = _mm256_add_pd(sum, _mm256_mul_pd(edge, _mm256_loadu_pd(m)));
                sum = _mm256_add_pd(sum, _mm256_mul_pd(corner, _mm256_loadu_pd(b)));
                sum = _mm256_add_pd(sum, _mm256_mul_pd(edge, _mm256_loadu_pd(t + 1)));
                sum = _mm256_add_pd(sum, _mm256_mul_pd(two, _mm256_loadu_pd(m + 1)));
                sum = _mm256_add_pd(sum, _mm256_mul_pd(edge, _mm256_loadu_pd(b + 1)));
                sum = _mm256_add_pd(sum, _mm256_mul_pd(corner, _mm256_loadu_pd(t + 2)));
                sum = _mm256_add_pd(sum, _mm256_mul_pd(edge, _mm256_loadu_pd(m + 2)));
                sum = _mm256_add_pd(sum, _mm256_mul_pd(corner, _mm256_loadu_pd(b + 2)));
                ch[c] = _mm256_cvttpd_epi32(_mm256_min_pd(_mm256_max_pd(sum, zero), limit));
            }
            bits = _mm_or_si128(ch[0],
                                _mm_or_si128(_mm_slli_epi32(ch[1], 8), _mm_slli_epi32(ch[2], 16)));
        }
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + k),
                         _mm_or_si128(bits, _mm_andnot_si128(rgb, old)));
    }
    SharpenColumnsSse2(srcTop, w, top, mid, bot, k, n, kn, flat, out);
}

// A whole group of rows with four-lane doubles: one lane per row, the same additions in the same
// order as one row at a time, and every four columns turned around (4 x 4) so that each row's
// positions are stored four at a time.
PELTO_AVX void AdvanceGroupAvx(double* pX, double* pY, double c, double ns, int64_t cols,
                               double (*qx)[kTurnStrip], double (*qy)[kTurnStrip]) {
    __m256d X = _mm256_loadu_pd(pX), Y = _mm256_loadu_pd(pY);
    const __m256d vc = _mm256_set1_pd(c), vns = _mm256_set1_pd(ns);
    int64_t j = 0;
    for (; j + 4 <= cols; j += 4) {
        __m256d x[4], y[4];
        for (int k = 0; k < 4; ++k) {
            X = _mm256_add_pd(X, vc);
            Y = _mm256_add_pd(Y, vns);
            x[k] = X;
            y[k] = Y;
        }
        // x[k] holds column j + k of rows 0..3; t[r] gets row r of columns j..j + 3.
        for (int axis = 0; axis < 2; ++axis) {
            const __m256d* v = axis == 0 ? x : y;
            double(*q)[kTurnStrip] = axis == 0 ? qx : qy;
            const __m256d a = _mm256_unpacklo_pd(v[0], v[1]);  // r0c0 r0c1 r2c0 r2c1
            const __m256d b = _mm256_unpackhi_pd(v[0], v[1]);  // r1c0 r1c1 r3c0 r3c1
            const __m256d e = _mm256_unpacklo_pd(v[2], v[3]);  // r0c2 r0c3 r2c2 r2c3
            const __m256d f = _mm256_unpackhi_pd(v[2], v[3]);  // r1c2 r1c3 r3c2 r3c3
            _mm256_storeu_pd(q[0] + j, _mm256_permute2f128_pd(a, e, 0x20));
            _mm256_storeu_pd(q[1] + j, _mm256_permute2f128_pd(b, f, 0x20));
            _mm256_storeu_pd(q[2] + j, _mm256_permute2f128_pd(a, e, 0x31));
            _mm256_storeu_pd(q[3] + j, _mm256_permute2f128_pd(b, f, 0x31));
        }
    }
    double xs[kTurnGroup], ys[kTurnGroup];
    _mm256_storeu_pd(xs, X);
    _mm256_storeu_pd(ys, Y);
    for (; j < cols; ++j) {
        for (int64_t k = 0; k < kTurnGroup; ++k) {
            xs[k] += c;
            ys[k] += ns;
            qx[k][j] = xs[k];
            qy[k][j] = ys[k];
        }
    }
    for (int64_t k = 0; k < kTurnGroup; ++k) {
        pX[k] = xs[k];
        pY[k] = ys[k];
    }
}

}  // namespace

void FillKernelsAvx(VectorKernels* pTable) {
    pTable->sharpen.interiorStrip = SharpenStripAvx;
    pTable->turn.advanceGroup = AdvanceGroupAvx;
    pTable->turn.prefetchRun = PrefetchAroundRunAvx;
    pTable->turn.sampleRun = SampleAroundRunAvx;
}

}  // namespace pelto_image
