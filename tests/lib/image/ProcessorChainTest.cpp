// Filling buffers and running chains: sizes, the clean background between steps, refusals.
#include <climits>
#include <cstring>
#include <memory>
#include <vector>

#include <gtest/gtest.h>

#include "lib/image/ColorProcessors.h"
#include "lib/image/FilterProcessors.h"
#include "lib/image/ImageResizer.h"
#include "lib/image/ImageRotator.h"
#include "lib/image/ImageShearer.h"
#include "lib/image/PixelFill.h"
#include "lib/image/ProcessorChain.h"
#include "tests/lib/image/TestPictures.h"

namespace {

TEST(FillPixels, WritesTheDocumentedBytes) {
    struct Row {
        uint32_t clr;
        uint8_t bytes[4];
    } rows[] = {{0x00030201, {3, 2, 1, 0}},
                {0x00FFFFFF, {0xFF, 0xFF, 0xFF, 0xFF}},
                {0xFFFFFFFF, {0xFF, 0xFF, 0xFF, 0xFF}},
                {0, {0, 0, 0, 0}},
                {0x01FFFFFF, {0xFF, 0xFF, 0xFF, 0}}};
    for (const Row& r : rows) {
        for (CSize size : {CSize(1, 1), CSize(7, 5), CSize(64, 3), CSize(1, 9)}) {
            std::vector<RGBX> buf(size.cx * size.cy, RGBX{9, 9, 9, 9});
            ASSERT_EQ(1, FillPixels(buf.data(), size, r.clr));
            for (size_t i = 0; i < buf.size(); ++i)
                ASSERT_EQ(0, std::memcmp(&buf[i], r.bytes, 4))
                    << std::hex << r.clr << " pixel " << i;
        }
    }
}

TEST(FillPixels, EmptyOrBadBuffersAreNeverWritten) {
    RGBX one = {9, 9, 9, 9};
    EXPECT_EQ(1, FillPixels(&one, CSize(0, 5), 0x00030201));
    EXPECT_EQ(1, FillPixels(&one, CSize(5, 0), 0x00FFFFFF));
    EXPECT_EQ(0, FillPixels(&one, CSize(-1, 5), 0));
    EXPECT_EQ(0x09090909u, PixelBits(one));
    EXPECT_EQ(0, FillPixels(nullptr, CSize(1, 1), 0));
}

// Wraps a step: checks that it is handed a destination of pure background, and records which
// pixels it writes (by running it over two different sentinel fillings first).
class SpyStep : public CImage32BitProcessor {
public:
    SpyStep(CImage32BitProcessor& inner, uint32_t clrBackground)
        : m_inner(inner), m_bg(PixelBits(RgbxFromColorref(clrBackground))) {
        if (clrBackground == 0x00FFFFFF) m_bg = 0xFFFFFFFF;
    }
    CSize CalcDestSize(CSize s) const override { return m_inner.CalcDestSize(s); }
    int ProcessPixels(const RGBX* src, CSize ss, RGBX* dst, CSize ds) override {
        const size_t n = static_cast<size_t>(ds.cx) * ds.cy;
        for (size_t i = 0; i < n; ++i) m_cleanStart &= PixelBits(dst[i]) == m_bg;
        std::vector<RGBX> a(n, RGBX{1, 2, 3, 4}), b(n, RGBX{5, 6, 7, 8});
        m_inner.ProcessPixels(src, ss, a.data(), ds);
        m_inner.ProcessPixels(src, ss, b.data(), ds);
        m_written.assign(n, false);
        for (size_t i = 0; i < n; ++i)
            m_written[i] = PixelBits(a[i]) != 0x04030201 || PixelBits(b[i]) != 0x08070605;
        ++m_calls;
        return m_inner.ProcessPixels(src, ss, dst, ds);
    }
    CImage32BitProcessor& m_inner;
    uint32_t m_bg;
    bool m_cleanStart = true;
    std::vector<bool> m_written;
    int m_calls = 0;
};

class FailingStep : public CImage32BitProcessor {
public:
    int ProcessPixels(const RGBX*, CSize, RGBX*, CSize) override { return 0; }
};

std::unique_ptr<RGBX[]> CopyOf(const Picture& p) {
    std::unique_ptr<RGBX[]> buf(new RGBX[p.px.size()]);
    std::memcpy(buf.get(), p.px.data(), p.px.size() * sizeof(RGBX));
    return buf;
}

// Each step alone, on exact buffers: what the chain must produce.
Picture RunStepByStep(const Picture& src, const std::vector<CImage32BitProcessor*>& steps,
                      uint32_t bg) {
    Picture cur = src;
    for (CImage32BitProcessor* s : steps) {
        Picture next;
        EXPECT_TRUE(RunProcessor(*s, cur, bg, &next));
        cur = next;
    }
    return cur;
}

TEST(ProcessorChain, UnwrittenPixelsOfTheLastStepAreExactlyBackground) {
    for (uint32_t bg : {0x00FFFFFFu, 0x00204060u}) {
        CImageRotator rotate(30, 1);
        CImageResizer reduce(0.7);
        CImageShearer shearInner(-9, 13, 1);
        SpyStep shear(shearInner, bg);
        std::vector<CImage32BitProcessor*> steps = {&rotate, &reduce, &shear};
        const Picture src = ScreenshotPicture(41, 23, 77);
        ChainOutput out;
        ASSERT_EQ(1,
                  RunProcessorChain(CopyOf(src), src.Size(), steps.data(), steps.size(), bg, &out));
        ASSERT_TRUE(shear.m_cleanStart);
        const size_t n = static_cast<size_t>(out.size.cx) * out.size.cy;
        ASSERT_EQ(n, shear.m_written.size());
        size_t unwritten = 0;
        for (size_t i = 0; i < n; ++i) {
            if (shear.m_written[i]) continue;
            ++unwritten;
            ASSERT_EQ(shear.m_bg, PixelBits(out.pixels[i])) << "pixel " << i;
        }
        EXPECT_GT(unwritten, 0u);
    }
}

TEST(ProcessorChain, MatchesTheStepsRunOneByOneWhileSizesGrowAndShrink) {
    // 30 x 8, 10 x 32, 5 x 16, 15 x 48, 19 x 51: the enlargement and the shear get inputs larger
    // than the step before, so the source buffer is regrown.
    CImageRotator rotate(90, 0);
    CImageResizer reduce(0.5);
    CImageResizer enlarge(3.0);
    CImageShearer shear(4, -3, 0);
    CImageBlurrer blur(4);
    CImageNegator negate;
    std::vector<CImage32BitProcessor*> steps = {&negate, &rotate, &reduce, &enlarge, &shear, &blur};
    const Picture src = NoisePicture(30, 8, 3);
    const uint32_t bg = 0x00112233;
    const Picture expected = RunStepByStep(src, steps, bg);
    CSize sizeFinal, sizeMax;
    ASSERT_EQ(1, CalcChainSizes(src.Size(), steps.data(), steps.size(), &sizeFinal, &sizeMax));
    EXPECT_EQ(expected.Size(), sizeFinal);
    EXPECT_EQ(CSize(30, 51), sizeMax);  // the first width, the height after the shear
    ChainOutput out;
    ASSERT_EQ(1, RunProcessorChain(CopyOf(src), src.Size(), steps.data(), steps.size(), bg, &out));
    ASSERT_EQ(expected.Size(), out.size);
    Picture actual(out.size.cx, out.size.cy, 0);
    std::memcpy(actual.px.data(), out.pixels.get(), actual.px.size() * sizeof(RGBX));
    EXPECT_EQ("", DescribeFirstDifference(expected, actual));
}

TEST(ProcessorChain, NoStepsGiveTheSourceBack) {
    const Picture src = NoisePicture(3, 2, 1);
    ChainOutput out;
    ASSERT_EQ(1, RunProcessorChain(CopyOf(src), src.Size(), nullptr, 0, 0, &out));
    EXPECT_EQ(src.Size(), out.size);
    EXPECT_EQ(0, std::memcmp(src.px.data(), out.pixels.get(), 6 * sizeof(RGBX)));
}

TEST(ProcessorChain, AFailingStepFailsTheRun) {
    CImageGrayer grey;
    FailingStep fail;
    CImageResizer zero(0.0), negative(-2.0);
    const Picture src = NoisePicture(5, 4, 1);
    for (CImage32BitProcessor* bad : std::vector<CImage32BitProcessor*>{&fail, &zero, &negative}) {
        std::vector<CImage32BitProcessor*> steps = {&grey, bad, &grey};
        ChainOutput out;
        EXPECT_EQ(0,
                  RunProcessorChain(CopyOf(src), src.Size(), steps.data(), steps.size(), 0, &out));
        EXPECT_FALSE(out.pixels);
    }
}

TEST(ProcessorChain, OversizedOrBadInputIsRefusedBeforeAllocating) {
    const Picture src = NoisePicture(16, 16, 1);
    CImageResizer huge(1000.0);       // 16 000 x 16 000 pixels: beyond the limit
    CImageResizer absurd(1000000.0);  // does not fit an int
    CImageShearer wide(INT_MAX - 2, 0, 0);
    CImage32BitProcessor* one[1];
    CSize sizeFinal, sizeMax;
    for (CImage32BitProcessor* p : std::vector<CImage32BitProcessor*>{&huge, &absurd, &wide}) {
        one[0] = p;
        EXPECT_EQ(0, CalcChainSizes(CSize(3840, 2160), one, 1, &sizeFinal, &sizeMax));
        ChainOutput out;
        EXPECT_EQ(0, RunProcessorChain(CopyOf(src), CSize(16, 16), one, 1, 0, &out));
    }
    CImageResizer fits(2.0);
    one[0] = &fits;
    EXPECT_EQ(1, CalcChainSizes(CSize(3840, 2160), one, 1, &sizeFinal, &sizeMax));
    EXPECT_EQ(0, CalcChainSizes(CSize(8192, 8192), one, 1, &sizeFinal, &sizeMax));
    EXPECT_EQ(0, CalcChainSizes(CSize(0, 5), one, 1, &sizeFinal, &sizeMax));
    EXPECT_EQ(0, CalcChainSizes(CSize(5, 5), nullptr, 1, &sizeFinal, &sizeMax));
    ChainOutput out;
    EXPECT_EQ(0, RunProcessorChain(nullptr, CSize(4, 4), one, 1, 0, &out));
}

}  // namespace
