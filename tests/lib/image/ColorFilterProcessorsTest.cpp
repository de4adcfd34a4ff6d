// Grey, negation, colour replacement, blur and sharpen: the documented values, and which pixels
// keep the background's fourth byte.
#include <memory>

#include <gtest/gtest.h>

#include "lib/image/ColorProcessors.h"
#include "lib/image/FilterProcessors.h"
#include "tests/lib/image/TestPictures.h"

namespace {

const uint32_t kWhite = 0x00FFFFFF;  // fills every byte, the fourth included, with 0xFF

RGBX Rgb(uint8_t r, uint8_t g, uint8_t b, uint8_t x = 0) { return RGBX{b, g, r, x}; }

// A black picture of 7 x 7 with one pixel of the given value in the middle.
Picture Spot(uint8_t v) {
    Picture p(7, 7, 0);
    p.At(3, 3) = Rgb(v, v, v);
    return p;
}

TEST(Grayer, DocumentedValuesWithFourthByteZero) {
    struct Row {
        RGBX in;
        uint8_t grey;
    } rows[] = {{Rgb(255, 0, 0, 0x55), 76},   {Rgb(0, 255, 0), 153},    {Rgb(0, 0, 255), 25},
                {Rgb(255, 255, 255, 9), 255}, {Rgb(200, 100, 50), 125}, {Rgb(0, 0, 0), 0}};
    Picture src(6, 1, 0);
    for (int i = 0; i < 6; ++i) src.px[i] = rows[i].in;
    CImageGrayer grey;
    Picture out;
    ASSERT_TRUE(RunProcessor(grey, src, kWhite, &out));
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(PixelBits(Rgb(rows[i].grey, rows[i].grey, rows[i].grey)), PixelBits(out.px[i]))
            << i;
}

TEST(Negator, InvertsChannelsAndKeepsTheBackgroundsFourthByte) {
    Picture src(5, 1, 0);
    src.px[0] = Rgb(0, 0, 0, 0x12);
    CImageNegator neg;
    Picture once, twice;
    ASSERT_TRUE(RunProcessor(neg, src, kWhite, &once));
    EXPECT_EQ(0xFFFFFFFFu, PixelBits(once.px[0]));
    ASSERT_TRUE(RunProcessor(neg, src, 0x00010203, &once));
    EXPECT_EQ(0x00FFFFFFu, PixelBits(once.px[0]));  // that background's fourth byte is 0

    const Picture noise = NoisePicture(9, 4, 5);
    ASSERT_TRUE(RunProcessor(neg, noise, 0, &once));
    ASSERT_TRUE(RunProcessor(neg, once, 0, &twice));
    for (size_t i = 0; i < noise.px.size(); ++i)
        ASSERT_EQ(PixelBits(noise.px[i]) & 0xFFFFFF, PixelBits(twice.px[i])) << i;
}

TEST(ColorReplacer, ReplacesOnlyExactMatchesWhateverTheFourthByte) {
    Picture src(4, 1, 0);
    src.px[0] = Rgb(0, 0, 0, 0x7F);
    src.px[1] = Rgb(0, 0, 1, 0x33);
    src.px[2] = Rgb(1, 0, 0);
    src.px[3] = Rgb(0, 0, 0);
    CImageColorReplacer blackToRed(0x000000, 0x0000FF);
    Picture out;
    ASSERT_TRUE(RunProcessor(blackToRed, src, kWhite, &out));
    EXPECT_EQ(PixelBits(Rgb(255, 0, 0)), PixelBits(out.px[0]));
    EXPECT_EQ(PixelBits(src.px[1]), PixelBits(out.px[1]));
    EXPECT_EQ(PixelBits(src.px[2]), PixelBits(out.px[2]));
    EXPECT_EQ(PixelBits(Rgb(255, 0, 0)), PixelBits(out.px[3]));

    CImageColorReplacer same(0x000000, 0x000000);
    ASSERT_TRUE(RunProcessor(same, src, kWhite, &out));
    EXPECT_EQ("", DescribeFirstDifference(src, out));
}

TEST(Blurrer, SpotValuesAtStrengthOneAndTen) {
    struct Row {
        int strength;
        uint8_t centre, neighbour;
    } rows[] = {{1, 219, 4}, {10, 98, 19}, {20, 98, 19}};
    for (const Row& r : rows) {
        CImageBlurrer blur(r.strength);
        Picture out;
        ASSERT_TRUE(RunProcessor(blur, Spot(255), kWhite, &out));
        for (int y = 2; y <= 4; ++y) {
            for (int x = 2; x <= 4; ++x) {
                const uint8_t v = (x == 3 && y == 3) ? r.centre : r.neighbour;
                // The fourth byte is not written: it keeps the background's 0xFF.
                EXPECT_EQ(PixelBits(Rgb(v, v, v, 0xFF)), PixelBits(out.At(x, y)))
                    << "strength " << r.strength << " at " << x << "," << y;
            }
        }
        EXPECT_EQ(0xFF000000u, PixelBits(out.At(1, 3)));
    }
    EXPECT_EQ(10, CImageBlurrer(20).m_nFactor);
    EXPECT_EQ(0, CImageBlurrer(-3).m_nFactor);
    EXPECT_EQ(5, CImageBlurrer().m_nFactor);
}

TEST(Blurrer, NegativeStrengthCopiesAndUniformPicturesKeepTheirColour) {
    const Picture noise = NoisePicture(6, 5, 2);
    Picture out;
    CImageBlurrer none(-3);
    ASSERT_TRUE(RunProcessor(none, noise, kWhite, &out));
    EXPECT_EQ("", DescribeFirstDifference(noise, out));

    for (int strength = 1; strength <= 10; ++strength) {
        const Picture flat(9, 6, 0x00A0B0C0);  // borders and corners divide by smaller sums
        CImageBlurrer blur(strength);
        ASSERT_TRUE(RunProcessor(blur, flat, 0, &out));
        EXPECT_EQ("", DescribeFirstDifference(flat, out)) << "strength " << strength;
    }
}

TEST(Sharpener, KeepsTheBorderAndSharpensASpot) {
    const Picture noise = NoisePicture(8, 6, 4);
    CImageSharpener sharpen(7);
    Picture out;
    ASSERT_TRUE(RunProcessor(sharpen, noise, kWhite, &out));
    for (int x = 0; x < 8; ++x) {
        EXPECT_EQ(PixelBits(noise.At(x, 0)), PixelBits(out.At(x, 0)));
        EXPECT_EQ(PixelBits(noise.At(x, 5)), PixelBits(out.At(x, 5)));
    }
    for (int y = 0; y < 6; ++y) {
        EXPECT_EQ(PixelBits(noise.At(0, y)), PixelBits(out.At(0, y)));
        EXPECT_EQ(PixelBits(noise.At(7, y)), PixelBits(out.At(7, y)));
    }
    EXPECT_EQ(0xFFu, out.At(3, 3).x);  // inside, the fourth byte is the background's

    CImageSharpener strongest(10);
    ASSERT_TRUE(RunProcessor(strongest, Spot(100), 0, &out));
    for (int y = 2; y <= 4; ++y)
        for (int x = 2; x <= 4; ++x)
            EXPECT_EQ((x == 3 && y == 3) ? 200u : 0u, out.At(x, y).g) << x << "," << y;
}

TEST(Sharpener, UniformAreasAtStrengthTenStayAndElsewhereMayDropOneLevel) {
    int dropped = 0;
    for (int v = 0; v <= 255; ++v) {
        const Picture flat(3, 3, 0x00010101u * static_cast<uint32_t>(v));
        Picture ten, five;
        CImageSharpener s10(10), s5(5);
        ASSERT_TRUE(RunProcessor(s10, flat, 0, &ten));
        ASSERT_TRUE(RunProcessor(s5, flat, 0, &five));
        EXPECT_EQ(v, ten.At(1, 1).r) << v;
        EXPECT_TRUE(five.At(1, 1).r == v || five.At(1, 1).r == v - 1) << v;
        dropped += five.At(1, 1).r == v - 1;
    }
    // Truncating a sum that should be exactly v loses a level for some values.
    EXPECT_GT(dropped, 0);
}

}  // namespace
