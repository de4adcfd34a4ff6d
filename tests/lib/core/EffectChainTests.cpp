// The effect chain, the GDI+ image and its thumbnail, and the conversions between bitmaps and
// images.
#include <windows.h>

#include <gtest/gtest.h>

#include "lib/codec/GdiplusHeaders.h"

#include <memory>

#include "lib/image/RowWorkers.h"
#include "tests/lib/core/EngineSuite.h"

namespace {
// A picture with no symmetry and channel sums that grey rounding treats unevenly.
COLORREF Pattern(int x, int y) {
    return RGB((x * 7 + y * 3) & 0xFF, (x * 13 + 41) & 0xFF, (y * 11 + x + 97) & 0xFF);
}

class EffectChainTest : public CEngineSuite {
protected:
    void SetUp() override {
        CEngineSuite::SetUp();
        Core().m_config.m_bColorReplace = FALSE;
        Core().m_config.m_bSmoothTransform = FALSE;
    }

    // Loads a fresh picture as the one taken and refreshes.
    void Load(int cx, int cy) {
        HBITMAP h = MakeBitmap(cx, cy, Pattern);
        ASSERT_TRUE(h);
        Core().ResetBitmapData(h);
        ::DeleteObject(h);
        Core().RefreshImageData();
    }
    // The picture as taken, run through the given steps one at a time.
    template <typename F>
    CPixels Expected(F steps) {
        CImageBitmap bmp;
        bmp.CopyImage(Core().m_bmpOriginal.GetSafeHandle());
        steps(bmp);
        return ReadPixels(bmp.GetSafeHandle());
    }
    CPixels Processed() { return ReadPixels(Core().m_bmpProcessed.GetSafeHandle()); }
};
}  // namespace

TEST_F(EffectChainTest, AllOffLeavesThePictureAndMakesA24BitImageOfIt) {
    Load(64, 48);
    CPixels original = ReadPixels(Core().m_bmpOriginal.GetSafeHandle());
    EXPECT_EQ(DescribeDifference(Processed(), original), "");
    Gdiplus::Image* pImage = Core().GetImage();
    ASSERT_NE(pImage, nullptr);
    EXPECT_EQ(pImage->GetPixelFormat(), PixelFormat24bppRGB);
    EXPECT_EQ(DescribeDifference(ReadImagePixels(pImage), original), "");
}

TEST_F(EffectChainTest, GreyComesBeforeNegation) {
    Load(40, 30);
    CPixels greyThenNegate = Expected([](CImageBitmap& b) {
        b.GrayImage();
        b.NegateImage();
    });
    CPixels negateThenGrey = Expected([](CImageBitmap& b) {
        b.NegateImage();
        b.GrayImage();
    });
    ASSERT_NE(DescribeDifference(greyThenNegate, negateThenGrey), "")
        << "the picture cannot tell the two orders apart";
    Core().m_config.SetGrayScale(TRUE);
    Core().m_config.SetNegate(TRUE);
    Core().RefreshImageData();
    EXPECT_EQ(DescribeDifference(Processed(), greyThenNegate), "");
}

TEST_F(EffectChainTest, RotationComesBeforeScaling) {
    Load(50, 30);
    CPixels rotateThenScale = Expected([](CImageBitmap& b) {
        b.RotateImage(30, FALSE);
        b.ResizeImage(0.7);
    });
    CPixels scaleThenRotate = Expected([](CImageBitmap& b) {
        b.ResizeImage(0.7);
        b.RotateImage(30, FALSE);
    });
    ASSERT_NE(DescribeDifference(rotateThenScale, scaleThenRotate), "");
    Core().m_config.SetRotate(TRUE);
    Core().m_config.SetRotateAngle(30);
    Core().m_config.SetScale(TRUE);
    Core().m_config.SetScaleFactor(70);
    Core().RefreshImageData();
    EXPECT_EQ(DescribeDifference(Processed(), rotateThenScale), "");
}

TEST_F(EffectChainTest, ShearWithOneDirectionOffPassesZeroForIt) {
    Load(40, 30);
    Core().m_config.SetShearAcrossAmout(25);
    Core().m_config.SetShearDownAmout(15);
    CPixels downOnly = Expected([](CImageBitmap& b) { b.ShearImage(0, 15, FALSE); });
    CPixels both = Expected([](CImageBitmap& b) { b.ShearImage(25, 15, FALSE); });
    ASSERT_NE(DescribeDifference(downOnly, both), "");
    Core().m_config.SetShearDown(TRUE);
    Core().RefreshImageData();
    EXPECT_EQ(DescribeDifference(Processed(), downOnly), "");

    Core().m_config.SetShearDown(FALSE);
    Core().m_config.SetShearAcross(TRUE);
    Core().RefreshImageData();
    CPixels acrossOnly = Expected([](CImageBitmap& b) { b.ShearImage(25, 0, FALSE); });
    EXPECT_EQ(DescribeDifference(Processed(), acrossOnly), "");
}

TEST_F(EffectChainTest, WholeChainRunsInItsOrderAndNotAtAllWhenEffectsAreOff) {
    Load(36, 28);
    CPeltoConfig& c = Core().m_config;
    c.SetGrayScale(TRUE);
    c.SetNegate(TRUE);
    c.m_bColorReplace = TRUE;
    c.SetFlipHorz(TRUE);
    c.SetRotate(TRUE);
    c.SetRotateAngle(90);
    c.SetScale(TRUE);
    c.SetScaleFactor(150);
    c.SetShearDown(TRUE);
    c.SetShearDownAmout(10);
    c.SetBlur(TRUE);
    c.SetBlurFactor(3);
    c.SetSharpen(TRUE);
    c.SetSharpenFactor(2);
    CPixels expected = Expected([&](CImageBitmap& b) {
        b.GrayImage();
        b.NegateImage();
        b.ReplaceColor(RGB(0, 0, 0), RGB(255, 0, 0));
        b.FlipImage(TRUE, FALSE);
        b.RotateImage(90, FALSE);
        b.ResizeImage(1.5);
        b.ShearImage(0, 10, FALSE);
        b.BlurImage(3);
        b.SharpenImage(2);
    });
    Core().RefreshImageData();
    EXPECT_EQ(DescribeDifference(Processed(), expected), "");

    c.m_bApplyEffects = FALSE;
    Core().RefreshImageData();
    EXPECT_EQ(DescribeDifference(Processed(), ReadPixels(Core().m_bmpOriginal.GetSafeHandle())),
              "");
}

TEST_F(EffectChainTest, RefreshClearsTheNamesAndIsANoOpWithoutPicture) {
    Load(20, 20);
    Core().SetPathName(L"C:\\x\\a.png");
    Core().SetFileName(L"a.png");
    Core().m_config.SetNegate(TRUE);
    Core().RefreshImageData();
    EXPECT_TRUE(Core().GetPathName().IsEmpty());
    EXPECT_TRUE(Core().GetFileName().IsEmpty());

    CTestCore empty;
    empty.RefreshImageData();
    EXPECT_EQ(empty.GetImage(), nullptr);
    EXPECT_EQ(empty.m_bmpProcessed.GetSafeHandle(), nullptr);
}

TEST_F(EffectChainTest, ChainThatCannotRunKeepsThePreviousPicture) {
    Load(1024, 768);
    Gdiplus::Image* pBefore = Core().GetImage();
    ASSERT_NE(pBefore, nullptr);
    CPixels before = Processed();
    Core().SetPathName(L"C:\\kept.png");
    // 1024 × 768 at 100 times its size needs far more memory than a picture may take.
    Core().m_config.SetScale(TRUE);
    Core().m_config.SetScaleFactor(10000);
    Core().RefreshImageData();
    EXPECT_EQ(Core().GetImage(), pBefore);
    EXPECT_EQ(DescribeDifference(Processed(), before), "");
    EXPECT_EQ(Core().GetPathName(), CString(L"C:\\kept.png"));
    // A capture under the same settings fails the same way and keeps it too.
    EXPECT_EQ(Core().SnapRect(::GetDesktopWindow(), CRect(0, 0, 0, 0)), 0);
    EXPECT_EQ(Core().GetImage(), pBefore);
}

TEST_F(EffectChainTest, ThumbnailIsFittedIntoThePreviewWithItsMargin) {
    // The preview is 384 × 296: 380 × 292 inside the margin.
    Load(1024, 768);
    int x = -1, y = -1;
    Gdiplus::Image* pThumb = Core().GetThubImage(x, y);
    ASSERT_NE(pThumb, nullptr);
    EXPECT_EQ(pThumb->GetWidth(), 380u);
    EXPECT_EQ(pThumb->GetHeight(), 285u);
    EXPECT_EQ(x, 2);
    EXPECT_EQ(y, 5);

    Load(100, 50);  // smaller than the preview: its own size, centred
    pThumb = Core().GetThubImage(x, y);
    ASSERT_NE(pThumb, nullptr);
    EXPECT_EQ(pThumb->GetWidth(), 100u);
    EXPECT_EQ(pThumb->GetHeight(), 50u);
    EXPECT_EQ(x, (380 - 100) / 2 + 2);
    EXPECT_EQ(y, (292 - 50) / 2 + 2);

    Load(2000, 100);  // limited by the width
    pThumb = Core().GetThubImage(x, y);
    EXPECT_EQ(pThumb->GetWidth(), 380u);
    EXPECT_EQ(pThumb->GetHeight(), 19u);
    EXPECT_EQ(x, 2);
    EXPECT_EQ(y, (292 - 19) / 2 + 2);

    Core().SetThubImage(nullptr);
    EXPECT_EQ(Core().GetThubImage(x, y), nullptr);
    EXPECT_EQ(y, (292 - 19) / 2 + 2) << "position must stay when there is no image";
}

TEST_F(EffectChainTest, ConversionsBetweenBitmapsAndImages) {
    EXPECT_EQ(Core().ConvertImage(static_cast<HBITMAP>(nullptr)), nullptr);
    EXPECT_EQ(Core().ConvertImage(static_cast<const Gdiplus::Image*>(nullptr)), nullptr);
    HBITMAP h = MakeBitmap(33, 17, Pattern);
    std::unique_ptr<Gdiplus::Image> pImage(Core().ConvertImage(h));
    ASSERT_TRUE(pImage);
    EXPECT_EQ(pImage->GetPixelFormat(), PixelFormat24bppRGB);
    CPixels source = ReadPixels(h);
    EXPECT_EQ(DescribeDifference(ReadImagePixels(pImage.get()), source), "");
    std::unique_ptr<CBitmap> pBack(Core().ConvertImage(pImage.get()));
    ASSERT_TRUE(pBack);
    EXPECT_EQ(DescribeDifference(ReadPixels(pBack->GetSafeHandle()), source), "");
    ::DeleteObject(h);
}

TEST_F(EffectChainTest, TinyPreviewGetsNoThumbnail) {
    CWnd tiny;
    tiny.CreateEx(0, nullptr, L"", WS_CHILD, CRect(0, 0, 4, 40), &s_pHost->m_wndMain, 1001);
    CWnd* pOld = Core().m_pViewWnd;
    Core().m_pViewWnd = &tiny;
    Load(50, 50);
    int x, y;
    EXPECT_EQ(Core().GetThubImage(x, y), nullptr);
    EXPECT_NE(Core().GetImage(), nullptr);
    Core().m_pViewWnd = pOld;
    tiny.DestroyWindow();
}

TEST_F(EffectChainTest, ManyCapturesAndRefreshesLeaveTheGdiObjectCountFlat) {
    // The first screen DC a process takes brings objects of its own (run alone, this test is the
    // first to take one): one bitmap made and deleted beforehand keeps them out of the probe.
    ::DeleteObject(MakeBitmap(4, 4, Pattern));
    long nProbeBefore = GdiObjectCount();
    ASSERT_GE(nProbeBefore, 0) << "no way to count GDI objects here";
    HBITMAP probe[5];
    for (HBITMAP& h : probe) h = MakeBitmap(4, 4, Pattern);
    ASSERT_EQ(GdiObjectCount(), nProbeBefore + 5) << "the counter does not see new bitmaps";
    for (HBITMAP h : probe) ::DeleteObject(h);

    Core().m_config.SetNegate(TRUE);
    // One round first: lazily made objects (stock objects, caches) are not leaks.
    Core().SnapRect(::GetDesktopWindow(), CRect(0, 0, 300, 200));
    Core().CopyImageData(0);
    long nBefore = GdiObjectCount();
    for (int i = 0; i < 25; ++i) {
        EXPECT_EQ(Core().SnapRect(::GetDesktopWindow(), CRect(0, 0, 300, 200)), 1);
        Core().RefreshImageData();
        Core().CopyImageData(i & 1);
        delete Core().SnapBitmap(::GetDesktopWindow(), CRect(0, 0, 0, 0));
    }
    EXPECT_LE(GdiObjectCount(), nBefore + 2) << "GDI objects before the loop: " << nBefore;
}

// Each thumbnail pixel is the rounded mean of its box of the picture, whatever the preview's
// ratio; a picture that fits the preview is its own thumbnail.
TEST_F(EffectChainTest, ThumbnailAveragesItsBoxOfThePicture) {
    for (CSize size : {CSize(1024, 768), CSize(777, 1300), CSize(100, 50)}) {
        Load(size.cx, size.cy);
        CPixels picture = ReadPixels(Core().m_bmpOriginal.GetSafeHandle());
        int x, y;
        CPixels thumb = ReadImagePixels(Core().GetThubImage(x, y));
        ASSERT_GT(thumb.cx, 0);
        for (int r = 0; r < thumb.cy; r += 7) {
            for (int j = 0; j < thumb.cx; j += 5) {
                const int x0 = j * size.cx / thumb.cx, x1 = (j + 1) * size.cx / thumb.cx;
                const int y0 = r * size.cy / thumb.cy, y1 = (r + 1) * size.cy / thumb.cy;
                unsigned sum[3] = {0, 0, 0};
                for (int v = y0; v < y1; ++v)
                    for (int u = x0; u < x1; ++u)
                        for (int c = 0; c < 3; ++c) sum[c] += (picture.At(u, v) >> (8 * c)) & 0xFF;
                const unsigned n = static_cast<unsigned>((x1 - x0) * (y1 - y0));
                const COLORREF mean =
                    RGB((sum[0] + n / 2) / n, (sum[1] + n / 2) / n, (sum[2] + n / 2) / n);
                ASSERT_EQ(Hex(thumb.At(j, r)), Hex(mean)) << "thumbnail pixel (" << j << ", " << r
                                                          << ") of " << size.cx << " x " << size.cy;
            }
        }
    }
}

// Columns of opaque white and of fully transparent black, as a picture with transparency often
// holds: shown over white, as the preview shows it, the thumbnail is white too.
TEST_F(EffectChainTest, ThumbnailOfASeeThroughPictureKeepsItsColours) {
    const int w = 800, h = 600;
    Gdiplus::Bitmap picture(w, h, PixelFormat32bppARGB);
    Gdiplus::Rect all(0, 0, w, h);
    Gdiplus::BitmapData data = {};
    ASSERT_EQ(picture.LockBits(&all, Gdiplus::ImageLockModeWrite, PixelFormat32bppARGB, &data),
              Gdiplus::Ok);
    for (int y = 0; y < h; ++y) {
        auto* row = reinterpret_cast<UINT32*>(static_cast<BYTE*>(data.Scan0) + y * data.Stride);
        for (int x = 0; x < w; ++x) row[x] = x % 2 ? 0x00000000u : 0xFFFFFFFFu;
    }
    picture.UnlockBits(&data);
    Core().SetThubImage(&picture);
    int x = 0, y = 0;
    Gdiplus::Image* pThumb = Core().GetThubImage(x, y);
    ASSERT_NE(pThumb, nullptr);
    const INT tw = static_cast<INT>(pThumb->GetWidth()), th = static_cast<INT>(pThumb->GetHeight());
    Gdiplus::Bitmap shown(tw, th, PixelFormat24bppRGB);
    {
        Gdiplus::Graphics g(&shown);
        g.Clear(Gdiplus::Color(255, 255, 255, 255));
        g.DrawImage(pThumb, 0, 0, tw, th);
    }
    for (INT px : {0, tw / 3, tw / 2, tw - 1}) {
        Gdiplus::Color c;
        shown.GetPixel(px, th / 2, &c);
        EXPECT_GE(c.GetR(), 250) << "column " << px;
        EXPECT_GE(c.GetB(), 250) << "column " << px;
    }
}

// The effects' worker threads end with the engine that started them.
TEST_F(EffectChainTest, EffectWorkersStopWithTheEngine) {
    pelto_image::SetRowThreads(2);
    {
        CTestCore engine;
        HBITMAP h = MakeBitmap(640, 480, Pattern);
        engine.ResetBitmapData(h);
        ::DeleteObject(h);
        engine.m_config.m_bApplyEffects = TRUE;
        engine.m_config.SetBlur(TRUE);
        engine.RefreshImageData();
        ASSERT_NE(engine.GetImage(), nullptr);
        EXPECT_EQ(pelto_image::RunningRowWorkers(), 1);
    }
    EXPECT_EQ(pelto_image::RunningRowWorkers(), 0);
    pelto_image::SetRowThreads(0);
}
