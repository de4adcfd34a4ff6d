// The interior of one blurred row with 256-bit integer vectors, eight pixels a register. Only
// call it where CpuHasAvx2() holds.
#pragma once

#include <cstdint>

#include "lib/image/Rgbx.h"

namespace pelto_image {

// Blurs columns 1 .. w - 2 of row y (0 < y < h - 1) with centre weight `centre`, the sum divided
// exactly as ((sum * mul) >> 16) >> shift. Keeps the destination's fourth bytes. Returns the
// first column it left: w - 1, or 1 for rows narrower than ten pixels, which it leaves alone.
int64_t BlurInteriorRowAvx2(const RGBX* pSrc, int64_t w, int64_t y, int centre, int mul, int shift,
                            RGBX* pDst);

}  // namespace pelto_image
