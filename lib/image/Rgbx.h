// One 32-bit pixel as the platform's 32-bit DIBs store it, and the colour conversions around it.
#pragma once

#include <cstdint>

struct RGBX {
    uint8_t b;
    uint8_t g;
    uint8_t r;
    uint8_t x;
};

static_assert(sizeof(RGBX) == 4, "pixel buffers are handed to GDI as packed 32-bit pixels");

// A COLORREF keeps red in its low byte; a pixel keeps blue there. The high byte of the COLORREF
// (palette flags) never reaches the pixel.
inline RGBX RgbxFromColorref(uint32_t clr) {
    RGBX p;
    p.r = static_cast<uint8_t>(clr & 0xFF);
    p.g = static_cast<uint8_t>((clr >> 8) & 0xFF);
    p.b = static_cast<uint8_t>((clr >> 16) & 0xFF);
    p.x = 0;
    return p;
}

inline bool SameRgb(const RGBX& a, const RGBX& b) { return a.b == b.b && a.g == b.g && a.r == b.r; }
