// The base of every pixel processor: a step that turns a W x H buffer of 32-bit pixels into a
// buffer of the size its CalcDestSize gives, plus the sub-pixel sampler the geometric steps share.
#pragma once

#include <cstdint>

#include "base/Geometry.h"
#include "lib/PeltoLibApi.h"
#include "lib/image/Rgbx.h"

// The largest picture (width x height, in pixels) that a processor chain may need a buffer for.
// A chain keeps two buffers of up to this size (512 MiB each); a chain whose size pass asks for
// more, or for a size that does not fit an int, is refused before anything is allocated.
constexpr int64_t kMaxImagePixels = int64_t(1) << 27;

class PELTOLIB_API CImage32BitProcessor {
public:
    explicit CImage32BitProcessor(int bSmooth = 0);
    virtual ~CImage32BitProcessor();

    // The output size for an input of the given size. A result that would not fit an int comes
    // back as 0 x 0, which every ProcessPixels and the chain refuse.
    virtual CSize CalcDestSize(CSize sizeSrc) const;

    // Reads the source and writes the destination, whose size must be CalcDestSize(sizeSrc); any
    // other size, a side of 0 or less or a null buffer is refused with 0. The default copies the
    // first sizeDst.cx * sizeDst.cy source pixels.
    virtual int ProcessPixels(const RGBX* pSrc, CSize sizeSrc, RGBX* pDst, CSize sizeDst);

    // The colour at source position (x, y): the mean of the horizontal interpolation towards the
    // right neighbour and the vertical one towards the neighbour below. A position at or past the
    // last column or row (rounding can put one there) is read at that column or row, with the value
    // the interpolation approaches from below.
    RGBX CalcWeightedColor(const RGBX* pSrc, CSize sizeSrc, double x, double y) const;

    int m_bSmooth;

protected:
    // The shared refusal rule of ProcessPixels.
    static bool IsValidCall(const RGBX* pSrc, CSize sizeSrc, const RGBX* pDst, CSize sizeDst,
                            CSize sizeExpected);
    // The plain copy that every processor falls back on when its parameters make it a no-op.
    static void CopyPixels(const RGBX* pSrc, RGBX* pDst, CSize size);
};
