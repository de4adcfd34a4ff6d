// Times the capture path, from SnapRect to the new thumbnail, on the display's whole screen with
// every effect off. Prints the figures; asserts nothing.
#include <windows.h>

#include "lib/codec/GdiplusHeaders.h"

#include <cstdio>
#include <vector>

#include "tests/lib/core/CoreTestSupport.h"

int main() {
    CEngineHost host;
    CTestCore& core = host.m_core;
    core.m_config.m_bApplyEffects = TRUE;
    CSize screen = ScreenSize();
    LARGE_INTEGER freq;
    ::QueryPerformanceFrequency(&freq);
    std::vector<double> times;
    core.SnapRect(::GetDesktopWindow(), CRect(0, 0, 0, 0));  // warm-up
    for (int i = 0; i < 10; ++i) {
        LARGE_INTEGER a, b;
        ::QueryPerformanceCounter(&a);
        int ok = core.SnapRect(::GetDesktopWindow(), CRect(0, 0, 0, 0));
        ::QueryPerformanceCounter(&b);
        if (!ok) {
            std::printf("capture failed\n");
            return 1;
        }
        times.push_back(1000.0 * static_cast<double>(b.QuadPart - a.QuadPart) /
                        static_cast<double>(freq.QuadPart));
    }
    std::sort(times.begin(), times.end());
    double sum = 0;
    for (double t : times) sum += t;
    int x, y;
    Gdiplus::Image* pThumb = core.GetThubImage(x, y);
    std::printf(
        "screen %ldx%ld, image %ux%u, thumbnail %ux%u: SnapRect min %.1f ms, median %.1f "
        "ms, mean %.1f ms over %zu runs\n",
        static_cast<long>(screen.cx), static_cast<long>(screen.cy), core.GetImage()->GetWidth(),
        core.GetImage()->GetHeight(), pThumb ? pThumb->GetWidth() : 0u,
        pThumb ? pThumb->GetHeight() : 0u, times.front(), times[times.size() / 2],
        sum / static_cast<double>(times.size()), times.size());
    return 0;
}
