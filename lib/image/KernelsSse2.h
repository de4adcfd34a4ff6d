// The 128-bit kernels, named so that the wider levels can hand them what is left of a run.
#pragma once

#include <cstddef>
#include <cstdint>

#include "lib/image/VectorKernels.h"

namespace pelto_image {

void GreyPixelsSse2(const RGBX* pSrc, RGBX* pDst, size_t n);
void NegatePixelsSse2(const RGBX* pSrc, RGBX* pDst, size_t n);
void ReplacePixelsSse2(const RGBX* pSrc, RGBX* pDst, size_t n, uint32_t from, uint32_t to);
void ReverseRowSse2(const RGBX* in, RGBX* out, int64_t w, bool bStream);
int64_t BlurInteriorRowSse2(const RGBX* pSrc, int64_t w, int64_t y, int centre, int mul, int shift,
                            RGBX* pDst);
// Columns first .. n - 1 of a sharpened strip.
void SharpenColumnsSse2(const RGBX* srcTop, int64_t w, const PlanarRow& top, const PlanarRow& mid,
                        const PlanarRow& bot, int64_t first, int64_t n, const SharpenKernel& kn,
                        const uint8_t* flat, RGBX* out);
void PairMeansSse2(const RGBX* row0, const RGBX* row1, int64_t n, RGBX* out);
void SharpenStripSse2(const RGBX* srcTop, int64_t w, const PlanarRow& top, const PlanarRow& mid,
                      const PlanarRow& bot, int64_t n, const SharpenKernel& kn, const uint8_t* flat,
                      RGBX* out);

}  // namespace pelto_image
