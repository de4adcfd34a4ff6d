// Image files written through GDI+'s encoders: what an encoder writes well stays as it writes it,
// and every file reported as written reads back as the picture.
#include <gtest/gtest.h>

#include "lib/codec/GdiplusHeaders.h"

#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <string>

#include "lib/codec/GdiplusCodecList.h"
#include "lib/codec/GdiplusSession.h"
#include "lib/codec/ImageSaving.h"
#include "tests/lib/codec/CodecTestSupport.h"

namespace {
const int kWidth = 60, kHeight = 40;

std::wstring TempFile(const wchar_t* pszName) {
    wchar_t folder[MAX_PATH];
    ::GetTempPathW(MAX_PATH, folder);
    return std::wstring(folder) + L"pelto_saving_" + std::to_wstring(::GetCurrentProcessId()) +
           L"_" + pszName;
}

std::string FileBytes(const std::wstring& strPath) {
    std::ifstream in(strPath.c_str(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool ReadsBack(const std::wstring& strPath) {
    Gdiplus::Bitmap back(strPath.c_str());
    return back.GetLastStatus() == Gdiplus::Ok && back.GetWidth() == kWidth &&
           back.GetHeight() == kHeight;
}

// Four coloured quadrants, drawn by GDI+ into an image of the given kind.
void DrawQuadrants(Gdiplus::Graphics& g) {
    Gdiplus::SolidBrush red(Gdiplus::Color(255, 200, 30, 30)),
        green(Gdiplus::Color(255, 30, 200, 30));
    Gdiplus::SolidBrush blue(Gdiplus::Color(255, 30, 30, 200)),
        yellow(Gdiplus::Color(255, 240, 240, 20));
    g.FillRectangle(&red, 0, 0, kWidth / 2, kHeight / 2);
    g.FillRectangle(&green, 0, kHeight / 2, kWidth / 2, kHeight / 2);
    g.FillRectangle(&blue, kWidth / 2, 0, kWidth / 2, kHeight / 2);
    g.FillRectangle(&yellow, kWidth / 2, kHeight / 2, kWidth / 2, kHeight / 2);
}

std::unique_ptr<Gdiplus::Image> MakeBitmap(Gdiplus::PixelFormat format) {
    Gdiplus::Bitmap drawn(kWidth, kHeight, PixelFormat32bppARGB);
    {
        Gdiplus::Graphics g(&drawn);
        DrawQuadrants(g);
    }
    return std::unique_ptr<Gdiplus::Image>(drawn.Clone(0, 0, kWidth, kHeight, format));
}

// A picture made of drawing records: no pixels of its own.
std::unique_ptr<Gdiplus::Image> MakeMetafile() {
    HDC hReference = ::CreateCompatibleDC(nullptr);
    Gdiplus::RectF frame(0, 0, kWidth, kHeight);
    std::unique_ptr<Gdiplus::Metafile> pMeta(new Gdiplus::Metafile(
        hReference, frame, Gdiplus::MetafileFrameUnitPixel, Gdiplus::EmfTypeEmfPlusDual));
    ::DeleteDC(hReference);
    {
        Gdiplus::Graphics g(pMeta.get());
        DrawQuadrants(g);
    }
    return std::unique_ptr<Gdiplus::Image>(pMeta.release());
}

class ImageSaving : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(session.IsStarted()); }
    CGdiplusSession session;
};
}  // namespace

TEST_F(ImageSaving, KeepsWhatTheEncoderWritesWellAndMendsTheRest) {
    struct Row {
        const char* pszName;
        std::function<std::unique_ptr<Gdiplus::Image>()> make;
    } rows[] = {
        {"24-bit bitmap, as captures are", [] { return MakeBitmap(PixelFormat24bppRGB); }},
        {"32-bit bitmap with alpha", [] { return MakeBitmap(PixelFormat32bppARGB); }},
        {"palette bitmap", [] { return MakeBitmap(PixelFormat8bppIndexed); }},
        {"metafile", MakeMetafile},
    };
    const wchar_t* extensions[] = {L"gif", L"png", L"bmp"};
    for (const Row& row : rows) {
        std::unique_ptr<Gdiplus::Image> pImage = row.make();
        ASSERT_TRUE(pImage && pImage->GetLastStatus() == Gdiplus::Ok) << row.pszName;
        ASSERT_EQ(pImage->GetWidth(), static_cast<UINT>(kWidth)) << row.pszName;
        for (const wchar_t* pszExt : extensions) {
            SCOPED_TRACE(std::string(row.pszName) + " as " + Narrow(pszExt));
            CLSID clsid;
            ASSERT_TRUE(GetEncoderClsidForPath((std::wstring(L"a.") + pszExt).c_str(), &clsid));
            std::wstring strDirect = TempFile((std::wstring(L"direct.") + pszExt).c_str());
            std::wstring strSaved = TempFile((std::wstring(L"saved.") + pszExt).c_str());
            // What the encoder itself makes of the image.
            bool bDirectGood = pImage->Save(strDirect.c_str(), &clsid, nullptr) == Gdiplus::Ok &&
                               ReadsBack(strDirect);
            ASSERT_TRUE(SaveImageFile(pImage.get(), strSaved.c_str(), clsid));
            EXPECT_TRUE(ReadsBack(strSaved)) << "reported as written, but no such picture";
            if (bDirectGood) {
                EXPECT_TRUE(FileBytes(strSaved) == FileBytes(strDirect))
                    << "the encoder wrote this image well, yet the file holds something else";
            }
            ::DeleteFileW(strDirect.c_str());
            ::DeleteFileW(strSaved.c_str());
        }
    }
}

TEST_F(ImageSaving, RefusesWhatCannotBeWritten) {
    std::unique_ptr<Gdiplus::Image> pImage = MakeBitmap(PixelFormat24bppRGB);
    CLSID clsid;
    ASSERT_TRUE(GetEncoderClsidForPath(L"a.gif", &clsid));
    std::wstring strMissing = TempFile(L"no_such_folder\\a.gif");
    EXPECT_FALSE(SaveImageFile(pImage.get(), strMissing.c_str(), clsid));
    EXPECT_FALSE(SaveImageFile(nullptr, TempFile(L"none.gif").c_str(), clsid));
    EXPECT_EQ(::GetFileAttributesW(TempFile(L"none.gif").c_str()), INVALID_FILE_ATTRIBUTES);

    // A file already there outlives a save that fails (here the encoder does not exist; the
    // platform's own save empties the file before it looks for one).
    std::wstring strKept = TempFile(L"kept.png");
    { std::ofstream(strKept.c_str(), std::ios::binary) << "the user's picture"; }
    const CLSID clsidNone = {0x12345678, 0x1234, 0x1234, {1, 2, 3, 4, 5, 6, 7, 8}};
    EXPECT_FALSE(SaveImageFile(pImage.get(), strKept.c_str(), clsidNone));
    EXPECT_EQ(FileBytes(strKept), "the user's picture");
    WIN32_FIND_DATAW found;
    HANDLE hFind = ::FindFirstFileW((strKept + L".*.saving").c_str(), &found);
    EXPECT_EQ(hFind, INVALID_HANDLE_VALUE) << "left behind: " << Narrow(found.cFileName);
    if (hFind != INVALID_HANDLE_VALUE) ::FindClose(hFind);
    // A good save still replaces it.
    ASSERT_TRUE(GetEncoderClsidForPath(L"a.png", &clsid));
    EXPECT_TRUE(SaveImageFile(pImage.get(), strKept.c_str(), clsid));
    EXPECT_TRUE(ReadsBack(strKept));
    ::DeleteFileW(strKept.c_str());
}
