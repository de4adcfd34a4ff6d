// Filling a pixel buffer with one colour, the way the chain driver clears it between steps.
#pragma once

#include <cstdint>

#include "base/Geometry.h"
#include "lib/PeltoLibApi.h"
#include "lib/image/Rgbx.h"

// Sets size.cx * size.cy pixels to the COLORREF clr. White (and 0xFFFFFFFF, "no background")
// sets every byte to 0xFF, the fourth included; any other colour gets a fourth byte of 0.
// Returns 0 for a null buffer or a negative side; a side of 0 writes nothing and returns 1.
PELTOLIB_API int FillPixels(RGBX* pPixels, CSize size, uint32_t clr);
