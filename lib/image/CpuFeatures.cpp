#include "lib/image/CpuFeatures.h"

#include <atomic>

namespace {

std::atomic<int> g_nLevel{pelto_image::kVectorAvx512};

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

VectorLevel CpuVectorLevel() {
    if (CpuHasAvx512Bw() && CpuHasAvx2()) return kVectorAvx512;
    if (CpuHasAvx()) return kVectorAvx2;
    return kVectorSse2;
}

void SetVectorLevel(VectorLevel level) { g_nLevel.store(level, std::memory_order_relaxed); }

VectorLevel ChosenVectorLevel() {
    const VectorLevel cpu = CpuVectorLevel();
    const int chosen = g_nLevel.load(std::memory_order_relaxed);
    return chosen < cpu ? static_cast<VectorLevel>(chosen) : cpu;
}

}  // namespace pelto_image
