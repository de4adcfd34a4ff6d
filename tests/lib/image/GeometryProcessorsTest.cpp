// Rotation, shear, scaling and mirror: the sizes, the sampler and the edge cases they must keep.
#include <climits>
#include <cmath>
#include <limits>

#include <gtest/gtest.h>

#include "lib/image/ImageFlipper.h"
#include "lib/image/ImageResizer.h"
#include "lib/image/ImageRotator.h"
#include "lib/image/ImageShearer.h"
#include "tests/lib/image/TestPictures.h"

namespace {

const uint32_t kWhite = 0x00FFFFFF;
const double kTwoPi = 6.283185307179586;

RGBX Grey(uint8_t v, uint8_t x = 0) { return RGBX{v, v, v, x}; }

TEST(WeightedColor, MatchesTheWorkedExamples) {
    // 2 x 2: top-left 0, top-right 255, bottom-left 100, bottom-right 50.
    const RGBX src[4] = {Grey(0, 7), Grey(255), Grey(100), Grey(50)};
    const CSize size(2, 2);
    CImage32BitProcessor p;
    struct Row {
        double x, y;
        uint32_t expected;
    } rows[] = {
        {0.5, 0, 0x3F3F3F},       // 63
        {0, 0.5, 0x191919},       // 25
        {0.5, 0.5, 0x585858},     // 88
        {1, 1, 0x323232},         // integer position: the pixel, fourth byte 0
        {0, 0, 0x000000},         // ... even where the source's fourth byte is not
        {-0.5, 0.3, 0x07000000},  // negative: the whole top-left pixel
        // At or past the last column or row: read there, with the limit from below.
        {2.0, 0.5, 0xCBCBCB},  // 0.5 * (255 + 127.5 + 25) = 203
        {0.5, 2.0, 0x575757},  // 0.5 * ((25 + 50) + 0 + 100) = 87
        {2.0, 2.0, 0x323232},
        {-1.0, 2.0, 0x646464},  // negative x, row clamped to the last
    };
    for (const Row& r : rows)
        EXPECT_EQ(r.expected, PixelBits(p.CalcWeightedColor(src, size, r.x, r.y)))
            << "at (" << r.x << ", " << r.y << ")";
}

TEST(WeightedColor, RefusesAnEmptySourceAndSurvivesNaN) {
    const RGBX src[1] = {Grey(9)};
    CImage32BitProcessor p;
    EXPECT_EQ(0u, PixelBits(p.CalcWeightedColor(nullptr, CSize(1, 1), 0, 0)));
    EXPECT_EQ(0u, PixelBits(p.CalcWeightedColor(src, CSize(0, 1), 0, 0)));
    EXPECT_EQ(0x090909u, PixelBits(p.CalcWeightedColor(src, CSize(1, 1), std::nan(""), 0)));
}

TEST(Rotator, SizesOfA100x50Picture) {
    struct Row {
        int deg, w, h;
    } rows[] = {{90, 52, 102}, {270, 52, 102}, {-90, 52, 102}, {180, 102, 52},  {45, 108, 108},
                {30, 112, 94}, {0, 100, 50},   {360, 100, 50}, {-720, 100, 50}, {450, 52, 102}};
    for (const Row& r : rows) {
        CImageRotator rot(r.deg, 0);
        EXPECT_EQ(CSize(r.w, r.h), rot.CalcDestSize(CSize(100, 50))) << r.deg << " degrees";
    }
    EXPECT_EQ(CSize(2, 2), CImageRotator(45, 1).CalcDestSize(CSize(1, 1)));
    EXPECT_EQ(CSize(102, 52), CImageRotator(0.0).CalcDestSize(CSize(100, 50)));
    EXPECT_EQ(CSize(0, 7), CImageRotator(45, 0).CalcDestSize(CSize(0, 7)));
    CImageRotator(INT_MIN, 0);  // reduction of the most negative angle must not overflow
}

TEST(Rotator, AnglesAreReducedIntoOneTurn) {
    EXPECT_EQ(270 * 3.141592653589793 / 180, CImageRotator(-90, 0).m_dAngle);
    EXPECT_EQ(0.0, CImageRotator(720, 0).m_dAngle);
    EXPECT_EQ(kTwoPi, CImageRotator(0.0).m_dAngle);
    EXPECT_EQ(kTwoPi - 0.5, CImageRotator(-0.5).m_dAngle);
    EXPECT_EQ(0.5 + kTwoPi + kTwoPi - kTwoPi - kTwoPi,
              CImageRotator(0.5 + kTwoPi + kTwoPi).m_dAngle);
    // Huge angles end (stepping by turns would never move them) inside the turn.
    for (double a : {1e300, -1e300, 1e17, -3e9, std::numeric_limits<double>::max()}) {
        const double r = CImageRotator(a).m_dAngle;
        EXPECT_TRUE(r > 0 && r <= kTwoPi) << a << " gave " << r;
    }
}

TEST(Rotator, NonFiniteAnglesAreRefused) {
    const Picture src = NoisePicture(4, 3, 1);
    Picture dst(4, 3, kWhite);
    for (double a : {std::numeric_limits<double>::infinity(),
                     -std::numeric_limits<double>::infinity(), std::nan("")}) {
        CImageRotator rot(a);
        EXPECT_EQ(CSize(0, 0), rot.CalcDestSize(CSize(4, 3)));
        EXPECT_EQ(0, rot.ProcessPixels(src.px.data(), src.Size(), dst.px.data(), CSize(4, 3)));
    }
}

TEST(Rotator, ZeroDegreesIsAPlainCopyAndCornersStayBackground) {
    const Picture src = NoisePicture(9, 5, 3);
    Picture out;
    CImageRotator none(360, 1);
    ASSERT_TRUE(RunProcessor(none, src, kWhite, &out));
    EXPECT_EQ("", DescribeFirstDifference(src, out));

    CImageRotator r45(45, 0);
    const Picture big = ScreenshotPicture(40, 40, 5);
    ASSERT_TRUE(RunProcessor(r45, big, 0x00123456, &out));
    for (int x : {0, out.w - 1})
        for (int y : {0, out.h - 1})
            EXPECT_EQ(PixelBits(RgbxFromColorref(0x00123456)), PixelBits(out.At(x, y)));
    // A single pixel turned by 45 degrees falls between the sample positions entirely.
    ASSERT_TRUE(RunProcessor(r45, NoisePicture(1, 1, 4), kWhite, &out));
    for (const RGBX& p : out.px) EXPECT_EQ(0xFFFFFFFFu, PixelBits(p));
}

TEST(Rotator, NinetyDegreesTurnsClockwise) {
    Picture src(3, 2, 0);
    for (int i = 0; i < 6; ++i) src.px[i] = Grey(uint8_t(10 * (i + 1)));
    CImageRotator rot(90, 0);
    Picture out;
    ASSERT_TRUE(RunProcessor(rot, src, kWhite, &out));
    ASSERT_EQ(CSize(4, 4), out.Size());
    // 10 20 30 over 40 50 60 turned clockwise: 40 10, 50 20, 60 30 from the top.
    const int expected[3][2] = {{40, 10}, {50, 20}, {60, 30}};
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 2; ++x)
            EXPECT_EQ(PixelBits(Grey(uint8_t(expected[y][x]))), PixelBits(out.At(x + 1, y)))
                << x + 1 << "," << y;
}

// The smooth rotation tests the truncated position but samples at (cw + X, ch + Y), which can
// round up onto the source width or height. This finds such cases with the rotation's own
// arithmetic, so that the run below (under AddressSanitizer, on exact buffers) is known to meet
// them, and checks the sample there is read from the last column or row.
TEST(Rotator, SmoothSamplesRoundedOntoTheEdgeStayInside) {
    int edgeHits = 0;
    for (int deg : {30, 60, 90, 180, 270}) {
        CImageRotator rot(deg, 1);
        for (int w = 1; w <= 24; ++w) {
            for (int h = 1; h <= 24; ++h) {
                const CSize d = rot.CalcDestSize(CSize(w, h));
                const int cw = w / 2 + w % 2, ch = h / 2 + h % 2;
                const double c = std::cos(rot.m_dAngle), s = std::sin(rot.m_dAngle);
                for (int i = 0; i < d.cy; ++i) {
                    double X = (i - d.cy / 2) * s - (d.cx / 2) * c;
                    double Y = (i - d.cy / 2) * c + (d.cx / 2) * s;
                    for (int j = 0; j < d.cx; ++j) {
                        X += c;
                        Y += -s;
                        const int ix = int(X), iy = int(Y);
                        if (ix < -cw || ix >= w - cw || iy < -ch || iy >= h - ch) continue;
                        if (cw + X >= w || ch + Y >= h) ++edgeHits;
                    }
                }
                Picture out;
                ASSERT_TRUE(RunProcessor(rot, NoisePicture(w, h, w * 31 + h), kWhite, &out));
            }
        }
    }
    EXPECT_GT(edgeHits, 0);
}

// Truncation toward the centre doubles the middle row and column, so not every size reaches the
// last ones; over a range of sizes and angles both modes must.
TEST(Rotator, BothModesReachTheLastColumnAndRow) {
    for (int smooth : {0, 1}) {
        int seen = 0;
        for (int deg : {30, 45, 90, 180, 270}) {
            for (int w = 2; w <= 8; ++w) {
                for (int h = 2; h <= 8; ++h) {
                    Picture src(w, h, 0);
                    src.At(w - 1, h - 1) = Grey(200);
                    CImageRotator rot(deg, smooth);
                    Picture out;
                    ASSERT_TRUE(RunProcessor(rot, src, 0x00010101, &out));
                    for (const RGBX& p : out.px) seen += p.b == 200;
                }
            }
        }
        EXPECT_GT(seen, 0) << "smooth " << smooth;
    }
}

TEST(Shearer, SizesAndSlant) {
    const Picture src = NoisePicture(20, 8, 11);
    EXPECT_EQ(CSize(30, 8), CImageShearer(10, 0, 0).CalcDestSize(src.Size()));
    EXPECT_EQ(CSize(30, 8), CImageShearer(-10, 0, 0).CalcDestSize(src.Size()));
    EXPECT_EQ(CSize(20, 15), CImageShearer(0, -7, 0).CalcDestSize(src.Size()));
    Picture out;
    ASSERT_TRUE(RunProcessor(*std::make_unique<CImageShearer>(0, 0, 1), src, kWhite, &out));
    EXPECT_EQ("", DescribeFirstDifference(src, out));

    // Across +10: the top row moves right by the full amount, the bottom row stays.
    ASSERT_TRUE(RunProcessor(*std::make_unique<CImageShearer>(10, 0, 0), src, kWhite, &out));
    EXPECT_EQ(PixelBits(src.At(0, 0)), PixelBits(out.At(10, 0)));
    EXPECT_EQ(0xFFFFFFFFu, PixelBits(out.At(9, 0)));
    // The bottom row still moves by 10 / 8 = 1.25, truncated toward zero.
    EXPECT_EQ(0xFFFFFFFFu, PixelBits(out.At(0, 7)));
    EXPECT_EQ(PixelBits(src.At(0, 7)), PixelBits(out.At(1, 7)));
    EXPECT_EQ(PixelBits(src.At(17, 7)), PixelBits(out.At(19, 7)));
    // Across -10: the other way round.
    ASSERT_TRUE(RunProcessor(*std::make_unique<CImageShearer>(-10, 0, 0), src, kWhite, &out));
    EXPECT_EQ(PixelBits(src.At(0, 0)), PixelBits(out.At(0, 0)));
    EXPECT_EQ(PixelBits(src.At(19, 0)), PixelBits(out.At(19, 0)));
    EXPECT_EQ(0xFFFFFFFFu, PixelBits(out.At(20, 0)));
    EXPECT_EQ(PixelBits(src.At(19, 7)), PixelBits(out.At(28, 7)));
    EXPECT_EQ(0xFFFFFFFFu, PixelBits(out.At(29, 7)));
}

TEST(Shearer, BothModesReachTheLastColumnAndRow) {
    for (int smooth : {0, 1}) {
        Picture src(5, 4, 0);
        src.At(4, 3) = Grey(200);
        Picture out;
        ASSERT_TRUE(
            RunProcessor(*std::make_unique<CImageShearer>(3, 2, smooth), src, 0x00010101, &out));
        bool seen = false;
        for (const RGBX& p : out.px) seen |= p.b >= 100;
        EXPECT_TRUE(seen) << "smooth " << smooth;
    }
}

TEST(Shearer, AmountsThatOverflowAreRefused) {
    EXPECT_EQ(CSize(0, 0), CImageShearer(INT_MIN, 0, 0).CalcDestSize(CSize(5, 5)));
    EXPECT_EQ(CSize(0, 0), CImageShearer(0, INT_MAX, 0).CalcDestSize(CSize(5, 5)));
    EXPECT_EQ(CSize(INT_MAX, 5), CImageShearer(INT_MAX - 5, 0, 0).CalcDestSize(CSize(5, 5)));
}

TEST(Resizer, ReductionToHalfUsesTheDocumentedColumnRanges) {
    // Two equal rows: the single output row averages both without changing the values.
    Picture src(10, 2, 0);
    const uint8_t v[10] = {10, 20, 60, 100, 101, 0, 3, 250, 251, 77};
    for (int i = 0; i < 20; ++i) src.px[i] = Grey(v[i % 10], 0xAB);
    Picture out;
    ASSERT_TRUE(RunProcessor(*std::make_unique<CImageResizer>(0.5), src, kWhite, &out));
    ASSERT_EQ(CSize(5, 1), out.Size());
    // Ranges 0-2, 3-4, 5-6, 7-8, 9; sums truncated; the fourth byte stays the background's.
    const uint8_t expected[5] = {30, 100, 1, 250, 77};
    for (int i = 0; i < 5; ++i) EXPECT_EQ(PixelBits(Grey(expected[i], 0xFF)), PixelBits(out.px[i]));
}

TEST(Resizer, NineTenthsLeavesTheLastColumnBackground) {
    const Picture src = NoisePicture(10, 10, 8);
    Picture out;
    ASSERT_TRUE(RunProcessor(*std::make_unique<CImageResizer>(0.9), src, 0x00445566, &out));
    ASSERT_EQ(CSize(9, 9), out.Size());
    const uint32_t bg = PixelBits(RgbxFromColorref(0x00445566));
    for (int y = 0; y < 9; ++y) EXPECT_EQ(bg, PixelBits(out.At(8, y))) << y;
    for (int x = 0; x < 8; ++x) EXPECT_EQ(bg, PixelBits(out.At(x, 8))) << x;
    EXPECT_NE(bg, PixelBits(out.At(7, 7)));
}

TEST(Resizer, FactorOneCopiesAndTwoInterpolates) {
    const Picture src = NoisePicture(7, 3, 9);
    Picture out;
    ASSERT_TRUE(RunProcessor(*std::make_unique<CImageResizer>(1.0), src, kWhite, &out));
    EXPECT_EQ("", DescribeFirstDifference(src, out));

    Picture two(2, 1, 0);
    two.px[0] = Grey(0, 9);
    two.px[1] = Grey(255, 9);
    ASSERT_TRUE(RunProcessor(*std::make_unique<CImageResizer>(2.0), two, kWhite, &out));
    ASSERT_EQ(CSize(4, 2), out.Size());
    // (0.5 * 255 + 0.5 * 0 + 0) / 2 = 63 between the two; the fourth byte is 0 everywhere.
    const uint8_t expected[4] = {0, 63, 255, 255};
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(PixelBits(Grey(expected[x])), PixelBits(out.At(x, y))) << x << "," << y;
}

TEST(Resizer, BadFactorsAreRefused) {
    const Picture src = NoisePicture(4, 4, 1);
    Picture dst(4, 4, kWhite);
    for (double f : {0.0, -1.0, -0.5}) {
        CImageResizer r(f);
        EXPECT_EQ(0, r.ProcessPixels(src.px.data(), src.Size(), dst.px.data(), CSize(4, 4))) << f;
    }
    const double inf = std::numeric_limits<double>::infinity();
    for (double f : {1000.0 * 1000.0, inf, std::nan("")})
        EXPECT_EQ(CSize(0, 0), CImageResizer(f).CalcDestSize(CSize(3840, 2160))) << f;
    EXPECT_EQ(CSize(-4, -4), CImageResizer(-1.0).CalcDestSize(CSize(4, 4)));
    // The destination must be the size CalcDestSize gives; a smaller one is never written.
    CImageResizer twice(2.0);
    EXPECT_EQ(0, twice.ProcessPixels(src.px.data(), src.Size(), dst.px.data(), CSize(4, 4)));
}

TEST(Flipper, MirrorsAlongTheChosenAxes) {
    const Picture src = NoisePicture(5, 3, 21);
    struct Row {
        int horz, vert;
    } rows[] = {{1, 1}, {1, 0}, {0, 1}, {0, 0}};
    for (const Row& r : rows) {
        Picture out;
        ASSERT_TRUE(RunProcessor(*std::make_unique<CImageFlipper>(r.horz, r.vert), src, 0, &out));
        ASSERT_EQ(src.Size(), out.Size());
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 5; ++x)
                ASSERT_EQ(PixelBits(src.At(x, y)),
                          PixelBits(out.At(r.horz ? 4 - x : x, r.vert ? 2 - y : y)))
                    << r.horz << r.vert << " at " << x << "," << y;
    }
}

TEST(Processors, RefuseBadCalls) {
    const Picture src = NoisePicture(4, 4, 1);
    Picture dst(8, 8, kWhite);
    CImageFlipper flip(1, 0);
    CImageRotator rot(30, 1);
    CImageShearer shear(2, 2, 1);
    CImage32BitProcessor plain;
    for (CImage32BitProcessor* p :
         std::initializer_list<CImage32BitProcessor*>{&flip, &rot, &shear, &plain}) {
        EXPECT_EQ(
            0, p->ProcessPixels(nullptr, CSize(4, 4), dst.px.data(), p->CalcDestSize(CSize(4, 4))));
        EXPECT_EQ(
            0, p->ProcessPixels(src.px.data(), CSize(4, 4), nullptr, p->CalcDestSize(CSize(4, 4))));
        EXPECT_EQ(0, p->ProcessPixels(src.px.data(), CSize(0, 4), dst.px.data(), CSize(0, 4)));
        EXPECT_EQ(0, p->ProcessPixels(src.px.data(), CSize(4, -4), dst.px.data(), CSize(4, 4)));
        EXPECT_EQ(0, p->ProcessPixels(src.px.data(), CSize(2, 2), dst.px.data(), CSize(3, 3)));
    }
}

}  // namespace
