// Turning a picture by an angle on a canvas that holds all of it.
#pragma once

#include "lib/image/ImageProcessor.h"

class PELTOLIB_API CImageRotator : public CImage32BitProcessor {
public:
    // Whole degrees, reduced into 0..359; 0 (and every whole turn) is no rotation at all.
    CImageRotator(int nDegrees, int bSmooth);
    // Radians, brought into (0, 2*pi]: 0 is a full turn. An infinite or NaN angle is kept as NaN
    // and refused by CalcDestSize (0 x 0) and ProcessPixels (0).
    explicit CImageRotator(double dRadians);

    CSize CalcDestSize(CSize sizeSrc) const override;
    int ProcessPixels(const RGBX* pSrc, CSize sizeSrc, RGBX* pDst, CSize sizeDst) override;

    double m_dAngle;

private:
    CSize RotatedSize(CSize sizeSrc) const;
};
