// Processors that change each pixel on its own: grey levels, negation, replacing one colour.
#pragma once

#include <cstdint>

#include "lib/image/ImageProcessor.h"

// grey = (3 red + 6 green + blue) / 10, truncated, into all three channels; fourth byte 0.
class PELTOLIB_API CImageGrayer : public CImage32BitProcessor {
public:
    CImageGrayer();
    int ProcessPixels(const RGBX* pSrc, CSize sizeSrc, RGBX* pDst, CSize sizeDst) override;
};

// 255 minus each channel. The destination's fourth byte is not written.
class PELTOLIB_API CImageNegator : public CImage32BitProcessor {
public:
    CImageNegator();
    int ProcessPixels(const RGBX* pSrc, CSize sizeSrc, RGBX* pDst, CSize sizeDst) override;
};

// Pixels whose three channels equal m_clrFrom become m_clrTo (fourth byte 0); the others are
// copied whole. Both colours are COLORREFs.
class PELTOLIB_API CImageColorReplacer : public CImage32BitProcessor {
public:
    CImageColorReplacer(uint32_t clrFrom, uint32_t clrTo);
    int ProcessPixels(const RGBX* pSrc, CSize sizeSrc, RGBX* pDst, CSize sizeDst) override;

    uint32_t m_clrFrom;
    uint32_t m_clrTo;
};
