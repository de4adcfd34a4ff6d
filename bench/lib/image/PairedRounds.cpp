#include "bench/lib/image/PairedRounds.h"

#include <chrono>
#include <cmath>

namespace {

// Milliseconds per run over n runs.
double MsPerRun(int n, const std::function<void()>& run) {
    const auto t0 = std::chrono::steady_clock::now();
    for (int i = 0; i < n; ++i) run();
    const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - t0;
    return took.count() / n;
}

// How many runs take about spanMs, from one run (which also warms the caches).
int RunsForSpan(const std::function<void()>& run, double spanMs) {
    const double once = MsPerRun(1, run);
    if (!(once > 0) || once >= spanMs) return 1;
    const double n = std::ceil(spanMs / once);
    return n > 1000 ? 1000 : static_cast<int>(n);
}

}  // namespace

RoundTimes TimeRound(const std::function<void()>& plain, const std::function<void(int)>& fast,
                     const std::function<void()>& copy, double spanMs) {
    const std::function<void()> one = [&fast] { fast(1); };
    const std::function<void()> two = [&fast] { fast(2); };
    const int nOne = RunsForSpan(one, spanMs), nTwo = RunsForSpan(two, spanMs);
    const int nCopy = RunsForSpan(copy, spanMs);
    RoundTimes t;
    t.oneMs = MsPerRun(nOne, one);
    t.twoMs = MsPerRun(nTwo, two);
    t.plainMs = MsPerRun(1, plain);
    t.copyMs = MsPerRun(nCopy, copy);
    t.twoMs = (t.twoMs + MsPerRun(nTwo, two)) / 2;
    t.oneMs = (t.oneMs + MsPerRun(nOne, one)) / 2;
    return t;
}
