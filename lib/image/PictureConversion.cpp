#include "lib/image/PictureConversion.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "lib/image/RowWorkers.h"

namespace pelto_image {

namespace {

void ConvertRow(const RGBX* in, int64_t w, uint8_t* out) {
    int64_t x = 0;
    // Four pixels make three whole 32-bit words.
    for (; x + 4 <= w; x += 4, out += 12) {
        uint32_t p[4];
        std::memcpy(p, in + x, 16);
        const uint32_t w0 = (p[0] & 0xFFFFFF) | (p[1] << 24);
        const uint32_t w1 = ((p[1] >> 8) & 0xFFFF) | (p[2] << 16);
        const uint32_t w2 = ((p[2] >> 16) & 0xFF) | (p[3] << 8);
        std::memcpy(out, &w0, 4);
        std::memcpy(out + 4, &w1, 4);
        std::memcpy(out + 8, &w2, 4);
    }
    for (; x < w; ++x, out += 3) {
        out[0] = in[x].b;
        out[1] = in[x].g;
        out[2] = in[x].r;
    }
}

// Column sums of a band of source rows, then the means of their boxes. Acc holds a column's sum
// over one box height: 32 bits while that cannot overflow.
template <typename Acc>
void AverageRows(const RGBX* pSrc, int64_t w, int64_t h, RGBX* pDst, int64_t dw, int64_t dh,
                 int64_t dstStride, int64_t first, int64_t last) {
    std::vector<Acc> sums(static_cast<size_t>(w) * 4);
    for (int64_t r = first; r < last; ++r) {
        const int64_t y0 = r * h / dh, y1 = (r + 1) * h / dh;
        std::fill(sums.begin(), sums.end(), Acc(0));
        for (int64_t y = y0; y < y1; ++y) {
            const uint8_t* row = reinterpret_cast<const uint8_t*>(pSrc + y * w);
            Acc* s = sums.data();
            for (int64_t k = 0; k < w * 4; ++k) s[k] += row[k];
        }
        RGBX* out = reinterpret_cast<RGBX*>(reinterpret_cast<uint8_t*>(pDst) + r * dstStride);
        for (int64_t j = 0; j < dw; ++j) {
            const int64_t x0 = j * w / dw, x1 = (j + 1) * w / dw;
            uint64_t t[4] = {0, 0, 0, 0};
            for (int64_t x = x0; x < x1; ++x)
                for (int c = 0; c < 4; ++c) t[c] += sums[static_cast<size_t>(x * 4 + c)];
            const uint64_t n = static_cast<uint64_t>((x1 - x0) * (y1 - y0));
            uint8_t v[4];
            for (int c = 0; c < 4; ++c) v[c] = static_cast<uint8_t>((t[c] + n / 2) / n);
            std::memcpy(out + j, v, 4);
        }
    }
}

}  // namespace

void ConvertTo24Bit(const RGBX* pSrc, int64_t w, int64_t h, uint8_t* pDst, int64_t dstStride) {
    SplitRows(h, w * h, [&](int64_t first, int64_t last) {
        for (int64_t y = first; y < last; ++y) {
            uint8_t* out = pDst + y * dstStride;
            ConvertRow(pSrc + y * w, w, out);
            std::memset(out + w * 3, 0, static_cast<size_t>(dstStride - w * 3));
        }
    });
}

void BoxAverage(const RGBX* pSrc, int64_t w, int64_t h, RGBX* pDst, int64_t dw, int64_t dh,
                int64_t dstStride) {
    // The tallest box: h / dh rows, one more where the division leaves a remainder.
    const bool narrow = (h / dh + 1) * 255 <= int64_t(UINT32_MAX);
    SplitRows(dh, w * h, [&](int64_t first, int64_t last) {
        if (narrow)
            AverageRows<uint32_t>(pSrc, w, h, pDst, dw, dh, dstStride, first, last);
        else
            AverageRows<uint64_t>(pSrc, w, h, pDst, dw, dh, dstStride, first, last);
    });
}

}  // namespace pelto_image
