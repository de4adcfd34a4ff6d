// Pictures and comparisons shared by the image tests and the benchmark.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "lib/image/ImageProcessor.h"

struct Picture {
    int w = 0;
    int h = 0;
    std::vector<RGBX> px;  // exactly w * h, so that AddressSanitizer sees any overrun

    Picture() = default;
    Picture(int width, int height, uint32_t clrBackground);
    RGBX& At(int x, int y) { return px[static_cast<size_t>(y) * w + x]; }
    const RGBX& At(int x, int y) const { return px[static_cast<size_t>(y) * w + x]; }
    CSize Size() const { return CSize(w, h); }
};

// Random bytes in all four channels.
Picture NoisePicture(int w, int h, uint32_t seed);
// Flat areas, hard edges, a few colours (black and white among them) and some noisy patches:
// what a capture of a desktop looks like.
Picture ScreenshotPicture(int w, int h, uint32_t seed);

// Runs the processor into a destination of exactly its output size, filled with the background.
// False when the output size is refused or ProcessPixels returns 0.
bool RunProcessor(CImage32BitProcessor& proc, const Picture& src, uint32_t clrBackground,
                  Picture* pOut);

// All four bytes of every pixel; the message names the first differing pixel.
std::string DescribeFirstDifference(const Picture& expected, const Picture& actual);

inline uint32_t PixelBits(const RGBX& p) {
    return p.b | (p.g << 8) | (p.r << 16) | (static_cast<uint32_t>(p.x) << 24);
}
