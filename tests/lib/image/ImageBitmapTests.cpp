// The GDI side of the bitmap holder: pixel transfers, copying, the chain driver around the
// portable chain, and loading real files and resources.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "framework/FxString.h"
#include "lib/image/ColorProcessors.h"
#include "lib/image/ImageBitmap.h"
#include "lib/image/ImageResizer.h"
#include "lib/image/ImageRotator.h"
#include "lib/image/ImageShearer.h"
#include "lib/image/ProcessorChain.h"
#include "tests/lib/image/ImageTestFiles.h"

namespace {

// Opens the protected members to the tests.
class CTestBitmap : public CImageBitmap {
public:
    using CImageBitmap::ExtractBitmap;
    using CImageBitmap::Fill;
    using CImageBitmap::GetDIBits32;
    using CImageBitmap::GetFileType;
    using CImageBitmap::PrepareBitmapInfo32;
};

// A screen-compatible bitmap whose pixel (x, y) has the colour pattern(x, y).
HBITMAP MakeBitmap(int w, int h, COLORREF (*pattern)(int, int)) {
    std::vector<RGBX> px(static_cast<size_t>(w) * h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            px[static_cast<size_t>(y) * w + x] = RgbxFromColorref(pattern(x, y));
    BITMAPINFO bmi = {};
    bmi.bmiHeader = {sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    HDC screen = GetDC(nullptr);
    HBITMAP bmp = CreateCompatibleBitmap(screen, w, h);
    SetDIBits(screen, bmp, 0, h, px.data(), &bmi, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    return bmp;
}

COLORREF Gradient(int x, int y) { return RGB(x * 7 % 256, y * 11 % 256, (x + y) * 3 % 256); }

std::vector<RGBX> Pixels(HBITMAP h, CSize* pSize = nullptr) {
    BITMAP bm = {};
    GetObjectW(h, sizeof(bm), &bm);
    if (pSize) *pSize = CSize(bm.bmWidth, bm.bmHeight);
    std::vector<RGBX> px(static_cast<size_t>(bm.bmWidth) * bm.bmHeight);
    BITMAPINFO bmi = {};
    bmi.bmiHeader = {
        sizeof(BITMAPINFOHEADER), bm.bmWidth, -bm.bmHeight, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    HDC screen = GetDC(nullptr);
    GetDIBits(screen, h, 0, bm.bmHeight, px.data(), &bmi, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    return px;
}

::testing::AssertionResult SameRgbPixels(const std::vector<RGBX>& a, const std::vector<RGBX>& b) {
    if (a.size() != b.size())
        return ::testing::AssertionFailure() << "sizes " << a.size() << " and " << b.size();
    for (size_t i = 0; i < a.size(); ++i)
        if (!SameRgb(a[i], b[i]))
            return ::testing::AssertionFailure()
                   << "pixel " << i << ": " << int(a[i].r) << "," << int(a[i].g) << ","
                   << int(a[i].b) << " vs " << int(b[i].r) << "," << int(b[i].g) << ","
                   << int(b[i].b);
    return ::testing::AssertionSuccess();
}

std::wstring TempPath(const wchar_t* name) {
    wchar_t dir[MAX_PATH];
    GetTempPathW(MAX_PATH, dir);
    return std::wstring(dir) + name;
}

}  // namespace

TEST(ImageBitmapTest, FileTypeComesFromTheFirstKnownExtensionPastTheStart) {
    struct {
        const wchar_t* name;
        int type;
    } rows[] = {{L"shot.bmp", 0},  {L"SHOT.BMP", 0},  {L"a.ico", 1},       {L"a.JPEG", 2},
                {L"a.jpg", 2},     {L"a.gif", 3},     {L"a.png", 4},       {L".BMP", 4},
                {L"a.bmp.gif", 0}, {L"x.gif.old", 3}, {L"noextension", 4}, {L"", 4}};
    for (const auto& r : rows)
        EXPECT_EQ(CTestBitmap::GetFileType(r.name), r.type) << CString(r.name).ToUtf8();
}

TEST(ImageBitmapTest, FillWritesTheColourInPixelOrder) {
    RGBX px[6];
    ASSERT_TRUE(CTestBitmap::Fill(px, CSize(3, 2), RGB(1, 2, 3)));
    for (const RGBX& p : px) {
        EXPECT_EQ(p.b, 3);
        EXPECT_EQ(p.g, 2);
        EXPECT_EQ(p.r, 1);
        EXPECT_EQ(p.x, 0);
    }
    ASSERT_TRUE(CTestBitmap::Fill(px, CSize(3, 2), 0x00FFFFFF));
    for (const RGBX& p : px) EXPECT_EQ(p.x, 0xFF);
    EXPECT_FALSE(CTestBitmap::Fill(nullptr, CSize(3, 2), 0));
}

TEST(ImageBitmapTest, EmptyHolderRefusesAndEmptyChainKeepsThePicture) {
    CTestBitmap empty;
    CImageProcessorChain chain;
    EXPECT_FALSE(empty.ProcessImage(chain));
    EXPECT_FALSE(empty.GrayImage());
    EXPECT_EQ(empty.GetDIBits32(), nullptr);
    BITMAPINFO bmi = {};
    EXPECT_EQ(empty.PrepareBitmapInfo32(bmi), 0);

    CTestBitmap held;
    ASSERT_TRUE(held.Attach(MakeBitmap(5, 4, Gradient)));
    HGDIOBJ before = held.m_hObject;
    EXPECT_TRUE(held.ProcessImage(chain));
    EXPECT_EQ(held.m_hObject, before);
}

TEST(ImageBitmapTest, PreparedHeaderIsTopDown32Bit) {
    CTestBitmap b;
    ASSERT_TRUE(b.Attach(MakeBitmap(7, 3, Gradient)));
    BITMAPINFO bmi = {};
    bmi.bmiHeader.biXPelsPerMeter = 1234;  // left as it is
    EXPECT_EQ(b.PrepareBitmapInfo32(bmi), 3);
    EXPECT_EQ(bmi.bmiHeader.biSize, 40u);
    EXPECT_EQ(bmi.bmiHeader.biWidth, 7);
    EXPECT_EQ(bmi.bmiHeader.biHeight, -3);
    EXPECT_EQ(bmi.bmiHeader.biBitCount, 32);
    EXPECT_EQ(bmi.bmiHeader.biSizeImage, 7u * 3 * 4);
    EXPECT_EQ(bmi.bmiHeader.biXPelsPerMeter, 1234);
    std::unique_ptr<RGBX[]> px(b.GetDIBits32());
    ASSERT_NE(px, nullptr);
    RGBX expected = RgbxFromColorref(Gradient(4, 2));
    EXPECT_TRUE(SameRgb(px[2 * 7 + 4], expected));
}

TEST(ImageBitmapTest, CopyIsDeepAndDeviceCompatible) {
    // A 24-bit DIB section as the source: the copy must come out screen-compatible.
    BITMAPINFO bmi = {};
    bmi.bmiHeader = {sizeof(BITMAPINFOHEADER), 4, -2, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0);
    ASSERT_NE(dib, nullptr);
    auto* p = static_cast<BYTE*>(bits);
    for (int i = 0; i < 12 * 2; ++i) p[i] = static_cast<BYTE>(i * 10);

    CImageBitmap copy;
    ASSERT_TRUE(copy.CopyImage(dib));
    ASSERT_NE(copy.GetSafeHandle(), dib);
    DIBSECTION ds;
    EXPECT_EQ(GetObjectW(copy.GetSafeHandle(), sizeof(ds), &ds), static_cast<int>(sizeof(BITMAP)))
        << "the copy is not a DIB section";
    std::vector<RGBX> a = Pixels(dib), b = Pixels(copy.GetSafeHandle());
    EXPECT_TRUE(SameRgbPixels(a, b));
    DeleteObject(dib);  // the copy does not depend on the source
    EXPECT_TRUE(SameRgbPixels(a, Pixels(copy.GetSafeHandle())));

    HGDIOBJ kept = copy.m_hObject;
    EXPECT_FALSE(copy.CopyImage(static_cast<HBITMAP>(nullptr)));
    EXPECT_FALSE(copy.CopyImage(static_cast<CBitmap*>(nullptr)));
    EXPECT_EQ(copy.m_hObject, kept);
}

TEST(ImageBitmapTest, ChainThroughGdiEqualsTheBufferChain) {
    HBITMAP src = MakeBitmap(37, 23, Gradient);
    std::vector<RGBX> original = Pixels(src);
    CImageBitmap b;
    ASSERT_TRUE(b.CopyImage(src));
    DeleteObject(src);

    CImageRotator rotate(30, 1);
    CImageResizer shrink(0.5);
    CImageShearer shear(20, 10, 1);
    CImageProcessorChain chain;
    chain.Add(&rotate);
    chain.Add(&shrink);
    chain.Add(&shear);
    ASSERT_TRUE(b.ProcessImage(chain));

    std::unique_ptr<RGBX[]> source(new RGBX[original.size()]);
    std::copy(original.begin(), original.end(), source.get());
    ChainOutput expected;
    ASSERT_TRUE(RunProcessorChain(std::move(source), CSize(37, 23), chain.GetData(), 3, 0x00FFFFFF,
                                  &expected));
    CSize size;
    std::vector<RGBX> got = Pixels(b.GetSafeHandle(), &size);
    ASSERT_EQ(size, expected.size);
    std::vector<RGBX> want(expected.pixels.get(),
                           expected.pixels.get() + static_cast<size_t>(size.cx) * size.cy);
    EXPECT_TRUE(SameRgbPixels(got, want));
}

TEST(ImageBitmapTest, FailingOrOversizedStepLeavesThePictureUnchanged) {
    CImageBitmap b;
    ASSERT_TRUE(b.Attach(MakeBitmap(16, 8, Gradient)));
    HGDIOBJ before = b.m_hObject;
    std::vector<RGBX> pixels = Pixels(b.GetSafeHandle());
    EXPECT_FALSE(b.ResizeImage(0.0));
    EXPECT_FALSE(b.ResizeImage(-2.0));
    EXPECT_FALSE(b.ResizeImage(1e9));  // far past any buffer the chain may allocate
    EXPECT_FALSE(b.ShearImage(INT_MAX, 0, 0));
    EXPECT_EQ(b.m_hObject, before);
    EXPECT_TRUE(SameRgbPixels(Pixels(b.GetSafeHandle()), pixels));
}

TEST(ImageBitmapTest, OneEffectMethodsReplaceThePicture) {
    CImageBitmap b;
    ASSERT_TRUE(b.Attach(MakeBitmap(6, 4, [](int, int) { return RGB(30, 60, 90); })));
    ASSERT_TRUE(b.GrayImage());
    RGBX p = Pixels(b.GetSafeHandle())[0];
    EXPECT_EQ(p.r, (3 * 30 + 6 * 60 + 90) / 10);
    EXPECT_EQ(p.g, p.r);
    ASSERT_TRUE(b.NegateImage());
    EXPECT_EQ(Pixels(b.GetSafeHandle())[0].r, 255 - p.r);
    ASSERT_TRUE(b.RotateImage(90, 0));
    CSize size;
    Pixels(b.GetSafeHandle(), &size);
    EXPECT_EQ(size, CSize(6, 8));  // turned on a canvas two pixels larger each way
    ASSERT_TRUE(b.FlipImage(1, 1));
    ASSERT_TRUE(b.ResizeImage(2.0));
    Pixels(b.GetSafeHandle(), &size);
    EXPECT_EQ(size, CSize(12, 16));
    EXPECT_TRUE(b.BlurImage(3));
    EXPECT_TRUE(b.SharpenImage(3));
    EXPECT_TRUE(b.ReplaceColor(RGB(0, 0, 0), RGB(255, 0, 0)));
    EXPECT_TRUE(b.ShearImage(10, 0, 0));
}

TEST(ImageBitmapTest, LoadsBmpJpegGifAndIcoFilesAndRefusesPng) {
    struct Case {
        const wchar_t* name;
        std::string bytes;
        CSize size;
        COLORREF colour;
        int tolerance;
    } cases[] = {
        {L"pelto_test.bmp", ImageTestFiles::Bmp24(3, 2, RGB(200, 10, 20)), CSize(3, 2),
         RGB(200, 10, 20), 0},
        {L"pelto_test.gif", ImageTestFiles::Gif1x1Red(), CSize(1, 1), RGB(255, 0, 0), 0},
        {L"pelto_test.ico", ImageTestFiles::Ico32(16, RGB(0, 128, 255)), CSize(16, 16),
         RGB(0, 128, 255), 0},
        {L"pelto_test.jpg", ImageTestFiles::Jpeg(16, 16, RGB(40, 160, 80)), CSize(16, 16),
         RGB(40, 160, 80), 12},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(CString(c.name).ToUtf8());
        ASSERT_FALSE(c.bytes.empty());
        std::wstring path = TempPath(c.name);
        ASSERT_TRUE(ImageTestFiles::Write(path, c.bytes));
        CImageBitmap b;
        ASSERT_TRUE(b.LoadImage(path.c_str()));
        CSize size;
        std::vector<RGBX> px = Pixels(b.GetSafeHandle(), &size);
        EXPECT_EQ(size, c.size);
        RGBX want = RgbxFromColorref(c.colour);
        RGBX got = px[px.size() / 2];
        EXPECT_NEAR(got.r, want.r, c.tolerance);
        EXPECT_NEAR(got.g, want.g, c.tolerance);
        EXPECT_NEAR(got.b, want.b, c.tolerance);
        // A holder with a picture takes no second one.
        HGDIOBJ kept = b.m_hObject;
        EXPECT_FALSE(b.LoadImage(path.c_str()));
        EXPECT_EQ(b.m_hObject, kept);
        DeleteFileW(path.c_str());
    }
    std::wstring png = TempPath(L"pelto_test.png");
    ASSERT_TRUE(ImageTestFiles::Write(png, ImageTestFiles::Png(4, 4)));
    CImageBitmap b;
    EXPECT_FALSE(b.LoadImage(png.c_str()));
    EXPECT_EQ(CImageBitmap::LoadImageFile(png.c_str(), 0), nullptr);
    DeleteFileW(png.c_str());
}

TEST(ImageBitmapTest, BrokenOrMissingFilesGiveNoBitmap) {
    std::wstring path = TempPath(L"pelto_broken.gif");
    ASSERT_TRUE(ImageTestFiles::Write(path, "GIF89a\x01\x00garbage"));
    EXPECT_EQ(CImageBitmap::LoadImageFile(path.c_str(), 0xFFFFFF), nullptr);
    DeleteFileW(path.c_str());
    EXPECT_EQ(CImageBitmap::LoadImageFile(TempPath(L"pelto_missing.jpg").c_str(), 0), nullptr);
    EXPECT_EQ(CImageBitmap::LoadImageFile(TempPath(L"pelto_missing.bmp").c_str(), 0), nullptr);
    EXPECT_EQ(CImageBitmap::LoadImageFile(nullptr, 0), nullptr);
    EXPECT_EQ(CImageBitmap::LoadFromBuffer(nullptr, 10), nullptr);
    const BYTE junk[] = {1, 2, 3, 4, 5};
    EXPECT_EQ(CImageBitmap::LoadFromBuffer(junk, sizeof(junk)), nullptr);
}

TEST(ImageBitmapTest, ResourcesAreReadAndDecoded) {
    HMODULE self = GetModuleHandleW(nullptr);
    DWORD size = 0;
    ASSERT_TRUE(
        CImageBitmap::GetResource(MAKEINTRESOURCEW(kTestGifResource), L"GIF", self, nullptr, size));
    std::string gif = ImageTestFiles::Gif1x1Red();
    EXPECT_EQ(size, gif.size());
    std::string buffer(size, '\0');
    DWORD small = size - 1;
    EXPECT_FALSE(CImageBitmap::GetResource(MAKEINTRESOURCEW(kTestGifResource), L"GIF", self,
                                           &buffer[0], small));
    EXPECT_TRUE(CImageBitmap::GetResource(MAKEINTRESOURCEW(kTestGifResource), L"GIF", self,
                                          &buffer[0], size));
    EXPECT_EQ(buffer, gif);
    EXPECT_FALSE(CImageBitmap::GetResource(MAKEINTRESOURCEW(9999), L"GIF", self, nullptr, size));

    CImageBitmap b;
    ASSERT_TRUE(b.LoadImage(kTestGifResource, L"GIF", self));
    std::vector<RGBX> px = Pixels(b.GetSafeHandle());
    ASSERT_EQ(px.size(), 1u);
    EXPECT_TRUE(SameRgb(px[0], RgbxFromColorref(RGB(255, 0, 0))));
    CImageBitmap missing;
    EXPECT_FALSE(missing.LoadImage(9999, L"GIF", self));
}
