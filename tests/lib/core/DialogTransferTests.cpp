// Open and save with an empty path: the engine asks with the file dialogs, which a second thread
// drives as a user would (choose a type, type a name, press OK or Cancel).
#include <windows.h>

#include <gtest/gtest.h>

#include "lib/codec/GdiplusHeaders.h"

#include <atomic>
#include <chrono>
#include <cwctype>
#include <fstream>
#include <memory>

#include "tests/lib/codec/FileDialogDriver.h"
#include "tests/lib/core/CoreTestSupport.h"

namespace {
COLORREF Stripes(int x, int y) {
    return x < 25 ? RGB(220, 40, 40) : (y < 15 ? RGB(40, 40, 220) : RGB(40, 220, 40));
}

std::string Join(const std::vector<std::string>& v) {
    std::string s;
    for (const auto& e : v) s += e + "; ";
    return s;
}

// The first bytes of a file, to tell which encoder wrote it.
std::string Head(const std::wstring& strPath, size_t n) {
    std::ifstream in(strPath.c_str(), std::ios::binary);
    std::string s(n, '\0');
    in.read(&s[0], static_cast<std::streamsize>(n));
    s.resize(static_cast<size_t>(in.gcount()));
    return s;
}

// The dialog's type (counted from 1) whose patterns hold "*.ext"; 0 when none does.
int TypeFor(CFileDialogDriver& d, const std::wstring& strExt) {
    int n = d.TypeCount();
    for (int i = 1; i <= n; ++i) {
        std::wstring text = d.TypeText(i);
        for (auto& c : text) c = static_cast<wchar_t>(std::towlower(c));
        if (text.find(L"*." + strExt) != std::wstring::npos) return i;
    }
    return 0;
}

// Waits for the dialog and gives it a moment to finish its own start-up.
bool WaitForFileDialog(CFileDialogDriver& d) {
    if (!d.Dialog()) return false;
    ::Sleep(200);
    return true;
}

class DialogTransferTest : public ::testing::Test {
protected:
    void SetUp() override {
        HBITMAP h = MakeBitmap(50, 30, Stripes);
        Core().ResetBitmapData(h);
        ::DeleteObject(h);
        Core().RefreshImageData();
        ASSERT_NE(Core().GetImage(), nullptr);
    }
    CTestCore& Core() { return m_host.m_core; }
    CEngineHost m_host;
    CTempFolder m_folder;
};
}  // namespace

TEST_F(DialogTransferTest, ImageSavedThroughTheDialogUsesTheChosenTypeAndTakesItsNames) {
    struct Case {
        const wchar_t* ext;
        const char* signature;
    } cases[] = {{L"png", "\x89PNG"}, {L"bmp", "BM"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(CString(c.ext).ToUtf8());
        Core().SetPathName(L"C:\\before.png");
        Core().SetFileName(L"before.png");
        std::wstring strTyped = m_folder.File(L"shot");
        std::atomic<int> nType{-1};
        CFileDialogDriver driver([&](CFileDialogDriver& d) {
            if (!WaitForFileDialog(d)) return;
            nType = TypeFor(d, c.ext);
            if (nType > 0) {
                d.ChooseType(nType);
                d.TypeName(strTyped.c_str());
                d.PressOk();
            } else {
                d.PressCancel();
            }
        });
        int nResult = Core().SaveImage(L"", 0);
        driver.Join();
        EXPECT_TRUE(driver.Errors().empty()) << Join(driver.Errors());
        ASSERT_GT(nType.load(), 0) << "the save dialog offers no type for this extension";
        ASSERT_EQ(nResult, 1);
        std::wstring strExpected = strTyped + L"." + c.ext;
        EXPECT_EQ(Core().GetPathName(), CString(strExpected.c_str()));
        EXPECT_EQ(Core().GetFileName(), CString((std::wstring(L"shot.") + c.ext).c_str()));
        std::string signature = c.signature;
        EXPECT_EQ(Head(strExpected, signature.size()), signature)
            << "the file was not written by the chosen type's encoder";
        std::unique_ptr<Gdiplus::Image> pSaved(Gdiplus::Image::FromFile(strExpected.c_str()));
        ASSERT_EQ(pSaved->GetLastStatus(), Gdiplus::Ok);
        CPixels saved = ReadImagePixels(pSaved.get());
        ASSERT_EQ(saved.cx, 50);
        ASSERT_EQ(saved.cy, 30);
        EXPECT_EQ(Hex(saved.At(5, 5)), Hex(Stripes(5, 5)));
        EXPECT_EQ(Hex(saved.At(40, 25)), Hex(Stripes(40, 25)));
    }
}

TEST_F(DialogTransferTest, ThumbnailSavedThroughTheDialogKeepsTheNames) {
    HBITMAP h = MakeBitmap(1024, 768, Stripes);
    Core().ResetBitmapData(h);
    ::DeleteObject(h);
    Core().RefreshImageData();
    Core().SetPathName(L"C:\\shot.png");
    Core().SetFileName(L"shot.png");
    std::wstring strTyped = m_folder.File(L"thumb");
    CFileDialogDriver driver([&](CFileDialogDriver& d) {
        if (!WaitForFileDialog(d)) return;
        int nType = TypeFor(d, L"png");
        if (nType > 0) d.ChooseType(nType);
        d.TypeName(strTyped.c_str());
        d.PressOk();
    });
    ASSERT_EQ(Core().SaveImage(L"", 1), 1);
    driver.Join();
    EXPECT_TRUE(driver.Errors().empty()) << Join(driver.Errors());
    EXPECT_EQ(Core().GetPathName(), CString(L"C:\\shot.png"));
    EXPECT_EQ(Core().GetFileName(), CString(L"shot.png"));
    std::unique_ptr<Gdiplus::Image> pSaved(Gdiplus::Image::FromFile((strTyped + L".png").c_str()));
    ASSERT_EQ(pSaved->GetLastStatus(), Gdiplus::Ok) << "no thumbnail file";
    EXPECT_EQ(pSaved->GetWidth(), 380u);
    EXPECT_EQ(pSaved->GetHeight(), 285u);
}

TEST_F(DialogTransferTest, CancelledSaveDialogWritesNothingAndKeepsTheNames) {
    Core().SetPathName(L"C:\\kept.png");
    Core().SetFileName(L"kept.png");
    std::wstring strTyped = m_folder.File(L"never.png");
    CFileDialogDriver driver([&](CFileDialogDriver& d) {
        if (!WaitForFileDialog(d)) return;
        d.TypeName(strTyped.c_str());
        d.PressCancel();
    });
    EXPECT_EQ(Core().SaveImage(L"", 0), 0);
    driver.Join();
    EXPECT_TRUE(driver.Errors().empty()) << Join(driver.Errors());
    EXPECT_FALSE(FileExists(strTyped));
    EXPECT_EQ(Core().GetPathName(), CString(L"C:\\kept.png"));
    EXPECT_EQ(Core().GetFileName(), CString(L"kept.png"));
}

TEST_F(DialogTransferTest, NothingToSaveAsksNothing) {
    CTestCore empty;
    std::atomic<bool> bAppeared{false};
    CFileDialogDriver driver([&](CFileDialogDriver& d) {
        if (d.Appears(std::chrono::milliseconds(1500))) {
            bAppeared = true;
            d.PressCancel();
        }
    });
    EXPECT_EQ(empty.SaveImage(L"", 0), 0);
    EXPECT_EQ(empty.SaveImage(L"", 1), 0);
    driver.Join();
    EXPECT_FALSE(bAppeared) << "a save dialog was shown with no image to save";
}

TEST_F(DialogTransferTest, FileOpenedThroughTheDialogTakesItsNamesAndDropsTheEffects) {
    std::wstring strPath = m_folder.File(L"plain.bmp");
    ASSERT_EQ(Core().SaveImage(strPath.c_str(), 0), 1);
    Core().m_config.SetNegate(TRUE);
    Core().RefreshImageData();
    Gdiplus::Image* pBefore = Core().GetImage();
    CFileDialogDriver driver([&](CFileDialogDriver& d) {
        if (!WaitForFileDialog(d)) return;
        d.TypeName(strPath.c_str());
        d.PressOk();
    });
    ASSERT_EQ(Core().OpenImage(L""), 1);
    driver.Join();
    EXPECT_TRUE(driver.Errors().empty()) << Join(driver.Errors());
    EXPECT_EQ(Core().GetPathName(), CString(strPath.c_str()));
    EXPECT_EQ(Core().GetFileName(), CString(L"plain.bmp"));
    EXPECT_FALSE(Core().m_config.GetNegate());
    EXPECT_NE(Core().GetImage(), pBefore);
    CPixels shown = ReadImagePixels(Core().GetImage());
    ASSERT_EQ(shown.cx, 50);
    EXPECT_EQ(Hex(shown.At(5, 5)), Hex(Stripes(5, 5))) << "the opened file was shown with effects";
}

TEST_F(DialogTransferTest, CancelledOpenDialogChangesNothing) {
    Core().m_config.SetNegate(TRUE);
    Core().m_config.SetGrayScale(TRUE);
    Core().RefreshImageData();
    Core().SetPathName(L"C:\\kept.png");
    Core().SetFileName(L"kept.png");
    Gdiplus::Image* pBefore = Core().GetImage();
    CPixels before = ReadImagePixels(pBefore);
    CFileDialogDriver driver([&](CFileDialogDriver& d) {
        if (!WaitForFileDialog(d)) return;
        d.PressCancel();
    });
    EXPECT_EQ(Core().OpenImage(L""), 0);
    driver.Join();
    EXPECT_TRUE(driver.Errors().empty()) << Join(driver.Errors());
    EXPECT_TRUE(Core().m_config.GetNegate()) << "the effect settings were reset";
    EXPECT_TRUE(Core().m_config.GetGrayScale()) << "the effect settings were reset";
    EXPECT_EQ(Core().GetImage(), pBefore);
    std::string diff = DescribeDifference(ReadImagePixels(Core().GetImage()), before);
    EXPECT_TRUE(diff.empty()) << diff;
    EXPECT_EQ(Core().GetPathName(), CString(L"C:\\kept.png"));
    EXPECT_EQ(Core().GetFileName(), CString(L"kept.png"));
}
