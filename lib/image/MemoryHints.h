// How the pixel loops of every vector width treat memory.
#pragma once

#include <cstddef>

namespace pelto_image {

// How far ahead of the pixel at hand the loops ask for memory: far enough that the line has
// arrived from memory when the loop gets there, which the processor's own guesses miss when a
// loop has much work per line.
constexpr size_t kPrefetchPixels = 1536;

// Outputs larger than this are written with stores that bypass the caches.
constexpr size_t kStreamingBytes = size_t(16) << 20;

}  // namespace pelto_image
