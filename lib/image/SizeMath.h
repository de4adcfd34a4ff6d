// Output sizes are worked out in 64 bits; one that does not fit the int of a CSize becomes 0 x 0,
// the size every step and the chain refuse.
#pragma once

#include <climits>
#include <cstdint>

#include "base/Geometry.h"

namespace pelto_image {

inline CSize MakeDestSize(int64_t w, int64_t h) {
    if (w > INT_MAX || w < INT_MIN || h > INT_MAX || h < INT_MIN) return CSize(0, 0);
    return CSize(static_cast<FxCoord>(w), static_cast<FxCoord>(h));
}

// trunc(v) when it fits an int; `*pOk` turns false otherwise (NaN included).
inline int64_t TruncToInt(double v, bool* pOk) {
    if (v > -2147483649.0 && v < 2147483648.0) return static_cast<int64_t>(v);
    *pOk = false;
    return 0;
}

}  // namespace pelto_image
