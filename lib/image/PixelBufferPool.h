// Keeps a couple of released picture-sized pixel buffers for the next processing run. Touching
// fresh memory costs a page fault per 4 KiB, which for a screen-sized buffer takes far longer
// than any effect; a capture tool processes one screen-sized picture after another.
#pragma once

#include <cstddef>
#include <memory>

#include "lib/PeltoLibApi.h"
#include "lib/image/Rgbx.h"

// A buffer of at least `capacity` pixels, allocated with array new.
struct PixelBuffer {
    std::unique_ptr<RGBX[]> pixels;
    size_t capacity = 0;
};

// Buffers larger than this many pixels (64 MiB) are not kept.
constexpr size_t kPoolMaxPixels = size_t(1) << 24;

// How many released buffers are kept at most.
constexpr size_t kPoolBuffers = 2;

// A buffer of at least `count` pixels: a kept one when one is large enough (the smallest such),
// else a new one of exactly `count`. Empty when memory runs out. The contents are undefined.
PELTOLIB_API PixelBuffer TakePixelBuffer(size_t count);

// Hands a buffer back for later runs; one that is too large, or beyond the number kept, is freed
// (the smaller kept ones go first).
PELTOLIB_API void ReleasePixelBuffer(PixelBuffer buffer);

// Frees every kept buffer.
PELTOLIB_API void ClearPixelBufferPool();
