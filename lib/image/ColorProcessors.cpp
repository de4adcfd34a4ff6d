#include "lib/image/ColorProcessors.h"

#include <emmintrin.h>

#include <cstring>

#include "lib/image/CpuFeatures.h"
#include "lib/image/PixelLoopsAvx2.h"

namespace {

inline uint32_t LoadPixel(const RGBX* p) {
    uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}

inline uint32_t PixelBits(RGBX p) { return LoadPixel(&p); }

inline void StorePixel(RGBX* p, uint32_t v) { std::memcpy(p, &v, 4); }

inline size_t PixelCount(CSize size) {
    return static_cast<size_t>(size.cx) * static_cast<size_t>(size.cy);
}

const uint32_t kRgbMask = 0x00FFFFFFu;

}  // namespace

CImageGrayer::CImageGrayer() : CImage32BitProcessor(0) {}

int CImageGrayer::ProcessPixels(const RGBX* pSrc, CSize sizeSrc, RGBX* pDst, CSize sizeDst) {
    if (!IsValidCall(pSrc, sizeSrc, pDst, sizeDst, sizeSrc)) return 0;
    const size_t n = PixelCount(sizeSrc);
    // The weighted sum is at most 2550, where x / 10 == (x * 6554) >> 16 holds exactly; the
    // high half of a 16-bit product is that shift.
    const __m128i lowByte = _mm_set1_epi32(0xFF);
    const __m128i tenth = _mm_set1_epi32(6554);
    size_t i = pelto_image::UseAvx2() ? pelto_image::GreyPixelsAvx2(pSrc, pDst, n) : 0;
    for (; i + 4 <= n; i += 4) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(pSrc + i));
        const __m128i b = _mm_and_si128(v, lowByte);
        const __m128i g = _mm_and_si128(_mm_srli_epi32(v, 8), lowByte);
        const __m128i r = _mm_and_si128(_mm_srli_epi32(v, 16), lowByte);
        const __m128i r3 = _mm_add_epi32(r, _mm_add_epi32(r, r));
        const __m128i g6 = _mm_slli_epi32(_mm_add_epi32(g, _mm_add_epi32(g, g)), 1);
        const __m128i sum = _mm_add_epi32(_mm_add_epi32(r3, g6), b);
        const __m128i grey = _mm_mulhi_epu16(sum, tenth);
        const __m128i out =
            _mm_or_si128(grey, _mm_or_si128(_mm_slli_epi32(grey, 8), _mm_slli_epi32(grey, 16)));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(pDst + i), out);
    }
    for (; i < n; ++i) {
        const RGBX& s = pSrc[i];
        const uint8_t grey = static_cast<uint8_t>((3 * s.r + 6 * s.g + s.b) / 10);
        pDst[i] = RGBX{grey, grey, grey, 0};
    }
    return 1;
}

CImageNegator::CImageNegator() : CImage32BitProcessor(0) {}

int CImageNegator::ProcessPixels(const RGBX* pSrc, CSize sizeSrc, RGBX* pDst, CSize sizeDst) {
    if (!IsValidCall(pSrc, sizeSrc, pDst, sizeDst, sizeSrc)) return 0;
    const size_t n = PixelCount(sizeSrc);
    const __m128i rgb = _mm_set1_epi32(static_cast<int>(kRgbMask));
    size_t i = pelto_image::UseAvx2() ? pelto_image::NegatePixelsAvx2(pSrc, pDst, n) : 0;
    for (; i + 4 <= n; i += 4) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(pSrc + i));
        const __m128i old = _mm_loadu_si128(reinterpret_cast<const __m128i*>(pDst + i));
        const __m128i neg = _mm_andnot_si128(v, rgb);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(pDst + i),
                         _mm_or_si128(neg, _mm_andnot_si128(rgb, old)));
    }
    for (; i < n; ++i) {
        pDst[i].b = static_cast<uint8_t>(255 - pSrc[i].b);
        pDst[i].g = static_cast<uint8_t>(255 - pSrc[i].g);
        pDst[i].r = static_cast<uint8_t>(255 - pSrc[i].r);
    }
    return 1;
}

CImageColorReplacer::CImageColorReplacer(uint32_t clrFrom, uint32_t clrTo)
    : CImage32BitProcessor(0), m_clrFrom(clrFrom), m_clrTo(clrTo) {}

int CImageColorReplacer::ProcessPixels(const RGBX* pSrc, CSize sizeSrc, RGBX* pDst, CSize sizeDst) {
    if (!IsValidCall(pSrc, sizeSrc, pDst, sizeDst, sizeSrc)) return 0;
    if (m_clrFrom == m_clrTo) {
        CopyPixels(pSrc, pDst, sizeDst);
        return 1;
    }
    const size_t n = PixelCount(sizeSrc);
    const uint32_t from = PixelBits(RgbxFromColorref(m_clrFrom));
    const uint32_t to = PixelBits(RgbxFromColorref(m_clrTo));
    const __m128i rgb = _mm_set1_epi32(static_cast<int>(kRgbMask));
    const __m128i vFrom = _mm_set1_epi32(static_cast<int>(from));
    const __m128i vTo = _mm_set1_epi32(static_cast<int>(to));
    size_t i = pelto_image::UseAvx2() ? pelto_image::ReplacePixelsAvx2(pSrc, pDst, n, from, to) : 0;
    for (; i + 4 <= n; i += 4) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(pSrc + i));
        const __m128i hit = _mm_cmpeq_epi32(_mm_and_si128(v, rgb), vFrom);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(pDst + i),
                         _mm_or_si128(_mm_and_si128(hit, vTo), _mm_andnot_si128(hit, v)));
    }
    for (; i < n; ++i) {
        const uint32_t v = LoadPixel(pSrc + i);
        StorePixel(pDst + i, (v & kRgbMask) == from ? to : v);
    }
    return 1;
}
