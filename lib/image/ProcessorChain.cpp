#include "lib/image/ProcessorChain.h"

#include <cstring>
#include <new>

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

static std::unique_ptr<RGBX[]> NewZeroedPixels(CSize size) {
    size_t count = static_cast<size_t>(size.cx) * static_cast<size_t>(size.cy);
    std::unique_ptr<RGBX[]> p(new (std::nothrow) RGBX[count]);
    if (p) std::memset(p.get(), 0, count * sizeof(RGBX));
    return p;
}

int RunProcessorChain(std::unique_ptr<RGBX[]> pSource, CSize sizeSource,
                      CImage32BitProcessor* const* ppSteps, size_t nSteps, uint32_t clrBackground,
                      ChainOutput* pOut) {
    if (!pSource || !pOut) return 0;
    CSize sizeFinal, sizeMax;
    if (!CalcChainSizes(sizeSource, ppSteps, nSteps, &sizeFinal, &sizeMax)) return 0;
    if (nSteps == 0) {
        pOut->pixels = std::move(pSource);
        pOut->size = sizeSource;
        return 1;
    }
    try {
        std::unique_ptr<RGBX[]> pDest = NewZeroedPixels(sizeMax);
        if (!pDest) return 0;
        FillPixels(pDest.get(), sizeMax, clrBackground);
        CSize size = sizeSource;
        CSize sizeSrcBuffer = sizeSource;
        for (size_t i = 0; i < nSteps; ++i) {
            if (i > 0) {
                if (size.cx > sizeSrcBuffer.cx || size.cy > sizeSrcBuffer.cy) {
                    pSource = NewZeroedPixels(size);
                    if (!pSource) return 0;
                }
                // The step's input is always a buffer of exactly its own size.
                sizeSrcBuffer = size;
                std::memcpy(
                    pSource.get(), pDest.get(),
                    static_cast<size_t>(size.cx) * static_cast<size_t>(size.cy) * sizeof(RGBX));
                FillPixels(pDest.get(), sizeMax, clrBackground);
            }
            CSize sizeNext = ppSteps[i]->CalcDestSize(size);
            // A step that answers differently now than in the size pass could overrun the buffers.
            if (sizeNext.cx <= 0 || sizeNext.cy <= 0 || sizeNext.cx > sizeMax.cx ||
                sizeNext.cy > sizeMax.cy)
                return 0;
            if (!ppSteps[i]->ProcessPixels(pSource.get(), size, pDest.get(), sizeNext)) return 0;
            size = sizeNext;
        }
        pOut->pixels = std::move(pDest);
        pOut->size = size;
        return 1;
    } catch (...) {
        return 0;
    }
}
