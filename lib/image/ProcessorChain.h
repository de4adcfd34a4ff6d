// The buffer half of running a chain of processors: the size pass, the two buffers, the clean
// background before every step and the failure path. The bitmap holder wraps this with GDI.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "base/Geometry.h"
#include "lib/PeltoLibApi.h"
#include "lib/image/ImageProcessor.h"
#include "lib/image/PixelBufferPool.h"

struct ChainOutput {
    // Holds `capacity` pixels, at least size.cx * size.cy; the picture is the first ones, pitch
    // size.cx. Hand the buffer to ReleasePixelBuffer when done, for the next run.
    std::unique_ptr<RGBX[]> pixels;
    CSize size;
    size_t capacity = 0;
};

// The size every step of the chain produces, starting from sizeSource, with the largest width
// and height seen (sizeSource included). Returns 0 when a step gives a side of 0 or less or the
// largest width times the largest height is above kMaxImagePixels: such a chain is refused.
PELTOLIB_API int CalcChainSizes(CSize sizeSource, CImage32BitProcessor* const* ppSteps,
                                size_t nSteps, CSize* pSizeFinal, CSize* pSizeMax);

// Runs the steps in order over the picture in pSource (sizeSource, pitch = width, in a buffer of
// nSourceCapacity pixels, 0 meaning exactly the picture), which the run takes over. Every step
// writes its output at the start of a buffer whose first (output width x output height) pixels
// were filled with clrBackground, so each pixel a step does not write has that colour. Two
// buffers take turns as source and destination; they come from and go back to the pixel buffer
// pool. With no steps the source itself comes back. Returns 1 and fills *pOut, or 0 (no buffer
// is kept) when the sizes are refused, memory runs out, a step returns 0 or a step's size changes
// between the size pass and the run.
PELTOLIB_API int RunProcessorChain(std::unique_ptr<RGBX[]> pSource, CSize sizeSource,
                                   CImage32BitProcessor* const* ppSteps, size_t nSteps,
                                   uint32_t clrBackground, ChainOutput* pOut,
                                   size_t nSourceCapacity = 0);
