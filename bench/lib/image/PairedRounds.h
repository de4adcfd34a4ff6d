// Rounds that time a fast version, its plain version and one memory copy back to back. The
// machine the figures come from is shared: for seconds at a time everything on it runs up to half
// again as slow, and times taken apart from each other in such a machine give ratios that swing
// by as much. Within a round all of them see the same spell, so each round's ratios hold, and the
// median over rounds drops the rounds a spell cut through.
#pragma once

#include <functional>

struct RoundTimes {
    double plainMs = 0;  // one run of the plain version
    double oneMs = 0;    // one run of the fast version on one thread
    double twoMs = 0;    // the same on two threads
    double copyMs = 0;   // one memory copy
};

// Times one round. Each is run often enough to take about spanMs (the fast version and the copy,
// after one run that finds how often); the fast runs are taken before and after the plain one and
// the copy, in mirrored order, so that a machine slowing down or speeding up during the round
// weighs alike on one and two threads.
RoundTimes TimeRound(const std::function<void()>& plain, const std::function<void(int)>& fast,
                     const std::function<void()>& copy, double spanMs);
