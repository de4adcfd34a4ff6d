// The kernels of 512-bit vectors (AVX-512 F and BW): the blur's interior eight pixels a register
// (BlurAvx512.cpp), and turned and slanted runs with eight-lane doubles (WeightedSampleAvx512.cpp).
// Only filled where CpuHasAvx512Bw() and CpuHasAvx2() hold.
#include <cstdint>

#include "lib/image/BlurAvx512.h"
#include "lib/image/KernelsAvx2.h"
#include "lib/image/VectorKernels.h"
#include "lib/image/WeightedSample.h"

namespace pelto_image {

namespace {

// Rows too narrow for two blocks of eight take the 256-bit kernel.
int64_t BlurInteriorRowWide(const RGBX* pSrc, int64_t w, int64_t y, int centre, int mul, int shift,
                            RGBX* pDst) {
    if (w < 17) return BlurInteriorRowAvx2(pSrc, w, y, centre, mul, shift, pDst);
    return BlurInteriorRowAvx512(pSrc, w, y, centre, mul, shift, pDst);
}

}  // namespace

void FillKernelsAvx512(VectorKernels* pTable) {
    pTable->blur.interiorRow = BlurInteriorRowWide;
    pTable->turn.prefetchRun = PrefetchAroundRunAvx512;
    pTable->turn.sampleRun = SampleAroundRunAvx512;
}

}  // namespace pelto_image
