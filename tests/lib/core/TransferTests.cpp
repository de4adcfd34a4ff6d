// The clipboard in both directions with a second program on the other side, and image files
// written and read back through every encoder GDI+ offers.
#include <windows.h>

#include <gtest/gtest.h>

#include "lib/codec/GdiplusHeaders.h"

#include <cstdio>
#include <fstream>
#include <memory>

#include "lib/codec/GdiplusCodecList.h"
#include "tests/lib/core/EngineSuite.h"

namespace {
COLORREF Quadrants(int x, int y) {
    return x < 30 ? (y < 20 ? RGB(200, 30, 30) : RGB(30, 200, 30))
                  : (y < 20 ? RGB(30, 30, 200) : RGB(240, 240, 20));
}

struct ClipInfo {
    int cx = 0, cy = 0;
    unsigned long first = 0, last = 0;
    bool ok = false;
};
ClipInfo ReadClipboardElsewhere() {
    std::string out;
    ClipInfo info;
    if (RunClipboardHelper(L"get", &out) != 0) return info;
    info.ok =
        std::sscanf(out.c_str(), "%d %d %lx %lx", &info.cx, &info.cy, &info.first, &info.last) == 4;
    return info;
}

class TransferTest : public CEngineSuite {
protected:
    void LoadQuadrants() {
        HBITMAP h = MakeBitmap(60, 40, Quadrants);
        Core().ResetBitmapData(h);
        ::DeleteObject(h);
        Core().RefreshImageData();
        ASSERT_NE(Core().GetImage(), nullptr);
    }
};
}  // namespace

TEST_F(TransferTest, CopiedImageAndThumbnailStayOnTheClipboardForOtherPrograms) {
    LoadQuadrants();
    ASSERT_EQ(Core().CopyImageData(0), 1);
    ClipInfo info = ReadClipboardElsewhere();
    ASSERT_TRUE(info.ok) << "the other program found no bitmap";
    EXPECT_EQ(info.cx, 60);
    EXPECT_EQ(info.cy, 40);
    EXPECT_EQ(info.first, Quadrants(0, 0));
    EXPECT_EQ(info.last, Quadrants(59, 39));
    // Still there after the other program looked.
    EXPECT_TRUE(ReadClipboardElsewhere().ok);

    int x, y;
    Gdiplus::Image* pThumb = Core().GetThubImage(x, y);
    ASSERT_NE(pThumb, nullptr);
    ASSERT_EQ(Core().CopyImageData(1), 1);
    info = ReadClipboardElsewhere();
    ASSERT_TRUE(info.ok);
    EXPECT_EQ(info.cx, static_cast<int>(pThumb->GetWidth()));
    EXPECT_EQ(info.cy, static_cast<int>(pThumb->GetHeight()));
}

TEST_F(TransferTest, CopyWithoutImageLeavesTheClipboardAlone) {
    ASSERT_EQ(RunClipboardHelper(L"text"), 0);
    CTestCore empty;
    EXPECT_EQ(empty.CopyImageData(0), 0);
    EXPECT_EQ(empty.CopyImageData(1), 0);
    std::string out;
    EXPECT_EQ(RunClipboardHelper(L"gettext", &out), 0);
    EXPECT_EQ(out, "pelto clipboard text\r\n");
}

TEST_F(TransferTest, PastedBitmapFromAnotherProgramGetsTheCurrentEffects) {
    ASSERT_EQ(RunClipboardHelper(L"put 70 50 3050C8"), 0);  // COLORREF: red C8, green 50, blue 30
    Core().m_config.SetNegate(TRUE);
    Core().SetPathName(L"C:\\old.png");
    ASSERT_EQ(Core().PasteImageData(), 1);
    CPixels original = ReadPixels(Core().m_bmpOriginal.GetSafeHandle());
    ASSERT_EQ(original.cx, 70);
    ASSERT_EQ(original.cy, 50);
    EXPECT_EQ(Hex(original.At(5, 5)), Hex(RGB(0xC8, 0x50, 0x30)));
    CPixels shown = ReadImagePixels(Core().GetImage());
    EXPECT_EQ(Hex(shown.At(5, 5)), Hex(RGB(255 - 0xC8, 255 - 0x50, 255 - 0x30)));
    EXPECT_TRUE(Core().GetPathName().IsEmpty());
    EXPECT_TRUE(Core().m_config.GetNegate()) << "pasting must not reset the effects";
}

TEST_F(TransferTest, PasteWithTextOnTheClipboardFailsAndFreesIt) {
    LoadQuadrants();
    Gdiplus::Image* pBefore = Core().GetImage();
    ASSERT_EQ(RunClipboardHelper(L"text"), 0);
    EXPECT_EQ(Core().PasteImageData(), 0);
    EXPECT_EQ(Core().GetImage(), pBefore);
    // Usable by other programs afterwards.
    EXPECT_EQ(RunClipboardHelper(L"put 3 3 FFFFFF"), 0);
    EXPECT_TRUE(ReadClipboardElsewhere().ok);
}

TEST_F(TransferTest, ClipboardHeldByAnotherProgramFailsCleanly) {
    LoadQuadrants();
    ASSERT_EQ(RunClipboardHelper(L"put 9 9 00FF00"), 0);
    Gdiplus::Image* pBefore = Core().GetImage();
    HANDLE hHolder = nullptr;
    std::string out;
    ASSERT_EQ(RunClipboardHelper(L"hold 1500", &out, &hHolder), 0);
    ASSERT_EQ(out, "held\r\n");
    long nObjects = GdiObjectCount();
    EXPECT_EQ(Core().CopyImageData(0), 0);
    EXPECT_EQ(GdiObjectCount(), nObjects) << "a refused copy must not leave its bitmap behind";
    EXPECT_EQ(Core().GetImage(), pBefore);
    // Reading while another program holds the clipboard open is refused on Windows and allowed
    // by Wine; either way the result must say what happened.
    if (Core().PasteImageData()) {
        EXPECT_EQ(ReadPixels(Core().m_bmpOriginal.GetSafeHandle()).cx, 9);
    } else {
        EXPECT_EQ(Core().GetImage(), pBefore);
    }
    ::WaitForSingleObject(hHolder, 10000);
    ::CloseHandle(hHolder);
    // The other program's bitmap is still the clipboard's.
    ClipInfo info = ReadClipboardElsewhere();
    EXPECT_TRUE(info.ok);
    EXPECT_EQ(info.cx, 9);
}

TEST_F(TransferTest, CopyWaitsForAProgramThatHoldsTheClipboardForAMoment) {
    LoadQuadrants();
    ASSERT_EQ(RunClipboardHelper(L"text"), 0);
    HANDLE hHolder = nullptr;
    std::string out;
    ASSERT_EQ(RunClipboardHelper(L"hold 150", &out, &hHolder), 0);
    ASSERT_EQ(out, "held\r\n");
    EXPECT_EQ(Core().CopyImageData(0), 1) << "a copy that met a brief holder was lost";
    ::WaitForSingleObject(hHolder, 10000);
    ::CloseHandle(hHolder);
    ClipInfo info = ReadClipboardElsewhere();
    ASSERT_TRUE(info.ok) << "the other program found no bitmap";
    EXPECT_EQ(info.cx, 60);
    EXPECT_EQ(info.first, Quadrants(0, 0));
}

TEST_F(TransferTest, EveryEncoderRoundTripsThroughSaveAndOpen) {
    CGdiplusCodecArray encoders;
    ASSERT_TRUE(FillGdiplusCodecArray(TRUE, encoders));
    ASSERT_FALSE(encoders.empty());
    CTempFolder folder;
    for (const auto& codec : encoders) {
        CString strFirst = codec->GetDefExt();
        SCOPED_TRACE(strFirst.ToUtf8());
        LoadQuadrants();
        CPixels original = ReadImagePixels(Core().GetImage());
        std::wstring strPath = folder.File((L"round." + strFirst).GetString());
        ASSERT_EQ(Core().SaveImage(strPath.c_str(), 0), 1);
        EXPECT_EQ(Core().GetPathName(), CString(strPath.c_str()));
        EXPECT_TRUE(Core().GetFileName().IsEmpty());
        ASSERT_EQ(Core().OpenImage(strPath.c_str()), 1) << "written file cannot be read back";
        CPixels reread = ReadImagePixels(Core().GetImage());
        ASSERT_EQ(reread.cx, 60);
        ASSERT_EQ(reread.cy, 40);
        // Lossy formats keep the quadrants' colours roughly; the others exactly.
        CString strLower = strFirst;
        // JPEG loses detail; GIF has to get by with a palette.
        bool bLossy = ::lstrcmpiW(strLower, L"jpg") == 0 || ::lstrcmpiW(strLower, L"gif") == 0;
        for (CPoint pt : {CPoint(10, 10), CPoint(50, 10), CPoint(10, 30), CPoint(50, 30)}) {
            COLORREF a = original.At(pt.x, pt.y), b = reread.At(pt.x, pt.y);
            int tolerance = bLossy ? 24 : 0;
            EXPECT_NEAR(GetRValue(a), GetRValue(b), tolerance) << Hex(a) << " vs " << Hex(b);
            EXPECT_NEAR(GetGValue(a), GetGValue(b), tolerance) << Hex(a) << " vs " << Hex(b);
            EXPECT_NEAR(GetBValue(a), GetBValue(b), tolerance) << Hex(a) << " vs " << Hex(b);
        }
        // Saved back to the path it was opened from.
        EXPECT_EQ(Core().SaveImage(strPath.c_str(), 0), 1) << "the opened file stays locked";
    }
}

TEST_F(TransferTest, SaveRefusesUnknownExtensionsAndEmptyImages) {
    CTempFolder folder;
    std::wstring strUnknown = folder.File(L"picture.xyz");
    std::wstring strNoExt = folder.File(L"picture");
    CTestCore empty;
    EXPECT_EQ(empty.SaveImage(folder.File(L"a.png").c_str(), 0), 0);
    EXPECT_FALSE(FileExists(folder.File(L"a.png")));
    LoadQuadrants();
    Core().SetPathName(L"C:\\before.png");
    EXPECT_EQ(Core().SaveImage(strUnknown.c_str(), 0), 0);
    EXPECT_EQ(Core().SaveImage(strNoExt.c_str(), 0), 0);
    EXPECT_FALSE(FileExists(strUnknown));
    EXPECT_FALSE(FileExists(strNoExt));
    EXPECT_EQ(Core().GetPathName(), CString(L"C:\\before.png"));
    EXPECT_EQ(Core().SaveImage(folder.File(L"no\\such\\folder.png").c_str(), 0), 0);
}

TEST_F(TransferTest, SavedThumbnailHasThePreviewSizeAndKeepsTheNames) {
    HBITMAP h = MakeBitmap(1024, 768, Quadrants);
    Core().ResetBitmapData(h);
    ::DeleteObject(h);
    Core().RefreshImageData();
    CTempFolder folder;
    Core().SetPathName(L"C:\\shot.png");
    Core().SetFileName(L"shot.png");
    std::wstring strPath = folder.File(L"thumb.png");
    ASSERT_EQ(Core().SaveImage(strPath.c_str(), 1), 1);
    EXPECT_EQ(Core().GetPathName(), CString(L"C:\\shot.png"));
    EXPECT_EQ(Core().GetFileName(), CString(L"shot.png"));
    std::unique_ptr<Gdiplus::Image> pSaved(Gdiplus::Image::FromFile(strPath.c_str()));
    ASSERT_EQ(pSaved->GetLastStatus(), Gdiplus::Ok);
    EXPECT_EQ(pSaved->GetWidth(), 380u);
    EXPECT_EQ(pSaved->GetHeight(), 285u);
}

TEST_F(TransferTest, OpenedFileIsShownWithoutEffects) {
    CTempFolder folder;
    LoadQuadrants();
    std::wstring strPath = folder.File(L"plain.bmp");
    ASSERT_EQ(Core().SaveImage(strPath.c_str(), 0), 1);
    Core().m_config.SetNegate(TRUE);
    Core().m_config.SetGrayScale(TRUE);
    ASSERT_EQ(Core().OpenImage(strPath.c_str()), 1);
    EXPECT_FALSE(Core().m_config.GetNegate());
    EXPECT_FALSE(Core().m_config.GetGrayScale());
    CPixels shown = ReadImagePixels(Core().GetImage());
    EXPECT_EQ(Hex(shown.At(10, 10)), Hex(Quadrants(10, 10)));
    EXPECT_EQ(Core().GetPathName(), CString(strPath.c_str()));
    // The bitmaps hold the opened picture, so effects apply to it from now on.
    CPixels original = ReadPixels(Core().m_bmpOriginal.GetSafeHandle());
    EXPECT_EQ(original.cx, 60);
    int x, y;
    EXPECT_NE(Core().GetThubImage(x, y), nullptr);
}

TEST_F(TransferTest, FileThatCannotBeDecodedKeepsThePictureAndTheSettings) {
    CTempFolder folder;
    std::wstring strBad = folder.File(L"broken.png");
    {
        std::ofstream f(strBad.c_str(), std::ios::binary);
        f << "\x89PNG\r\n\x1a\n this is not really a picture";
    }
    LoadQuadrants();
    Core().m_config.SetNegate(TRUE);
    Core().RefreshImageData();
    Gdiplus::Image* pHeld = Core().GetImage();
    ASSERT_NE(pHeld, nullptr);
    long nObjects = GdiObjectCount();
    for (const std::wstring& strPath : {strBad, folder.File(L"missing.png")}) {
        EXPECT_EQ(Core().OpenImage(strPath.c_str()), 0);
        // Nothing of the held picture or of the settings went.
        EXPECT_TRUE(Core().m_config.GetNegate());
        EXPECT_EQ(Core().GetImage(), pHeld);
        int x, y;
        EXPECT_NE(Core().GetThubImage(x, y), nullptr);
    }
    EXPECT_LE(GdiObjectCount(), nObjects);
    Core().RefreshImageData();
    CPixels back = ReadImagePixels(Core().GetImage());
    ASSERT_EQ(back.cx, 60);
    COLORREF q = Quadrants(10, 10);
    EXPECT_EQ(Hex(back.At(10, 10)),
              Hex(RGB(255 - GetRValue(q), 255 - GetGValue(q), 255 - GetBValue(q))));
}

namespace {
// The clipboard's DIB or PNG, taken out alone and put back as the only form there.
HGLOBAL CopyGlobal(HGLOBAL h) {
    size_t n = ::GlobalSize(h);
    HGLOBAL copy = ::GlobalAlloc(GMEM_MOVEABLE, n);
    void* src = ::GlobalLock(h);
    void* dst = copy ? ::GlobalLock(copy) : nullptr;
    if (src && dst) memcpy(dst, src, n);
    if (dst) ::GlobalUnlock(copy);
    if (src) ::GlobalUnlock(h);
    return copy;
}
bool PutOnlyThis(UINT nFormat, HGLOBAL h) {
    if (!::OpenClipboard(nullptr)) return false;
    ::EmptyClipboard();
    bool ok = ::SetClipboardData(nFormat, h) != nullptr;
    ::CloseClipboard();
    return ok;
}
}  // namespace

TEST_F(TransferTest, CopyPutsBitmapDibAndPngAndPasteTakesEachAlone) {
    LoadQuadrants();
    ASSERT_EQ(Core().CopyImageData(0), 1);
    const UINT kPng = ::RegisterClipboardFormatW(L"PNG");
    ASSERT_TRUE(::OpenClipboard(nullptr));
    EXPECT_TRUE(::IsClipboardFormatAvailable(CF_BITMAP));
    HGLOBAL hDib =
        ::IsClipboardFormatAvailable(CF_DIB) ? CopyGlobal(::GetClipboardData(CF_DIB)) : nullptr;
    HGLOBAL hPng =
        ::IsClipboardFormatAvailable(kPng) ? CopyGlobal(::GetClipboardData(kPng)) : nullptr;
    ::CloseClipboard();
    ASSERT_NE(hDib, nullptr) << "no DIB on the clipboard";
    ASSERT_NE(hPng, nullptr) << "no PNG on the clipboard";

    // A DIB that claims more than a picture may hold is refused without touching the picture.
    HGLOBAL hHuge = CopyGlobal(hDib);
    {
        auto* h = static_cast<BITMAPINFOHEADER*>(::GlobalLock(hHuge));
        h->biWidth = 0x7FFFFFFF;
        ::GlobalUnlock(hHuge);
    }
    struct Case {
        const char* name;
        UINT nFormat;
        HGLOBAL hData;
        int nResult;
    } cases[] = {{"DIB alone", CF_DIB, hDib, 1},
                 {"PNG alone", kPng, hPng, 1},
                 {"DIB too large", CF_DIB, hHuge, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Core().ClearGdiplusImage();
        LoadQuadrants();
        Gdiplus::Image* pBefore = Core().GetImage();
        ASSERT_TRUE(PutOnlyThis(c.nFormat, c.hData));
        EXPECT_EQ(Core().PasteImageData(), c.nResult);
        if (c.nResult == 0) {
            EXPECT_EQ(Core().GetImage(), pBefore);
            continue;
        }
        CPixels pasted = ReadImagePixels(Core().GetImage());
        ASSERT_EQ(pasted.cx, 60);
        ASSERT_EQ(pasted.cy, 40);
        for (POINT p : {POINT{0, 0}, POINT{59, 0}, POINT{0, 39}, POINT{59, 39}})
            EXPECT_EQ(Hex(pasted.At(p.x, p.y)), Hex(Quadrants(p.x, p.y))) << p.x << "," << p.y;
    }
}
