// Every processor against its plain reference version, byte for byte (fourth byte included), on
// every small size and on random larger ones, over backgrounds whose fourth byte differs, at
// every vector width the machine has, on one, two and three threads. The destinations are exactly
// as large as the output, so AddressSanitizer reports any stray access.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "lib/image/ColorProcessors.h"
#include "lib/image/CpuFeatures.h"
#include "lib/image/FilterProcessors.h"
#include "lib/image/ImageFlipper.h"
#include "lib/image/ImageResizer.h"
#include "lib/image/ImageRotator.h"
#include "lib/image/ImageShearer.h"
#include "lib/image/RowWorkers.h"
#include "tests/lib/image/ReferenceProcessors.h"
#include "tests/lib/image/TestPictures.h"

namespace {

struct Case {
    std::string name;
    std::function<std::unique_ptr<CImage32BitProcessor>()> make;
    std::function<CSize(int, int)> size;  // the reference's idea of the output size
    std::function<void(const Picture&, Picture&)> run;
};

CSize Same(int w, int h) { return CSize(w, h); }

std::vector<Case> Rotations() {
    std::vector<Case> cases;
    for (int deg : {1, 30, 45, 60, 90, 135, 180, 270, 333}) {
        for (int smooth : {0, 1}) {
            cases.push_back({"rotate " + std::to_string(deg) + (smooth ? " smooth" : ""),
                             [=] { return std::make_unique<CImageRotator>(deg, smooth); },
                             [=](int w, int h) {
                                 int dw, dh;
                                 ref::RotatedSize(deg * 3.141592653589793 / 180, w, h, &dw, &dh);
                                 return CSize(dw, dh);
                             },
                             [=](const Picture& s, Picture& d) {
                                 ref::Rotate(deg * 3.141592653589793 / 180, smooth, s.px.data(),
                                             s.w, s.h, d.px.data(), d.w, d.h);
                             }});
        }
    }
    cases.push_back(
        {"rotate radian 0 (full turn)", [] { return std::make_unique<CImageRotator>(0.0); },
         [](int w, int h) {
             int dw, dh;
             ref::RotatedSize(6.283185307179586, w, h, &dw, &dh);
             return CSize(dw, dh);
         },
         [](const Picture& s, Picture& d) {
             ref::Rotate(6.283185307179586, false, s.px.data(), s.w, s.h, d.px.data(), d.w, d.h);
         }});
    return cases;
}

std::vector<Case> Shears() {
    std::vector<Case> cases;
    const int amounts[][2] = {{10, 0}, {-10, 0}, {0, 7}, {0, -7}, {5, 3}, {-3, -50}, {50, 50}};
    for (const auto& a : amounts) {
        for (int smooth : {0, 1}) {
            int across = a[0], down = a[1];
            cases.push_back(
                {"shear " + std::to_string(across) + "/" + std::to_string(down) +
                     (smooth ? " smooth" : ""),
                 [=] { return std::make_unique<CImageShearer>(across, down, smooth); },
                 [=](int w, int h) { return CSize(w + std::abs(across), h + std::abs(down)); },
                 [=](const Picture& s, Picture& d) {
                     ref::Shear(across, down, smooth, s.px.data(), s.w, s.h, d.px.data(), d.w, d.h);
                 }});
        }
    }
    return cases;
}

std::vector<Case> Resizes() {
    std::vector<Case> cases;
    for (double f : {2.0, 0.5, 0.9, 1.3, 3.0, 0.3, 0.25, 1.5, 4.0, 0.7}) {
        cases.push_back({"resize " + std::to_string(f),
                         [=] { return std::make_unique<CImageResizer>(f); },
                         [=](int w, int h) { return CSize(int(w * f), int(h * f)); },
                         [=](const Picture& s, Picture& d) {
                             if (f > 1)
                                 ref::Enlarge(f, s.px.data(), s.w, s.h, d.px.data(), d.w, d.h);
                             else
                                 ref::Shrink(f, s.px.data(), s.w, s.h, d.px.data(), d.w, d.h);
                         }});
    }
    return cases;
}

std::vector<Case> PerPixelAndFilters() {
    std::vector<Case> cases;
    for (int horz : {0, 1}) {
        for (int vert : {0, 1}) {
            cases.push_back({"flip " + std::to_string(horz) + std::to_string(vert),
                             [=] { return std::make_unique<CImageFlipper>(horz, vert); }, Same,
                             [=](const Picture& s, Picture& d) {
                                 ref::Flip(horz, vert, s.px.data(), s.w, s.h, d.px.data());
                             }});
        }
    }
    cases.push_back(
        {"gray", [] { return std::make_unique<CImageGrayer>(); }, Same,
         [](const Picture& s, Picture& d) { ref::Gray(s.px.data(), s.w, s.h, d.px.data()); }});
    cases.push_back(
        {"negate", [] { return std::make_unique<CImageNegator>(); }, Same,
         [](const Picture& s, Picture& d) { ref::Negate(s.px.data(), s.w, s.h, d.px.data()); }});
    for (uint32_t from : {0x000000u, 0xFFFFFFu, 0xD77800u}) {
        cases.push_back({"replace " + std::to_string(from),
                         [=] { return std::make_unique<CImageColorReplacer>(from, 0xFF); }, Same,
                         [=](const Picture& s, Picture& d) {
                             ref::ReplaceColor(from, 0xFF, s.px.data(), s.w, s.h, d.px.data());
                         }});
    }
    for (int n = 0; n <= 10; ++n) {
        cases.push_back({"blur " + std::to_string(n),
                         [=] { return std::make_unique<CImageBlurrer>(n); }, Same,
                         [=](const Picture& s, Picture& d) {
                             ref::Blur(n, s.px.data(), s.w, s.h, d.px.data());
                         }});
        cases.push_back({"sharpen " + std::to_string(n),
                         [=] { return std::make_unique<CImageSharpener>(n); }, Same,
                         [=](const Picture& s, Picture& d) {
                             ref::Sharpen(n, s.px.data(), s.w, s.h, d.px.data());
                         }});
    }
    return cases;
}

std::vector<std::pair<int, int>> Sizes() {
    std::vector<std::pair<int, int>> sizes;
    for (int w = 1; w <= 7; ++w)
        for (int h = 1; h <= 7; ++h) sizes.push_back({w, h});
    std::mt19937 rng(2024);
    for (int i = 0; i < 5; ++i) sizes.push_back({8 + int(rng() % 140), 8 + int(rng() % 100)});
    sizes.push_back({1, 61});
    sizes.push_back({61, 1});
    // Around the four- and eight-pixel blocks of the vector paths (every width up to 40, so that
    // the blocks that start on a 32-byte line fall at every place in the row), and past the
    // 256-column strips, where a block or a strip ends on the last column or one short of it, or
    // the last strip takes the few columns left after it.
    for (int w = 8; w <= 40; ++w) sizes.push_back({w, 3 + w % 2});
    sizes.push_back({259, 4});
    sizes.push_back({300, 5});
    for (int w : {258, 261, 263, 266, 521, 1031}) sizes.push_back({w, 3 + w % 2});
    // Turned and slanted runs whose 64-position pieces lie wholly inside the picture, beside
    // pieces that cross its edges, and slants whose 256-column strips split into such pieces.
    sizes.push_back({331, 97});
    return sizes;
}

void CheckAgainstReference(const std::vector<Case>& cases) {
    const uint32_t backgrounds[] = {0x00FFFFFF, 0x00336699};
    uint32_t seed = 1;
    for (const Case& c : cases) {
        for (auto [w, h] : Sizes()) {
            ++seed;
            const Picture src =
                (seed % 2) ? NoisePicture(w, h, seed) : ScreenshotPicture(w, h, seed);
            const uint32_t bg = backgrounds[seed % 2];
            std::unique_ptr<CImage32BitProcessor> proc = c.make();
            const CSize size = c.size(w, h);
            Picture actual;
            if (size.cx <= 0 || size.cy <= 0) {
                // A reduction to nothing is refused rather than run on an empty buffer.
                EXPECT_FALSE(RunProcessor(*proc, src, bg, &actual)) << c.name << " on " << w;
                continue;
            }
            Picture expected(size.cx, size.cy, bg);
            c.run(src, expected);
            ASSERT_TRUE(RunProcessor(*proc, src, bg, &actual))
                << c.name << " on " << w << " x " << h;
            ASSERT_EQ("", DescribeFirstDifference(expected, actual))
                << c.name << " on " << w << " x " << h << ", seed " << seed;
        }
    }
}

// Blocks of one colour each, the values spread over the whole range (0 and 255 included), so
// that neighbourhoods of a single colour and the edges between them both occur at every
// strength of the filters and under every sampler.
Picture BlockPicture(int w, int h, int block, uint32_t seed) {
    std::mt19937 rng(seed);
    std::vector<RGBX> colours;
    for (int i = 0; i < 64; ++i) {
        const uint32_t v = rng();
        const uint8_t edge = (i % 3 == 0) ? 0 : 255;
        colours.push_back(
            i % 4 == 0 ? RGBX{edge, edge, edge, uint8_t(v >> 24)}
                       : RGBX{uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)});
    }
    Picture p(w, h, 0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            RGBX c = colours[((y / block) * 7 + (x / block) * 3) % colours.size()];
            c.x = uint8_t(x * 31 + y);  // the fourth byte never makes a block look mixed
            p.At(x, y) = c;
        }
    return p;
}

// The kernels of one vector width (512, 256 or 128 bits) on one, two or three threads: the
// shipped program takes whichever width the user's processor offers, so each is checked where
// this machine has it, and reported as skipped where it has not; the rows of every picture, however
// small, are split among the threads, so each band edge meets every size.
class FastVsReferenceAtWidth
    : public ::testing::TestWithParam<std::tuple<pelto_image::VectorLevel, int>> {
protected:
    void SetUp() override {
        const pelto_image::VectorLevel level = std::get<0>(GetParam());
        if (level > pelto_image::CpuVectorLevel())
            GTEST_SKIP() << "this processor has no " << WidthName(level) << " vectors";
        pelto_image::SetVectorLevel(level);
        pelto_image::SetRowThreads(std::get<1>(GetParam()));
        pelto_image::SetParallelMinPixels(0);
    }
    void TearDown() override {
        pelto_image::SetVectorLevel(pelto_image::kVectorAvx512);
        pelto_image::SetRowThreads(0);
        pelto_image::SetParallelMinPixels(-1);
    }

public:
    static std::string WidthName(pelto_image::VectorLevel level) {
        return level == pelto_image::kVectorAvx512
                   ? "512-bit"
                   : (level == pelto_image::kVectorAvx2 ? "256-bit" : "128-bit");
    }
};

INSTANTIATE_TEST_SUITE_P(
    Widths, FastVsReferenceAtWidth,
    ::testing::Combine(::testing::Values(pelto_image::kVectorAvx512, pelto_image::kVectorAvx2,
                                         pelto_image::kVectorSse2),
                       ::testing::Values(1, 2, 3)),
    [](const ::testing::TestParamInfo<std::tuple<pelto_image::VectorLevel, int>>& info) {
        return "bits" + FastVsReferenceAtWidth::WidthName(std::get<0>(info.param)).substr(0, 3) +
               "_threads" + std::to_string(std::get<1>(info.param));
    });

void CheckFlatBlocks() {
    std::vector<Case> cases = PerPixelAndFilters();
    for (const Case& c : Rotations()) cases.push_back(c);
    for (const Case& c : Shears()) cases.push_back(c);
    for (const Case& c : cases) {
        for (auto [w, h, block] : {std::tuple{40, 30, 5}, std::tuple{67, 9, 4},
                                   std::tuple{9, 67, 6}, std::tuple{300, 7, 3}}) {
            const Picture src = BlockPicture(w, h, block, static_cast<uint32_t>(w * h));
            const CSize size = c.size(w, h);
            Picture expected(size.cx, size.cy, 0x00336699);
            c.run(src, expected);
            std::unique_ptr<CImage32BitProcessor> proc = c.make();
            Picture actual;
            ASSERT_TRUE(RunProcessor(*proc, src, 0x00336699, &actual)) << c.name;
            ASSERT_EQ("", DescribeFirstDifference(expected, actual))
                << c.name << " on blocks of " << block << " in " << w << " x " << h;
        }
    }
}

TEST_P(FastVsReferenceAtWidth, FlatBlocks) { CheckFlatBlocks(); }

TEST_P(FastVsReferenceAtWidth, Rotation) { CheckAgainstReference(Rotations()); }
TEST_P(FastVsReferenceAtWidth, Shear) { CheckAgainstReference(Shears()); }
TEST_P(FastVsReferenceAtWidth, Resize) { CheckAgainstReference(Resizes()); }

// Boxes of up to a few thousand pixels are divided through a table of reciprocals, larger ones
// by division: both sides of that limit, on the whitest and the darkest pictures too (the
// largest and smallest sums). Rows wider than the reduction's strip of 4096 output columns are
// done in pieces, and a run of two-column boxes may cross from one piece into the next.
TEST_P(FastVsReferenceAtWidth, ShrinkWithLargeBoxesAndWideRows) {
    struct Row {
        int w, h;
        std::vector<double> factors;
    };
    const Row rows[] = {{700, 450, {0.03, 0.0157, 0.016, 0.01, 0.004}},
                        {8203, 7, {0.5, 0.7, 0.999}},
                        {8194, 4, {0.5}}};
    for (const Row& row : rows) {
        const int w = row.w, h = row.h;
        std::vector<Picture> sources = {NoisePicture(w, h, 5), Picture(w, h, 0x00FFFFFF),
                                        Picture(w, h, 0)};
        for (const Picture& src : sources) {
            for (double f : row.factors) {
                CImageResizer shrink(f);
                const CSize size = shrink.CalcDestSize(src.Size());
                Picture expected(size.cx, size.cy, 0x00336699);
                ref::Shrink(f, src.px.data(), w, h, expected.px.data(), size.cx, size.cy);
                Picture actual;
                ASSERT_TRUE(RunProcessor(shrink, src, 0x00336699, &actual)) << f;
                ASSERT_EQ("", DescribeFirstDifference(expected, actual))
                    << "factor " << f << " of " << w << " x " << h;
            }
        }
    }
}
TEST_P(FastVsReferenceAtWidth, PerPixelAndFilters) { CheckAgainstReference(PerPixelAndFilters()); }

// The filters leave each destination pixel's fourth byte as they found it, pixel by pixel: on a
// destination of noise, a path that took one fourth byte for all (or wrote its own) differs from
// the plain version at the edges or inside.
TEST_P(FastVsReferenceAtWidth, FiltersKeepEachFourthByteOfTheDestination) {
    for (auto [w, h] : std::vector<std::pair<int, int>>{{3, 3}, {37, 5}, {300, 6}}) {
        const Picture src = ScreenshotPicture(w, h, 11);
        const Picture noise = NoisePicture(w, h, 12);
        for (int n : {1, 5, 10}) {
            for (bool blur : {true, false}) {
                Picture expected = noise, actual = noise;
                std::unique_ptr<CImage32BitProcessor> proc;
                if (blur) {
                    ref::Blur(n, src.px.data(), w, h, expected.px.data());
                    proc = std::make_unique<CImageBlurrer>(n);
                } else {
                    ref::Sharpen(n, src.px.data(), w, h, expected.px.data());
                    proc = std::make_unique<CImageSharpener>(n);
                }
                ASSERT_EQ(1, proc->ProcessPixels(src.px.data(), src.Size(), actual.px.data(),
                                                 actual.Size()));
                ASSERT_EQ("", DescribeFirstDifference(expected, actual))
                    << (blur ? "blur " : "sharpen ") << n << " on " << w << " x " << h;
            }
        }
    }
}

// Pictures larger than the caches are mirrored with stores that bypass them, which need whole
// aligned vectors: every alignment of the destination row, both flip directions, rows whose
// width is not a multiple of the vector.
TEST_P(FastVsReferenceAtWidth, MirrorLargerThanCaches) {
    if (std::get<1>(GetParam()) != 1) GTEST_SKIP() << "the mirror runs on one thread";
    const int w = 2053, h = 2111;  // 17.3 MB
    const Picture src = NoisePicture(w, h, 99);
    for (int bVert : {0, 1}) {
        Picture expected(w, h, 0);
        ref::Flip(true, bVert != 0, src.px.data(), w, h, expected.px.data());
        for (size_t shift : {0, 1, 3, 7}) {
            // The destination starts `shift` pixels into a buffer of exactly the right size.
            std::vector<RGBX> buffer(static_cast<size_t>(w) * h + shift);
            CImageFlipper flip(1, bVert);
            ASSERT_TRUE(
                flip.ProcessPixels(src.px.data(), src.Size(), buffer.data() + shift, src.Size()));
            Picture actual(w, h, 0);
            std::copy(buffer.begin() + static_cast<std::ptrdiff_t>(shift), buffer.end(),
                      actual.px.begin());
            ASSERT_EQ("", DescribeFirstDifference(expected, actual))
                << "shift " << shift << (bVert ? ", upside down" : "");
        }
    }
}

// ---- Random cases ----

// A number in [lo, hi) from the generator's bits, the same on every platform.
double Uniform(std::mt19937& rng, double lo, double hi) {
    return lo + (hi - lo) * (static_cast<double>(rng()) / 4294967296.0);
}

int UniformInt(std::mt19937& rng, int lo, int hi) {
    return lo + static_cast<int>(rng() % static_cast<uint32_t>(hi - lo + 1));
}

// One processor with its settings drawn at random: angles (whole degrees of several turns either
// way, and any radian), factors of both resizes, shear amounts, filter strengths past both ends
// of their range, flips, and colours to replace that occur in the picture or do not.
Case RandomProcessor(std::mt19937& rng, const Picture& src) {
    const double kTwoPi = 6.283185307179586;
    const int smooth = static_cast<int>(rng() % 2);
    switch (rng() % 8) {
        case 0: {
            const int deg = UniformInt(rng, 1, 359) + 360 * UniformInt(rng, -2, 2);
            const double angle = ((deg % 360 + 360) % 360) * 3.141592653589793 / 180;
            Case c = Rotations()[0];
            c.name = "rotate " + std::to_string(deg) + (smooth ? " smooth" : "");
            c.make = [=] { return std::make_unique<CImageRotator>(deg, smooth); };
            c.size = [=](int w, int h) {
                int dw, dh;
                ref::RotatedSize(angle, w, h, &dw, &dh);
                return CSize(dw, dh);
            };
            c.run = [=](const Picture& s, Picture& d) {
                ref::Rotate(angle, smooth, s.px.data(), s.w, s.h, d.px.data(), d.w, d.h);
            };
            return c;
        }
        case 1: {
            // The turn the processor takes for any radian is the one in (0, 2 pi].
            const double radians = Uniform(rng, -20, 20);
            double angle = radians;
            while (angle >= kTwoPi) angle -= kTwoPi;
            while (angle <= 0) angle += kTwoPi;
            return Case{"rotate " + std::to_string(radians) + " rad",
                        [=] { return std::make_unique<CImageRotator>(radians); },
                        [=](int w, int h) {
                            int dw, dh;
                            ref::RotatedSize(angle, w, h, &dw, &dh);
                            return CSize(dw, dh);
                        },
                        [=](const Picture& s, Picture& d) {
                            ref::Rotate(angle, false, s.px.data(), s.w, s.h, d.px.data(), d.w, d.h);
                        }};
        }
        case 2: {
            const int across = UniformInt(rng, -80, 80), down = UniformInt(rng, -80, 80);
            return Case{
                "shear " + std::to_string(across) + "/" + std::to_string(down) +
                    (smooth ? " smooth" : ""),
                [=] { return std::make_unique<CImageShearer>(across, down, smooth); },
                [=](int w, int h) { return CSize(w + std::abs(across), h + std::abs(down)); },
                [=](const Picture& s, Picture& d) {
                    ref::Shear(across, down, smooth, s.px.data(), s.w, s.h, d.px.data(), d.w, d.h);
                }};
        }
        case 3: {
            const double f = (rng() % 2) ? Uniform(rng, 1.001, 4.5) : Uniform(rng, 0.02, 0.999);
            return Case{"resize " + std::to_string(f),
                        [=] { return std::make_unique<CImageResizer>(f); },
                        [=](int w, int h) { return CSize(int(w * f), int(h * f)); },
                        [=](const Picture& s, Picture& d) {
                            if (f > 1)
                                ref::Enlarge(f, s.px.data(), s.w, s.h, d.px.data(), d.w, d.h);
                            else
                                ref::Shrink(f, s.px.data(), s.w, s.h, d.px.data(), d.w, d.h);
                        }};
        }
        case 4: {
            // Past both ends of 0 .. 10, where the strength is clamped.
            const int n = UniformInt(rng, -3, 13);
            if (rng() % 2)
                return Case{"blur " + std::to_string(n),
                            [=] { return std::make_unique<CImageBlurrer>(n); }, Same,
                            [=](const Picture& s, Picture& d) {
                                ref::Blur(n, s.px.data(), s.w, s.h, d.px.data());
                            }};
            return Case{"sharpen " + std::to_string(n),
                        [=] { return std::make_unique<CImageSharpener>(n); }, Same,
                        [=](const Picture& s, Picture& d) {
                            ref::Sharpen(n, s.px.data(), s.w, s.h, d.px.data());
                        }};
        }
        case 5: {
            const int horz = static_cast<int>(rng() % 2), vert = static_cast<int>(rng() % 2);
            return PerPixelAndFilters()[static_cast<size_t>(horz * 2 + vert)];
        }
        case 6: {
            const std::vector<Case> all = PerPixelAndFilters();
            return all[4 + rng() % 2];  // grey, negation
        }
        default: {
            // Half the time a colour of the picture itself, so that replacements happen.
            const RGBX p = src.px[rng() % src.px.size()];
            const uint32_t from = (rng() % 2) ? (uint32_t(p.r) | uint32_t(p.g) << 8 |
                                                 uint32_t(p.b) << 16 | (rng() & 0xFF000000u))
                                              : rng();
            const uint32_t to = rng();
            return Case{"replace " + std::to_string(from) + " by " + std::to_string(to),
                        [=] { return std::make_unique<CImageColorReplacer>(from, to); }, Same,
                        [=](const Picture& s, Picture& d) {
                            ref::ReplaceColor(from, to, s.px.data(), s.w, s.h, d.px.data());
                        }};
        }
    }
}

// Case n draws everything from the seed n: the picture, its size, the background, the processor
// and its settings. PELTO_CASE=n runs that case alone, at every width.
void CheckRandomCase(uint32_t n) {
    std::mt19937 rng(n);
    const int w = UniformInt(rng, 1, 150), h = UniformInt(rng, 1, 120);
    const Picture src = (rng() % 2) ? NoisePicture(w, h, n) : ScreenshotPicture(w, h, n);
    const uint32_t bg = rng();
    const Case c = RandomProcessor(rng, src);
    const std::string where = "case " + std::to_string(n) + " (PELTO_CASE=" + std::to_string(n) +
                              " reruns it): " + c.name + " on " + std::to_string(w) + " x " +
                              std::to_string(h);
    std::unique_ptr<CImage32BitProcessor> proc = c.make();
    const CSize size = c.size(w, h);
    Picture actual;
    if (size.cx <= 0 || size.cy <= 0) {
        EXPECT_FALSE(RunProcessor(*proc, src, bg, &actual)) << where;
        return;
    }
    Picture expected(size.cx, size.cy, bg);
    c.run(src, expected);
    ASSERT_TRUE(RunProcessor(*proc, src, bg, &actual)) << where;
    ASSERT_EQ("", DescribeFirstDifference(expected, actual)) << where;
}

TEST_P(FastVsReferenceAtWidth, RandomCases) {
    if (const char* only = std::getenv("PELTO_CASE")) {
        CheckRandomCase(static_cast<uint32_t>(std::strtoul(only, nullptr, 10)));
        return;
    }
    for (uint32_t n = 0; n < 1000 && !HasFatalFailure(); ++n) CheckRandomCase(n);
}

}  // namespace
