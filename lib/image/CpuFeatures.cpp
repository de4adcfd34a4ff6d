#include "lib/image/CpuFeatures.h"

#include <atomic>
#include <cstdlib>
#include <cstring>

namespace {

// No level set yet: PELTO_VECTOR ("sse2", "avx2" or "avx512") caps the level, else the processor's
// widest is taken.
const int kLevelUnset = -1;

std::atomic<int> g_nLevel{kLevelUnset};

int LevelFromEnvironment() {
    static const int nLevel = [] {
        const char* env = std::getenv("PELTO_VECTOR");
        if (env == nullptr) return static_cast<int>(pelto_image::kVectorAvx512);
        const struct {
            const char* name;
            pelto_image::VectorLevel level;
        } names[] = {{"sse2", pelto_image::kVectorSse2},
                     {"avx2", pelto_image::kVectorAvx2},
                     {"avx512", pelto_image::kVectorAvx512}};
        for (const auto& n : names)
            if (std::strcmp(env, n.name) == 0) return static_cast<int>(n.level);
        return static_cast<int>(pelto_image::kVectorAvx512);
    }();
    return nLevel;
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

VectorLevel CpuVectorLevel() {
    if (CpuHasAvx512Bw() && CpuHasAvx2()) return kVectorAvx512;
    if (CpuHasAvx()) return kVectorAvx2;
    return kVectorSse2;
}

void SetVectorLevel(VectorLevel level) { g_nLevel.store(level, std::memory_order_relaxed); }

VectorLevel ChosenVectorLevel() {
    const VectorLevel cpu = CpuVectorLevel();
    int chosen = g_nLevel.load(std::memory_order_relaxed);
    if (chosen == kLevelUnset) chosen = LevelFromEnvironment();
    return chosen < cpu ? static_cast<VectorLevel>(chosen) : cpu;
}

}  // namespace pelto_image
