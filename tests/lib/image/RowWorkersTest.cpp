// The row workers: every row exactly once at any thread count, a split inside a split, and the
// pool's start and stop. The conversions the engine makes its images with, on several threads.
#include <atomic>
#include <new>
#include <vector>

#include <gtest/gtest.h>

#include "lib/image/PictureConversion.h"
#include "lib/image/RowWorkers.h"
#include "tests/lib/image/TestPictures.h"

using namespace pelto_image;

namespace {

class RowWorkersTest : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override {
        SetRowThreads(GetParam());
        SetParallelMinPixels(0);
    }
    void TearDown() override {
        SetRowThreads(0);
        SetParallelMinPixels(-1);
    }
};

INSTANTIATE_TEST_SUITE_P(Threads, RowWorkersTest, ::testing::Values(1, 2, 3, 5));

TEST_P(RowWorkersTest, EveryRowRunsExactlyOnceAndSplitsInsideRunAlone) {
    for (int64_t nRows : {1, 2, 3, 7, 20, 1000}) {
        std::vector<std::atomic<int>> seen(static_cast<size_t>(nRows));
        SplitRows(nRows, nRows, [&](int64_t first, int64_t last) {
            ASSERT_LT(first, last);
            for (int64_t r = first; r < last; ++r) seen[static_cast<size_t>(r)]++;
            // A band that splits again must not wait on the pool it runs in.
            int inner = 0;
            SplitRows(4, 1 << 20, [&](int64_t a, int64_t b) { inner += static_cast<int>(b - a); });
            EXPECT_EQ(inner, 4);
        });
        for (int64_t r = 0; r < nRows; ++r)
            ASSERT_EQ(seen[static_cast<size_t>(r)].load(), 1) << "row " << r << " of " << nRows;
    }
}

TEST_P(RowWorkersTest, ABandThatThrowsFailsTheRunOnTheCallerAndThePoolGoesOn) {
    std::atomic<int> rows{0};
    EXPECT_THROW(SplitRows(1000, 1000,
                           [&](int64_t first, int64_t last) {
                               if (first <= 500 && 500 < last) throw std::bad_alloc();
                               rows += static_cast<int>(last - first);
                           }),
                 std::bad_alloc);
    EXPECT_LT(rows.load(), 1000);
    rows = 0;
    SplitRows(1000, 1000, [&](int64_t first, int64_t last) { rows += int(last - first); });
    EXPECT_EQ(rows.load(), 1000);
}

TEST_P(RowWorkersTest, PoolStartsOnUseAndStops) {
    StopRowWorkers();
    EXPECT_EQ(RunningRowWorkers(), 0);
    SplitRows(100, 100, [](int64_t, int64_t) {});
    EXPECT_EQ(RunningRowWorkers(), GetParam() - 1);
    StopRowWorkers();
    EXPECT_EQ(RunningRowWorkers(), 0);
    // A small picture with the default threshold stays on the calling thread.
    SetParallelMinPixels(-1);
    SplitRows(100, kParallelMinPixels - 1, [](int64_t, int64_t) {});
    EXPECT_EQ(RunningRowWorkers(), 0);
}

std::vector<uint8_t> Plain24(const Picture& p, int64_t stride) {
    std::vector<uint8_t> out(static_cast<size_t>(stride * p.h), 0);
    for (int y = 0; y < p.h; ++y)
        for (int x = 0; x < p.w; ++x) {
            out[static_cast<size_t>(y * stride + 3 * x)] = p.At(x, y).b;
            out[static_cast<size_t>(y * stride + 3 * x + 1)] = p.At(x, y).g;
            out[static_cast<size_t>(y * stride + 3 * x + 2)] = p.At(x, y).r;
        }
    return out;
}

TEST_P(RowWorkersTest, TwentyFourBitRowsKeepTheColoursAndZeroThePadding) {
    for (int w : {1, 2, 3, 4, 5, 7, 8, 13, 301}) {
        const Picture src = NoisePicture(w, 9, static_cast<uint32_t>(w));
        const int64_t stride = Stride24(w);
        std::vector<uint8_t> actual(static_cast<size_t>(stride * 9), 0xCD);
        ConvertTo24Bit(src.px.data(), w, 9, actual.data(), stride);
        ASSERT_EQ(actual, Plain24(src, stride)) << "width " << w;
    }
}

// Each output pixel is the rounded mean of its box; every source pixel is in one box.
Picture PlainBoxAverage(const Picture& s, int dw, int dh) {
    Picture out(dw, dh, 0);
    for (int r = 0; r < dh; ++r)
        for (int j = 0; j < dw; ++j) {
            const int64_t x0 = int64_t(j) * s.w / dw, x1 = int64_t(j + 1) * s.w / dw;
            const int64_t y0 = int64_t(r) * s.h / dh, y1 = int64_t(r + 1) * s.h / dh;
            uint64_t t[4] = {0, 0, 0, 0};
            for (int64_t y = y0; y < y1; ++y)
                for (int64_t x = x0; x < x1; ++x) {
                    const RGBX& p = s.At(static_cast<int>(x), static_cast<int>(y));
                    t[0] += p.b, t[1] += p.g, t[2] += p.r, t[3] += p.x;
                }
            const uint64_t n = static_cast<uint64_t>((x1 - x0) * (y1 - y0));
            out.At(j, r) = RGBX{uint8_t((t[0] + n / 2) / n), uint8_t((t[1] + n / 2) / n),
                                uint8_t((t[2] + n / 2) / n), uint8_t((t[3] + n / 2) / n)};
        }
    return out;
}

TEST_P(RowWorkersTest, ThumbnailIsTheRoundedBoxMean) {
    const int sizes[][4] = {{1, 1, 1, 1},     {7, 5, 7, 5},     {10, 10, 3, 3},
                            {97, 61, 38, 24}, {380, 7, 379, 1}, {1024, 768, 380, 285}};
    for (const auto& s : sizes) {
        const Picture src = ScreenshotPicture(s[0], s[1], static_cast<uint32_t>(s[2]));
        Picture actual(s[2], s[3], 0);
        BoxAverage(src.px.data(), s[0], s[1], actual.px.data(), s[2], s[3], int64_t(s[2]) * 4);
        ASSERT_EQ("", DescribeFirstDifference(PlainBoxAverage(src, s[2], s[3]), actual))
            << s[0] << " x " << s[1] << " to " << s[2] << " x " << s[3];
    }
}

}  // namespace
