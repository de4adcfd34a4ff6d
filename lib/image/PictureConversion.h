// The engine's GDI+ images are made straight from the processed 32-bit pixels: the picture as
// 24-bit rows, and the preview's thumbnail as box averages. Both split their rows among the row
// workers; neither depends on how many there are.
#pragma once

#include <cstdint>

#include "lib/PeltoLibApi.h"
#include "lib/image/Rgbx.h"

namespace pelto_image {

// Bytes in a row of a 24-bit picture w pixels wide: rows start on 4-byte boundaries.
inline int64_t Stride24(int64_t w) { return (w * 3 + 3) & ~int64_t(3); }

// Writes blue, green and red of every pixel of the w x h picture as rows dstStride bytes apart;
// the padding at the end of a row is set to 0.
PELTOLIB_API void ConvertTo24Bit(const RGBX* pSrc, int64_t w, int64_t h, uint8_t* pDst,
                                 int64_t dstStride);

// Shrinks w x h to dw x dh (1 <= dw <= w, 1 <= dh <= h): destination column j is the mean of
// source columns [j * w / dw, (j + 1) * w / dw), a row likewise, for each of the four bytes,
// rounded to the nearest value. Every source pixel counts towards exactly one destination pixel.
// Destination rows are dstStride bytes apart.
PELTOLIB_API void BoxAverage(const RGBX* pSrc, int64_t w, int64_t h, RGBX* pDst, int64_t dw,
                             int64_t dh, int64_t dstStride);

}  // namespace pelto_image
