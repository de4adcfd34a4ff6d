// Slanting a picture sideways and/or downwards on a canvas enlarged by the two amounts.
#pragma once

#include "lib/image/ImageProcessor.h"

class PELTOLIB_API CImageShearer : public CImage32BitProcessor {
public:
    CImageShearer(int nAcross, int nDown, int bSmooth);

    CSize CalcDestSize(CSize sizeSrc) const override;
    int ProcessPixels(const RGBX* pSrc, CSize sizeSrc, RGBX* pDst, CSize sizeDst) override;

    int m_nAcross;
    int m_nDown;
};
