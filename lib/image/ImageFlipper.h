// Mirroring a picture left to right and/or top to bottom.
#pragma once

#include "lib/image/ImageProcessor.h"

class PELTOLIB_API CImageFlipper : public CImage32BitProcessor {
public:
    CImageFlipper(int bHorz, int bVert);

    int ProcessPixels(const RGBX* pSrc, CSize sizeSrc, RGBX* pDst, CSize sizeDst) override;

    int m_bHorz;
    int m_bVert;
};
