// Times what a user waits for in the main window, beside a bare screen grab (BitBlt and GetDIBits
// of the same screen) measured in the same rounds: the new-capture command until the preview is
// repainted, and the grey toggle until the preview is repainted. Prints medians; asserts nothing.
// Run under Wine on the display to measure, e.g. Xvfb -screen 0 3840x2160x24.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

#include "app/res/resource.h"
#include "tests/app/main/AppTestSupport.h"

namespace {

double Millis(const std::function<void()>& fn) {
    LARGE_INTEGER freq, a, b;
    ::QueryPerformanceFrequency(&freq);
    ::QueryPerformanceCounter(&a);
    fn();
    ::QueryPerformanceCounter(&b);
    return 1000.0 * static_cast<double>(b.QuadPart - a.QuadPart) /
           static_cast<double>(freq.QuadPart);
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

void BareGrab(int cx, int cy, std::vector<BYTE>& pixels) {
    HDC hScreen = ::GetDC(nullptr);
    HDC hMem = ::CreateCompatibleDC(hScreen);
    HBITMAP hBmp = ::CreateCompatibleBitmap(hScreen, cx, cy);
    HGDIOBJ old = ::SelectObject(hMem, hBmp);
    ::BitBlt(hMem, 0, 0, cx, cy, hScreen, 0, 0, SRCCOPY);
    ::SelectObject(hMem, old);
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = cx;
    bi.bmiHeader.biHeight = -cy;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    ::GetDIBits(hMem, hBmp, 0, static_cast<UINT>(cy), pixels.data(), &bi, DIB_RGB_COLORS);
    ::DeleteObject(hBmp);
    ::DeleteDC(hMem);
    ::ReleaseDC(nullptr, hScreen);
}

}  // namespace

int main(int argc, char** argv) {
    int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 15;
    CMainWindowHost host;
    if (!host.m_bCreated) {
        std::printf("the main window could not be made\n");
        return 1;
    }
    HWND hMain = host.m_dlg.m_hWnd;
    int cx = ::GetSystemMetrics(SM_CXSCREEN), cy = ::GetSystemMetrics(SM_CYSCREEN);
    std::vector<BYTE> pixels(static_cast<size_t>(cx) * cy * 4);
    auto capture = [&] {
        ::SendMessageW(hMain, WM_COMMAND, ID_SNAP_FULLSCREEN, 0);
        ::UpdateWindow(hMain);
    };
    auto grey = [&] {
        ::SendMessageW(hMain, WM_COMMAND, ID_OPT_GRAYSCALE, 0);
        ::UpdateWindow(hMain);
    };
    // Warm-up: first touches of buffers and code.
    BareGrab(cx, cy, pixels);
    capture();
    grey();
    grey();
    std::vector<double> grab, snap, toggleOn, toggleOff;
    for (int i = 0; i < rounds; ++i) {
        grab.push_back(Millis([&] { BareGrab(cx, cy, pixels); }));
        snap.push_back(Millis(capture));
        toggleOn.push_back(Millis(grey));
        toggleOff.push_back(Millis(grey));
    }
    double g = Median(grab);
    std::printf("screen %dx%d, %d rounds, medians:\n", cx, cy, rounds);
    std::printf("  bare grab (BitBlt + GetDIBits)       %8.1f ms\n", g);
    std::printf("  new capture -> repainted preview     %8.1f ms  %.2f x grab\n", Median(snap),
                Median(snap) / g);
    std::printf("  grey on -> repainted preview         %8.1f ms  %.2f x grab\n", Median(toggleOn),
                Median(toggleOn) / g);
    std::printf("  grey off -> repainted preview        %8.1f ms  %.2f x grab\n", Median(toggleOff),
                Median(toggleOff) / g);
    return 0;
}
