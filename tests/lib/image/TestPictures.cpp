#include "tests/lib/image/TestPictures.h"

#include <algorithm>
#include <cstdio>
#include <random>

#include "lib/image/PixelFill.h"

Picture::Picture(int width, int height, uint32_t clrBackground)
    : w(width), h(height), px(static_cast<size_t>(width) * height) {
    FillPixels(px.data(), CSize(w, h), clrBackground);
}

Picture NoisePicture(int w, int h, uint32_t seed) {
    Picture p(w, h, 0);
    std::mt19937 rng(seed);
    for (RGBX& q : p.px) {
        uint32_t v = rng();
        q = RGBX{uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)};
    }
    return p;
}

Picture ScreenshotPicture(int w, int h, uint32_t seed) {
    static const uint32_t kPalette[] = {0x000000, 0xFFFFFF, 0xF0F0F0, 0x0078D7,
                                        0x202020, 0xC0C0C0, 0x3399FF, 0x00FFFFFF};
    Picture p(w, h, 0x00F0F0F0);
    std::mt19937 rng(seed);
    const int rects = 4 + (w * h) / 4000;
    for (int i = 0; i < rects; ++i) {
        int x0 = rng() % w, y0 = rng() % h;
        int x1 = std::min(w, x0 + 1 + int(rng() % (w / 2 + 1)));
        int y1 = std::min(h, y0 + 1 + int(rng() % (h / 2 + 1)));
        RGBX c = RgbxFromColorref(kPalette[rng() % 8]);
        bool noisy = rng() % 5 == 0;
        for (int y = y0; y < y1; ++y) {
            for (int x = x0; x < x1; ++x) {
                if (noisy) {
                    uint32_t v = rng();
                    p.At(x, y) = RGBX{uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), 0};
                } else {
                    p.At(x, y) = c;
                }
            }
        }
    }
    return p;
}

bool RunProcessor(CImage32BitProcessor& proc, const Picture& src, uint32_t clrBackground,
                  Picture* pOut) {
    CSize sizeDst = proc.CalcDestSize(src.Size());
    if (sizeDst.cx <= 0 || sizeDst.cy <= 0) return false;
    *pOut = Picture(sizeDst.cx, sizeDst.cy, clrBackground);
    return proc.ProcessPixels(src.px.data(), src.Size(), pOut->px.data(), sizeDst) != 0;
}

std::string DescribeFirstDifference(const Picture& expected, const Picture& actual) {
    char buf[160];
    if (expected.w != actual.w || expected.h != actual.h) {
        std::snprintf(buf, sizeof buf, "size %d x %d, expected %d x %d", actual.w, actual.h,
                      expected.w, expected.h);
        return buf;
    }
    for (int y = 0; y < expected.h; ++y) {
        for (int x = 0; x < expected.w; ++x) {
            if (PixelBits(expected.At(x, y)) != PixelBits(actual.At(x, y))) {
                std::snprintf(buf, sizeof buf,
                              "first difference at (%d, %d) of %d x %d: 0x%08X, expected 0x%08X", x,
                              y, expected.w, expected.h, PixelBits(actual.At(x, y)),
                              PixelBits(expected.At(x, y)));
                return buf;
            }
        }
    }
    return "";
}
