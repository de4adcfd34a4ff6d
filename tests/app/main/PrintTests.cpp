// Printing through a real print queue: the page that comes out must show the preview's thumbnail.
// The queue is a PDF printer of the desktop's print service; the test is told where its files go
// (PELTO_PRINT_DIR, a Unix folder) and renders the page with Ghostscript to look at its pixels.
#include <gtest/gtest.h>

#include <windows.h>

#include <winspool.h>

#include "lib/codec/GdiplusHeaders.h"

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/res/resource.h"
#include "tests/app/main/AppTestSupport.h"

namespace {

const COLORREF kPrinted = RGB(30, 90, 200);

std::wstring Widen(const std::string& s) { return std::wstring(s.begin(), s.end()); }

// A Unix path as this process sees it through the drive that maps the root.
std::wstring DosPath(const std::string& unixPath) {
    std::wstring dos = L"Z:" + Widen(unixPath);
    for (wchar_t& c : dos)
        if (c == L'/') c = L'\\';
    return dos;
}

bool AnyPrinter() {
    DWORD cbNeeded = 0, nCount = 0;
    ::EnumPrintersW(PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS, nullptr, 2, nullptr, 0,
                    &cbNeeded, &nCount);
    return cbNeeded > 0;
}

// The newest file of the folder whose name holds the document's name, or "".
std::string FindPrintedFile(const std::string& dir) {
    WIN32_FIND_DATAW fd;
    HANDLE h = ::FindFirstFileW((DosPath(dir) + L"\\*Snapper*.pdf").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) return "";
    std::string name;
    do {
        if (fd.nFileSizeLow > 0)
            for (const wchar_t* p = fd.cFileName; *p; ++p) name += static_cast<char>(*p);
    } while (name.empty() && ::FindNextFileW(h, &fd));
    ::FindClose(h);
    return name.empty() ? "" : dir + "/" + name;
}

void RemovePrintedFiles(const std::string& dir) {
    for (std::string f = FindPrintedFile(dir); !f.empty(); f = FindPrintedFile(dir))
        if (!::DeleteFileW(DosPath(f).c_str())) return;
}

template <class Pred>
bool WaitUntil(Pred pred, DWORD dwTimeoutMs) {
    DWORD start = ::GetTickCount();
    while (!pred()) {
        if (::GetTickCount() - start > dwTimeoutMs) return false;
        ::Sleep(100);
    }
    return true;
}

// Renders the first page at 100 dpi into a binary PPM. This process starts the Unix shell but is
// not told when it ends, so the picture is written aside and moved into place when whole.
bool RenderPage(const std::string& pdf, const std::string& ppm) {
    std::string cmd =
        "/bin/sh -c \"gs -q -dSAFER -dBATCH -dNOPAUSE -dFirstPage=1 -dLastPage=1 "
        "-sDEVICE=ppmraw -r100 -sOutputFile='" +
        ppm + ".part' '" + pdf + "' && mv '" + ppm + ".part' '" + ppm + "'\"";
    std::wstring wcmd = Widen(cmd);
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    if (!::CreateProcessW(L"Z:\\bin\\sh", &wcmd[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &si, &pi))
        return false;
    ::CloseHandle(pi.hThread);
    ::CloseHandle(pi.hProcess);
    return WaitUntil(
        [&] { return ::GetFileAttributesW(DosPath(ppm).c_str()) != INVALID_FILE_ATTRIBUTES; },
        60000);
}

struct CPage {
    int cx = 0, cy = 0;
    std::string rgb;
    COLORREF At(int x, int y) const {
        const char* p = &rgb[(static_cast<size_t>(y) * cx + x) * 3];
        return RGB(static_cast<BYTE>(p[0]), static_cast<BYTE>(p[1]), static_cast<BYTE>(p[2]));
    }
};

bool ReadPpm(const std::string& ppm, CPage* pPage) {
    FILE* f = _wfopen(DosPath(ppm).c_str(), L"rb");
    if (!f) return false;
    // The header's fields may be separated by comment lines.
    int fields[3] = {}, nFields = 0;
    bool ok = fgetc(f) == 'P' && fgetc(f) == '6';
    while (ok && nFields < 3) {
        int c = fgetc(f);
        if (c == '#') {
            while (c != '\n' && c != EOF) c = fgetc(f);
        } else if (isdigit(c)) {
            ungetc(c, f);
            ok = fscanf(f, "%d", &fields[nFields++]) == 1;
        } else {
            ok = c != EOF;
        }
    }
    pPage->cx = fields[0], pPage->cy = fields[1];
    const int maxval = fields[2];
    ok = ok && fgetc(f) != EOF && maxval == 255 && pPage->cx > 0 && pPage->cy > 0 &&
         pPage->cx < 10000 && pPage->cy < 10000;
    if (ok) {
        pPage->rgb.resize(static_cast<size_t>(pPage->cx) * pPage->cy * 3);
        ok = fread(&pPage->rgb[0], 1, pPage->rgb.size(), f) == pPage->rgb.size();
    }
    fclose(f);
    return ok;
}

bool Near(COLORREF a, COLORREF b) {
    return abs(GetRValue(a) - GetRValue(b)) <= 12 && abs(GetGValue(a) - GetGValue(b)) <= 12 &&
           abs(GetBValue(a) - GetBValue(b)) <= 12;
}

}  // namespace

TEST(PrintTest, PrintedPageShowsTheThumbnail) {
    const char* pszDir = getenv("PELTO_PRINT_DIR");
    if (!pszDir || !*pszDir) GTEST_SKIP() << "no PDF print queue named by PELTO_PRINT_DIR";
    ASSERT_TRUE(AnyPrinter()) << "PELTO_PRINT_DIR is set but no printer is known";
    const std::string dir = pszDir;
    RemovePrintedFiles(dir);

    CMainWindowHost host;
    ASSERT_TRUE(host.m_bCreated);
    HWND hMain = host.m_dlg.m_hWnd;
    ASSERT_TRUE(PutColourOnClipboard(400, 300, kPrinted));
    host.Command(ID_EDIT_PASTE);
    ASSERT_NE(host.m_dlg.Core().GetImage(), nullptr);

    // The print dialog comes up on this thread's modal loop; a second thread accepts its defaults.
    std::atomic<int> nAccepted{0};
    {
        std::atomic<bool> bDone{false};
        CDriverThread driver([&] {
            while (!bDone && nAccepted == 0) {
                for (HWND h : ProcessDialogs(hMain)) {
                    ::PostMessageW(h, WM_COMMAND, IDOK, 0);
                    ++nAccepted;
                }
                ::Sleep(50);
            }
        });
        host.Command(ID_FILE_PRINT);
        bDone = true;
    }
    ASSERT_EQ(nAccepted, 1) << "the print dialog did not come";

    std::string pdf;
    ASSERT_TRUE(WaitUntil(
        [&] {
            pdf = FindPrintedFile(dir);
            return !pdf.empty();
        },
        90000))
        << "nothing was printed into " << dir;
    const std::string ppm = dir + "/pelto-print-test.ppm";
    ::DeleteFileW(DosPath(ppm).c_str());
    ASSERT_TRUE(RenderPage(pdf, ppm)) << "could not render " << pdf;
    CPage page;
    ASSERT_TRUE(ReadPpm(ppm, &page));

    // The thumbnail is one block of the pasted colour near the top left of an otherwise white
    // page, with the pasted picture's proportions.
    int left = page.cx, top = page.cy, right = -1, bottom = -1, nCount = 0, nOther = 0;
    for (int y = 0; y < page.cy; ++y)
        for (int x = 0; x < page.cx; ++x) {
            COLORREF c = page.At(x, y);
            if (Near(c, kPrinted)) {
                left = std::min(left, x), top = std::min(top, y);
                right = std::max(right, x), bottom = std::max(bottom, y);
                ++nCount;
            } else if (!Near(c, RGB(255, 255, 255))) {
                ++nOther;
            }
        }
    ASSERT_GT(nCount, 0) << "the page does not show the picture";
    const int cx = right - left + 1, cy = bottom - top + 1;
    EXPECT_GT(cx, 40) << "the picture is printed too small";
    // In printer pixels, not scaled to the paper: the thumbnail's width at the printer's
    // resolution, seen at the page's 100 dpi.
    int nThumbX = 0, nThumbY = 0;
    Gdiplus::Image* pThumb = host.m_dlg.Core().GetThubImage(nThumbX, nThumbY);
    ASSERT_NE(pThumb, nullptr);
    wchar_t szPrinter[256] = L"";
    DWORD nPrinter = 256;
    ASSERT_TRUE(::GetDefaultPrinterW(szPrinter, &nPrinter));
    HDC hPrinter = ::CreateDCW(nullptr, szPrinter, nullptr, nullptr);
    ASSERT_NE(hPrinter, nullptr);
    const int nDpi = ::GetDeviceCaps(hPrinter, LOGPIXELSX);
    ::DeleteDC(hPrinter);
    EXPECT_NEAR(cx, pThumb->GetWidth() * 100.0 / nDpi, 3) << "printer at " << nDpi << " dpi";
    EXPECT_LT(left, page.cx / 2);
    EXPECT_LT(top, page.cy / 2);
    EXPECT_NEAR(static_cast<double>(cx) / cy, 4.0 / 3.0, 0.1);
    EXPECT_GE(nCount, cx * cy * 9 / 10) << "the picture's block has holes";
    // The preview control's frame may show around the picture; nothing else is on the page.
    EXPECT_LT(nOther, cx * cy / 2);
    ::DeleteFileW(DosPath(ppm).c_str());
    ::DeleteFileW(DosPath(pdf).c_str());
}
