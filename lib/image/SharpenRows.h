// What the sharpening kernels of every vector width share: the kernel's weights, the rows of
// doubles they read, and the scalar sum whose order each lane of the vector sums keeps.
#pragma once

#include <cstdint>

namespace pelto_image {

struct SharpenKernel {
    double edge;
    double corner;
};

// Columns are converted to doubles once per row and kept for the three rows that use them, in
// strips so that the rows fit on the stack.
constexpr int64_t kSharpenStrip = 256;

struct PlanarRow {
    double c[3][kSharpenStrip + 2];  // blue, green, red
};

inline uint8_t LimitAndTruncate(double s) {
    if (s < 0) return 0;
    if (s > 255) return 255;
    return static_cast<uint8_t>(static_cast<int>(s));
}

inline double SharpenSum1(const double* top, const double* mid, const double* bot, int64_t k,
                          const SharpenKernel& kn) {
    double s = kn.corner * top[k];
    s += kn.edge * mid[k];
    s += kn.corner * bot[k];
    s += kn.edge * top[k + 1];
    s += 2.0 * mid[k + 1];
    s += kn.edge * bot[k + 1];
    s += kn.corner * top[k + 2];
    s += kn.edge * mid[k + 2];
    s += kn.corner * bot[k + 2];
    return s;
}

}  // namespace pelto_image
