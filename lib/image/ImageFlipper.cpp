#include "lib/image/ImageFlipper.h"

#include <emmintrin.h>

#include <cstdint>
#include <cstring>

#include "lib/image/MemoryHints.h"
#include "lib/image/VectorKernels.h"

CImageFlipper::CImageFlipper(int bHorz, int bVert)
    : CImage32BitProcessor(0), m_bHorz(bHorz), m_bVert(bVert) {}

int CImageFlipper::ProcessPixels(const RGBX* pSrc, CSize sizeSrc, RGBX* pDst, CSize sizeDst) {
    if (!IsValidCall(pSrc, sizeSrc, pDst, sizeDst, sizeSrc)) return 0;
    const int64_t w = sizeSrc.cx, h = sizeSrc.cy;
    const pelto_image::FlipKernels& kernels = pelto_image::Kernels().flip;
    // A picture larger than the caches is written past them: its start would be evicted anyway.
    const bool stream =
        kernels.streams && static_cast<size_t>(w * h) * sizeof(RGBX) > pelto_image::kStreamingBytes;
    for (int64_t y = 0; y < h; ++y) {
        const RGBX* in = pSrc + y * w;
        RGBX* out = pDst + (m_bVert ? h - 1 - y : y) * w;
        if (m_bHorz)
            kernels.reverseRow(in, out, w, stream);
        else
            std::memcpy(out, in, static_cast<size_t>(w) * sizeof(RGBX));
    }
    if (stream) _mm_sfence();
    return 1;
}
