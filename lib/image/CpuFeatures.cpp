#include "lib/image/CpuFeatures.h"

#include <atomic>

namespace {

std::atomic<bool> g_bAvxAllowed{true};

}  // namespace

namespace pelto_image {

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

bool UseAvx2() { return g_bAvxAllowed.load(std::memory_order_relaxed) && CpuHasAvx2(); }

bool UseAvx() { return g_bAvxAllowed.load(std::memory_order_relaxed) && CpuHasAvx(); }

void SetAvxAllowed(bool bAllowed) { g_bAvxAllowed.store(bAllowed, std::memory_order_relaxed); }

}  // namespace pelto_image
