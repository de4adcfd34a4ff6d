// The row functions of the pixel processors, one table per processor, filled once for the
// widest vectors the processor and the chosen level allow: a processor asks Kernels() for its
// table and never looks at the level itself. Every entry gives the same bits as the plain loop.
//
// Each level's kernels live in files of their own (KernelsSse2.cpp, KernelsAvx.cpp,
// KernelsAvx2.cpp, KernelsAvx512.cpp and the files they name), whose fill function overwrites the
// entries that level does better than the one below it.
#pragma once

#include <cstddef>
#include <cstdint>

#include "lib/image/Rgbx.h"
#include "lib/image/SharpenRows.h"

namespace pelto_image {

// Each does the whole run of n pixels.
struct ColourKernels {
    void (*grey)(const RGBX* pSrc, RGBX* pDst, size_t n);
    // Keeps the destination's fourth bytes.
    void (*negate)(const RGBX* pSrc, RGBX* pDst, size_t n);
    // from and to are pixel values (blue in the low byte), from without its fourth byte.
    void (*replace)(const RGBX* pSrc, RGBX* pDst, size_t n, uint32_t from, uint32_t to);
};

struct FlipKernels {
    // Writes in[0 .. w) to out[w - 1 .. 0]. With bStream (only where streams is set) the stores
    // bypass the caches, and the caller fences once after the last row.
    void (*reverseRow)(const RGBX* in, RGBX* out, int64_t w, bool bStream);
    bool streams;
};

struct BlurKernels {
    // Blurs the interior of row y (0 < y < h - 1) from column 1 on, the sum of the nine
    // neighbours plus (centre - 1) times the centre divided as ((sum * mul) >> 16) >> shift;
    // keeps the destination's fourth bytes. Returns the first column it left for the border
    // loop.
    int64_t (*interiorRow)(const RGBX* pSrc, int64_t w, int64_t y, int centre, int mul, int shift,
                           RGBX* pDst);
};

struct SharpenKernels {
    // Sharpens n interior pixels of a strip: srcTop is the pixel above and left of the first,
    // top/mid/bot its three rows as doubles, flat the result of a neighbourhood of one value.
    void (*interiorStrip)(const RGBX* srcTop, int64_t w, const PlanarRow& top, const PlanarRow& mid,
                          const PlanarRow& bot, int64_t n, const SharpenKernel& kn,
                          const uint8_t* flat, RGBX* out);
};

struct ShrinkKernels {
    // n pixels of a reduction to one half: out[k] is the mean of the 2 x 2 box at columns 2k and
    // 2k + 1 of row0 and row1 (the sum shifted right by two); keeps the destination's fourth bytes.
    void (*pairMeans)(const RGBX* row0, const RGBX* row1, int64_t n, RGBX* out);
};

// Turned and slanted runs: the rotator walks tiles of kTurnGroup rows by kTurnStrip columns.
constexpr int64_t kTurnStrip = 64;
constexpr int64_t kTurnGroup = 4;

// Null entries: the level has no such kernel and the processor walks the positions itself.
struct TurnKernels {
    // Advances kTurnGroup rows of positions by cols columns, one addition per column and row.
    void (*advanceGroup)(double* pX, double* pY, double c, double ns, int64_t cols,
                         double (*qx)[kTurnStrip], double (*qy)[kTurnStrip]);
    // Asks for the source lines sampleRun will read for these positions.
    void (*prefetchRun)(const RGBX* pSrc, int64_t w, int64_t h, int64_t cw, int64_t ch,
                        const double* Xs, const double* Ys, int64_t n);
    // The weighted samples of a run from its positions relative to a source point (cw, ch);
    // positions whose truncation falls off the source leave the destination alone.
    void (*sampleRun)(const RGBX* pSrc, int64_t w, int64_t h, int64_t cw, int64_t ch,
                      const double* Xs, const double* Ys, int64_t n, RGBX* pOut);
    // The same with the nearest pixel.
    void (*nearestRun)(const RGBX* pSrc, int64_t w, int64_t h, int64_t cw, int64_t ch,
                       const double* Xs, const double* Ys, int64_t n, RGBX* pOut);
};

struct VectorKernels {
    ColourKernels colour;
    FlipKernels flip;
    BlurKernels blur;
    SharpenKernels sharpen;
    ShrinkKernels shrink;
    TurnKernels turn;
};

// The table for the level in force (SetVectorLevel), filled at its first use.
const VectorKernels& Kernels();

// Each level's entries; a fill leaves alone what its level does not do better.
void FillKernelsSse2(VectorKernels* pTable);
void FillKernelsAvx(VectorKernels* pTable);
void FillKernelsAvx2(VectorKernels* pTable);
void FillKernelsAvx512(VectorKernels* pTable);

}  // namespace pelto_image
