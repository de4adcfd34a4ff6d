// The kept pixel buffers: which one a run gets, what is kept, and that a run on buffers full of
// an earlier run's pixels gives exactly the bytes of a run on new ones.
#include <cstring>
#include <memory>
#include <vector>

#include <gtest/gtest.h>

#include "lib/image/ColorProcessors.h"
#include "lib/image/FilterProcessors.h"
#include "lib/image/ImageResizer.h"
#include "lib/image/ImageRotator.h"
#include "lib/image/ImageShearer.h"
#include "lib/image/PixelBufferPool.h"
#include "lib/image/ProcessorChain.h"
#include "tests/lib/image/TestPictures.h"

namespace {

PixelBuffer BufferOf(size_t n) {
    PixelBuffer b;
    b.pixels.reset(new RGBX[n]);
    b.capacity = n;
    return b;
}

class PixelBufferPoolTest : public ::testing::Test {
protected:
    void SetUp() override { ClearPixelBufferPool(); }
    void TearDown() override { ClearPixelBufferPool(); }
};

TEST_F(PixelBufferPoolTest, GivesTheSmallestKeptBufferThatIsLargeEnough) {
    PixelBuffer a = BufferOf(100), b = BufferOf(50), c = BufferOf(200);
    const RGBX *pa = a.pixels.get(), *pc = c.pixels.get();
    ReleasePixelBuffer(std::move(a));
    ReleasePixelBuffer(std::move(b));
    // Two are kept: the 50 gives way to the 200.
    ReleasePixelBuffer(std::move(c));
    PixelBuffer t = TakePixelBuffer(60);
    EXPECT_EQ(pa, t.pixels.get());
    EXPECT_EQ(100u, t.capacity);
    PixelBuffer u = TakePixelBuffer(10);
    EXPECT_EQ(pc, u.pixels.get());
    // Nothing kept any more: a new buffer of exactly the size asked for.
    PixelBuffer v = TakePixelBuffer(10);
    EXPECT_NE(nullptr, v.pixels.get());
    EXPECT_EQ(10u, v.capacity);
    EXPECT_NE(pa, v.pixels.get());
    EXPECT_NE(pc, v.pixels.get());
}

TEST_F(PixelBufferPoolTest, KeepsNeitherTooLargeNorSmallerThanWhatItHolds) {
    // The capacity is only a claim here: a buffer said to be too large is freed, never handed out.
    PixelBuffer big = BufferOf(4);
    big.capacity = kPoolMaxPixels + 1;
    const RGBX* pBig = big.pixels.get();
    ReleasePixelBuffer(std::move(big));
    PixelBuffer a = BufferOf(300), b = BufferOf(400), small = BufferOf(20);
    const RGBX* pSmall = small.pixels.get();
    ReleasePixelBuffer(std::move(a));
    ReleasePixelBuffer(std::move(b));
    ReleasePixelBuffer(std::move(small));  // both kept ones are larger: this one is freed
    PixelBuffer t = TakePixelBuffer(1);
    EXPECT_EQ(300u, t.capacity);
    EXPECT_NE(pSmall, t.pixels.get());
    EXPECT_NE(pBig, t.pixels.get());
    PixelBuffer none = TakePixelBuffer(0);  // a request for nothing still gives a buffer
    EXPECT_EQ(400u, none.capacity);
    ReleasePixelBuffer(PixelBuffer());  // an empty one is ignored
    EXPECT_EQ(1u, TakePixelBuffer(1).capacity);
}

Picture RunChain(const Picture& src, const std::vector<CImage32BitProcessor*>& steps, uint32_t bg) {
    std::unique_ptr<RGBX[]> copy(new RGBX[src.px.size()]);
    std::memcpy(copy.get(), src.px.data(), src.px.size() * sizeof(RGBX));
    ChainOutput out;
    EXPECT_EQ(1,
              RunProcessorChain(std::move(copy), src.Size(), steps.data(), steps.size(), bg, &out));
    Picture result(out.size.cx, out.size.cy, 0);
    if (out.pixels) {
        EXPECT_GE(out.capacity, result.px.size());
        std::memcpy(result.px.data(), out.pixels.get(), result.px.size() * sizeof(RGBX));
    }
    PixelBuffer back;
    back.pixels = std::move(out.pixels);
    back.capacity = out.capacity;
    ReleasePixelBuffer(std::move(back));
    return result;
}

TEST_F(PixelBufferPoolTest, RunsOnKeptBuffersGiveTheBytesOfRunsOnNewOnes) {
    CImageRotator rotate(33, 1);
    CImageResizer reduce(0.6);
    CImageShearer shear(-7, 11, 1);
    CImageNegator negate;
    CImageBlurrer blur(3);
    CImageResizer enlarge(1.7);
    const std::vector<CImage32BitProcessor*> steps = {&negate, &rotate, &reduce,
                                                      &shear,  &blur,   &enlarge};
    const Picture src = ScreenshotPicture(57, 31, 5);
    for (uint32_t bg : {0x00FFFFFFu, 0x00204060u, 0u}) {
        ClearPixelBufferPool();
        const Picture fresh = RunChain(src, steps, bg);
        // Kept buffers full of another colour, larger than the run needs.
        for (int i = 0; i < 2; ++i) {
            PixelBuffer junk = BufferOf(20000);
            std::memset(junk.pixels.get(), 0xA5, 20000 * sizeof(RGBX));
            ReleasePixelBuffer(std::move(junk));
        }
        const Picture reused = RunChain(src, steps, bg);
        ASSERT_EQ("", DescribeFirstDifference(fresh, reused)) << std::hex << bg;
        // And again on the buffers the last run gave back.
        ASSERT_EQ("", DescribeFirstDifference(fresh, RunChain(src, steps, bg))) << std::hex << bg;
    }
}

}  // namespace
