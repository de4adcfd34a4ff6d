// 3 x 3 neighbourhood filters: a weighted blur and a sharpening kernel that sums to 1.
#pragma once

#include "lib/image/ImageProcessor.h"

// Neighbours weigh 1, the centre 55 - 5 * strength; neighbours outside the picture are left out
// of both sums. Strength 0 copies. The destination's fourth byte is not written.
class PELTOLIB_API CImageBlurrer : public CImage32BitProcessor {
public:
    explicit CImageBlurrer(int nFactor = 5);  // clamped to 0..10
    int ProcessPixels(const RGBX* pSrc, CSize sizeSrc, RGBX* pDst, CSize sizeDst) override;

    int m_nFactor;
};

// Centre 2, edge neighbours -g, corner neighbours -g/e with e = 51 - 5 * strength, summed in
// double precision column by column, limited to 0..255 and truncated. The outermost rows and
// columns are copied whole; inside, the destination's fourth byte is not written. Strength 0
// copies.
class PELTOLIB_API CImageSharpener : public CImage32BitProcessor {
public:
    explicit CImageSharpener(int nFactor = 5);  // clamped to 0..10
    int ProcessPixels(const RGBX* pSrc, CSize sizeSrc, RGBX* pDst, CSize sizeDst) override;

    int m_nFactor;
};
