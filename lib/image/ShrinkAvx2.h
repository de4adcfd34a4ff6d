// The 256-bit reduction to one half. Only call it where CpuHasAvx2() holds.
#pragma once

#include <cstdint>

#include "lib/image/Rgbx.h"

namespace pelto_image {

// ShrinkKernels::pairMeans, eight pixels at a time.
void PairMeansAvx2(const RGBX* row0, const RGBX* row1, int64_t n, RGBX* out);

}  // namespace pelto_image
