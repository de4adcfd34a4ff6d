// The coordinate and size types of the pixel code, with no platform header behind them, so the
// portable core builds the same on Windows and natively. The framework's point and rectangle, and
// every conversion to and from the platform's POINT, SIZE and RECT, build on these in
// framework/Geometry.h.
#pragma once

#include <cstdint>

#ifdef _WIN32
// The platform's LONG, spelt without its header; framework/Geometry.h checks that they agree.
typedef long FxCoord;
#else
typedef int32_t FxCoord;
#endif

static_assert(sizeof(FxCoord) == 4, "sizes and coordinates are 32-bit on every platform");

// Same fields, in the same order, as the platform's SIZE.
struct FxSizeBase {
    FxCoord cx;
    FxCoord cy;
};

class CSize : public FxSizeBase {
public:
    CSize() { cx = cy = 0; }
    CSize(FxCoord nx, FxCoord ny) {
        cx = nx;
        cy = ny;
    }
    bool operator==(const CSize& o) const { return cx == o.cx && cy == o.cy; }
    bool operator!=(const CSize& o) const { return !(*this == o); }
    CSize operator+(const CSize& o) const { return CSize(cx + o.cx, cy + o.cy); }
    CSize operator-(const CSize& o) const { return CSize(cx - o.cx, cy - o.cy); }
};
