#include "lib/image/ProcessorChain.h"

#include <utility>

#include "lib/image/PixelFill.h"

int CalcChainSizes(CSize sizeSource, CImage32BitProcessor* const* ppSteps, size_t nSteps,
                   CSize* pSizeFinal, CSize* pSizeMax) {
    if (sizeSource.cx <= 0 || sizeSource.cy <= 0 || (nSteps > 0 && !ppSteps)) return 0;
    CSize size = sizeSource;
    CSize sizeMax = sizeSource;
    for (size_t i = 0; i < nSteps; ++i) {
        if (!ppSteps[i]) return 0;
        size = ppSteps[i]->CalcDestSize(size);
        if (size.cx <= 0 || size.cy <= 0) return 0;
        if (size.cx > sizeMax.cx) sizeMax.cx = size.cx;
        if (size.cy > sizeMax.cy) sizeMax.cy = size.cy;
    }
    if (int64_t(sizeMax.cx) * sizeMax.cy > kMaxImagePixels) return 0;
    if (pSizeFinal) *pSizeFinal = size;
    if (pSizeMax) *pSizeMax = sizeMax;
    return 1;
}

static size_t PixelCount(CSize size) {
    return static_cast<size_t>(size.cx) * static_cast<size_t>(size.cy);
}

int RunProcessorChain(std::unique_ptr<RGBX[]> pSource, CSize sizeSource,
                      CImage32BitProcessor* const* ppSteps, size_t nSteps, uint32_t clrBackground,
                      ChainOutput* pOut, size_t nSourceCapacity) {
    if (!pSource || !pOut) return 0;
    CSize sizeFinal, sizeMax;
    if (!CalcChainSizes(sizeSource, ppSteps, nSteps, &sizeFinal, &sizeMax)) return 0;
    PixelBuffer source;
    source.pixels = std::move(pSource);
    source.capacity =
        nSourceCapacity > PixelCount(sizeSource) ? nSourceCapacity : PixelCount(sizeSource);
    if (nSteps == 0) {
        pOut->pixels = std::move(source.pixels);
        pOut->size = sizeSource;
        pOut->capacity = source.capacity;
        return 1;
    }
    PixelBuffer dest;
    auto fail = [&] {
        ReleasePixelBuffer(std::move(source));
        ReleasePixelBuffer(std::move(dest));
        return 0;
    };
    try {
        // Each step's output goes to the start of the other buffer, so that it is the next
        // step's source as it lies: nothing is copied between steps. Only the pixels a step can
        // write are filled: nothing past them is ever read.
        const size_t maxPixels = PixelCount(sizeMax);
        dest = TakePixelBuffer(maxPixels);
        if (!dest.pixels) return fail();
        CSize size = sizeSource;
        for (size_t i = 0; i < nSteps; ++i) {
            if (i > 0) std::swap(source, dest);
            const CSize sizeNext = ppSteps[i]->CalcDestSize(size);
            // A step that answers differently now than in the size pass could overrun the buffers.
            if (sizeNext.cx <= 0 || sizeNext.cy <= 0 || sizeNext.cx > sizeMax.cx ||
                sizeNext.cy > sizeMax.cy)
                return fail();
            if (dest.capacity < PixelCount(sizeNext)) {
                ReleasePixelBuffer(std::move(dest));
                dest = TakePixelBuffer(maxPixels);
                if (!dest.pixels) return fail();
            }
            FillPixels(dest.pixels.get(), sizeNext, clrBackground);
            if (!ppSteps[i]->ProcessPixels(source.pixels.get(), size, dest.pixels.get(), sizeNext))
                return fail();
            size = sizeNext;
        }
        ReleasePixelBuffer(std::move(source));
        pOut->pixels = std::move(dest.pixels);
        pOut->size = size;
        pOut->capacity = dest.capacity;
        return 1;
    } catch (...) {
        return fail();
    }
}
