// Plain, per-pixel versions of the image processors, written for clarity and nothing else. The
// library's versions must give the same bytes; the benchmark measures how much faster they are.
#pragma once

#include <cstdint>

#include "lib/image/Rgbx.h"

namespace ref {

// Buffers are W x H, top row first, pitch W. Destinations arrive filled with the background.
RGBX WeightedColor(const RGBX* src, int w, int h, double x, double y);
void RotatedSize(double angle, int w, int h, int* dw, int* dh);
void Rotate(double angle, bool smooth, const RGBX* src, int w, int h, RGBX* dst, int dw, int dh);
void Shear(int across, int down, bool smooth, const RGBX* src, int w, int h, RGBX* dst, int dw,
           int dh);
void Enlarge(double factor, const RGBX* src, int w, int h, RGBX* dst, int dw, int dh);
void Shrink(double factor, const RGBX* src, int w, int h, RGBX* dst, int dw, int dh);
void Flip(bool horz, bool vert, const RGBX* src, int w, int h, RGBX* dst);
void Gray(const RGBX* src, int w, int h, RGBX* dst);
void Negate(const RGBX* src, int w, int h, RGBX* dst);
void ReplaceColor(uint32_t from, uint32_t to, const RGBX* src, int w, int h, RGBX* dst);
void Blur(int strength, const RGBX* src, int w, int h, RGBX* dst);
void Sharpen(int strength, const RGBX* src, int w, int h, RGBX* dst);

}  // namespace ref
