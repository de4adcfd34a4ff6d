#include "lib/image/CpuFeatures.h"

#include <atomic>

namespace {

std::atomic<int> g_nLevel{pelto_image::kVectorAvx512};

bool Allowed(pelto_image::VectorLevel level) {
    return g_nLevel.load(std::memory_order_relaxed) >= level;
}

}  // namespace

namespace pelto_image {

// The compiler's checks also ask the system (XGETBV) whether it saves the wider registers.
bool CpuHasAvx() {
    static const bool bHas = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("avx") != 0;
    }();
    return bHas;
}

bool CpuHasAvx2() {
    static const bool bHas = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("avx2") != 0;
    }();
    return bHas;
}

bool CpuHasAvx512Bw() {
    static const bool bHas = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("avx512f") != 0 && __builtin_cpu_supports("avx512bw") != 0;
    }();
    return bHas;
}

bool UseAvx() { return Allowed(kVectorAvx2) && CpuHasAvx(); }

bool UseAvx2() { return Allowed(kVectorAvx2) && CpuHasAvx2(); }

bool UseAvx512() { return Allowed(kVectorAvx512) && CpuHasAvx512Bw(); }

VectorLevel CpuVectorLevel() {
    if (CpuHasAvx512Bw() && CpuHasAvx2()) return kVectorAvx512;
    if (CpuHasAvx()) return kVectorAvx2;
    return kVectorSse2;
}

void SetVectorLevel(VectorLevel level) { g_nLevel.store(level, std::memory_order_relaxed); }

}  // namespace pelto_image
