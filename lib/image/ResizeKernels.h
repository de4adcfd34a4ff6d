// The pixel loops of the resizer, apart from its parameter checks.
#pragma once

#include <cstdint>

#include "lib/image/Rgbx.h"

namespace pelto_image {

// Each destination pixel is the interpolated colour at (c * step, r * step), both positions
// accumulated by repeated addition.
void EnlargePixels(const RGBX* pSrc, int64_t w, int64_t h, RGBX* pDst, int64_t dw, int64_t dh,
                   double step);

// Each destination pixel is the truncated mean of its box of source pixels; the fourth byte of
// the destination is kept.
void ShrinkPixels(const RGBX* pSrc, int64_t w, int64_t h, RGBX* pDst, int64_t dw, int64_t dh,
                  double step);

}  // namespace pelto_image
