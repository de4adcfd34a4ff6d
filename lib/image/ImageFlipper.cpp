#include "lib/image/ImageFlipper.h"

#include <emmintrin.h>

#include <cstdint>
#include <cstring>

#include "lib/image/CpuFeatures.h"
#include "lib/image/PixelLoopsAvx2.h"

CImageFlipper::CImageFlipper(int bHorz, int bVert)
    : CImage32BitProcessor(0), m_bHorz(bHorz), m_bVert(bVert) {}

static void ReverseRow(const RGBX* in, RGBX* out, int64_t w, bool avx2, bool stream) {
    int64_t x = avx2 ? static_cast<int64_t>(
                           pelto_image::ReverseRowAvx2(in, out, static_cast<size_t>(w), stream))
                     : 0;
    for (; x + 4 <= w; x += 4) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + x));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + w - 4 - x),
                         _mm_shuffle_epi32(v, _MM_SHUFFLE(0, 1, 2, 3)));
    }
    for (; x < w; ++x) out[w - 1 - x] = in[x];
}

int CImageFlipper::ProcessPixels(const RGBX* pSrc, CSize sizeSrc, RGBX* pDst, CSize sizeDst) {
    if (!IsValidCall(pSrc, sizeSrc, pDst, sizeDst, sizeSrc)) return 0;
    const int64_t w = sizeSrc.cx, h = sizeSrc.cy;
    const bool avx2 = pelto_image::UseAvx2();
    // A picture larger than the caches is written past them: its start would be evicted anyway.
    const bool stream =
        avx2 && static_cast<size_t>(w * h) * sizeof(RGBX) > pelto_image::kStreamingBytes;
    for (int64_t y = 0; y < h; ++y) {
        const RGBX* in = pSrc + y * w;
        RGBX* out = pDst + (m_bVert ? h - 1 - y : y) * w;
        if (m_bHorz)
            ReverseRow(in, out, w, avx2, stream);
        else
            std::memcpy(out, in, static_cast<size_t>(w) * sizeof(RGBX));
    }
    if (stream) _mm_sfence();
    return 1;
}
