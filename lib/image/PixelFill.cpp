#include "lib/image/PixelFill.h"

#include <cstddef>
#include <cstring>

int FillPixels(RGBX* pPixels, CSize size, uint32_t clr) {
    if (!pPixels || size.cx < 0 || size.cy < 0) return 0;
    if (size.cx == 0 || size.cy == 0) return 1;
    const size_t width = static_cast<size_t>(size.cx);
    const size_t height = static_cast<size_t>(size.cy);
    if (clr == 0xFFFFFFFFu || clr == 0x00FFFFFFu) {
        std::memset(pPixels, 0xFF, width * height * sizeof(RGBX));
        return 1;
    }
    if (clr == 0) {
        std::memset(pPixels, 0, width * height * sizeof(RGBX));
        return 1;
    }
    // Doubling block copies: a handful of large memcpy calls instead of a store per pixel.
    pPixels[0] = RgbxFromColorref(clr);
    for (size_t done = 1; done < width;) {
        size_t n = done < width - done ? done : width - done;
        std::memcpy(pPixels + done, pPixels, n * sizeof(RGBX));
        done += n;
    }
    for (size_t done = 1; done < height;) {
        size_t n = done < height - done ? done : height - done;
        std::memcpy(pPixels + done * width, pPixels, n * width * sizeof(RGBX));
        done += n;
    }
    return 1;
}
