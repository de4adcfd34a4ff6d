// Times the capture path on the display's whole screen beside a bare grab of the same screen
// (BitBlt into a screen-compatible bitmap, GetDIBits of its pixels), taken in turns in the same
// run so that the machine's load falls on all of them alike: SnapRect to the new thumbnail with
// every effect off, and a grey toggle (RefreshImageData with grey on, after one with it off).
// Prints medians and their ratios to the bare grab; asserts nothing. Usage:
//   core_capture_bench.exe [rounds]     PELTO_THREADS sets the effects' thread count.
#include <windows.h>

#include "lib/codec/GdiplusHeaders.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

#include "lib/image/RowWorkers.h"
#include "tests/lib/core/CoreTestSupport.h"

namespace {

double Milliseconds(const std::function<bool()>& run, bool* pOk) {
    LARGE_INTEGER freq, a, b;
    ::QueryPerformanceFrequency(&freq);
    ::QueryPerformanceCounter(&a);
    *pOk = run() && *pOk;
    ::QueryPerformanceCounter(&b);
    return 1000.0 * static_cast<double>(b.QuadPart - a.QuadPart) /
           static_cast<double>(freq.QuadPart);
}

// What any capture has to do at the least: the screen's pixels in memory.
bool BareGrab(CSize screen, std::vector<RGBQUAD>* pPixels) {
    HDC hScreen = ::GetDC(nullptr);
    HDC hMemory = ::CreateCompatibleDC(hScreen);
    HBITMAP hBitmap = ::CreateCompatibleBitmap(hScreen, screen.cx, screen.cy);
    HGDIOBJ hOld = ::SelectObject(hMemory, hBitmap);
    bool ok = ::BitBlt(hMemory, 0, 0, screen.cx, screen.cy, hScreen, 0, 0, SRCCOPY) != 0;
    ::SelectObject(hMemory, hOld);
    BITMAPINFO bmi = {};
    bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bmi.bmiHeader.biWidth = screen.cx;
    bmi.bmiHeader.biHeight = -screen.cy;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    bmi.bmiHeader.biCompression = BI_RGB;
    pPixels->resize(static_cast<size_t>(screen.cx) * screen.cy);
    ok = ok && ::GetDIBits(hScreen, hBitmap, 0, static_cast<UINT>(screen.cy), pPixels->data(), &bmi,
                           DIB_RGB_COLORS) != 0;
    ::DeleteObject(hBitmap);
    ::DeleteDC(hMemory);
    ::ReleaseDC(nullptr, hScreen);
    return ok;
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    const int nRounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 15;
    CEngineHost host;
    CTestCore& core = host.m_core;
    CPeltoConfig& c = core.m_config;
    c.m_bApplyEffects = TRUE;
    const CSize screen = ScreenSize();
    std::vector<RGBQUAD> pixels;
    const CRect whole(0, 0, 0, 0);
    bool ok = true;
    // Warm-up: the first touches of every buffer are paid once by any running program.
    BareGrab(screen, &pixels);
    core.SnapRect(::GetDesktopWindow(), whole);

    std::vector<double> grab, snap, grey;
    for (int i = 0; i < nRounds; ++i) {
        grab.push_back(Milliseconds([&] { return BareGrab(screen, &pixels); }, &ok));
        snap.push_back(
            Milliseconds([&] { return core.SnapRect(::GetDesktopWindow(), whole) == 1; }, &ok));
        c.SetGrayScale(TRUE);
        grey.push_back(Milliseconds(
            [&] {
                core.RefreshImageData();
                return core.GetImage() != nullptr;
            },
            &ok));
        c.SetGrayScale(FALSE);
        core.RefreshImageData();
    }
    if (!ok) {
        std::printf("a capture failed\n");
        return 1;
    }
    int x, y;
    Gdiplus::Image* pThumb = core.GetThubImage(x, y);
    const double g = Median(grab);
    std::printf("screen %ldx%ld, thumbnail %ux%u, %d threads, medians of %d rounds:\n",
                static_cast<long>(screen.cx), static_cast<long>(screen.cy),
                pThumb ? pThumb->GetWidth() : 0u, pThumb ? pThumb->GetHeight() : 0u,
                pelto_image::RowThreadCount(), nRounds);
    std::printf("  bare grab (BitBlt + GetDIBits)  %7.1f ms\n", g);
    std::printf("  SnapRect to thumbnail           %7.1f ms = %.2f x the bare grab\n", Median(snap),
                Median(snap) / g);
    std::printf("  grey toggle (RefreshImageData)  %7.1f ms = %.2f x the bare grab\n", Median(grey),
                Median(grey) / g);
    return 0;
}
