// The interior of one blurred row with 512-bit vectors, eight pixels (32 16-bit channels) at a
// time. Only call it where CpuHasAvx512Bw() holds.
#pragma once

#include <cstdint>

#include "lib/image/Rgbx.h"

namespace pelto_image {

// Blurs columns 1 .. w - 2 of row y (0 < y < h - 1, w >= 10) with centre weight `centre`, the
// sum divided exactly as ((sum * mul) >> 16) >> shift. Keeps the destination's fourth bytes.
// Returns w - 1, the first column it left.
int64_t BlurInteriorRowAvx512(const RGBX* pSrc, int64_t w, int64_t y, int centre, int mul,
                              int shift, RGBX* pDst);

}  // namespace pelto_image
