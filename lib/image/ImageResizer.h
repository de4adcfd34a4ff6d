// Scaling a picture by a factor: interpolated enlargement, box-averaged reduction.
#pragma once

#include "lib/image/ImageProcessor.h"

class PELTOLIB_API CImageResizer : public CImage32BitProcessor {
public:
    explicit CImageResizer(double dFactor);

    // trunc(W * factor) x trunc(H * factor); 0 x 0 when that does not fit an int (NaN included).
    CSize CalcDestSize(CSize sizeSrc) const override;
    // Fails for a factor of 0 or less (its size is refused before anything is read anyway).
    int ProcessPixels(const RGBX* pSrc, CSize sizeSrc, RGBX* pDst, CSize sizeDst) override;

    double m_dFactor;

protected:
    int Enlarge(const RGBX* pSrc, CSize sizeSrc, RGBX* pDst, CSize sizeDst);
    int Shrink(const RGBX* pSrc, CSize sizeSrc, RGBX* pDst, CSize sizeDst);
};
