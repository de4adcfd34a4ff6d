#include "lib/image/VectorKernels.h"

#include "lib/image/CpuFeatures.h"

namespace pelto_image {

namespace {

// A level below AVX2 that still has four-lane doubles (AVX without AVX2) takes the four-lane
// kernels; AVX-512 is only taken on top of AVX2, as every processor with it has.
VectorKernels Build(VectorLevel level) {
    VectorKernels table{};
    FillKernelsSse2(&table);
    if (level >= kVectorAvx2 && CpuHasAvx()) FillKernelsAvx(&table);
    if (level >= kVectorAvx2 && CpuHasAvx2()) FillKernelsAvx2(&table);
    if (level >= kVectorAvx512 && CpuHasAvx512Bw() && CpuHasAvx2()) FillKernelsAvx512(&table);
    return table;
}

}  // namespace

const VectorKernels& Kernels() {
    // One table per level, each filled once, at its first use: a level forced later (tests,
    // benchmarks) only changes which table the processors get.
    switch (ChosenVectorLevel()) {
        case kVectorSse2: {
            static const VectorKernels table = Build(kVectorSse2);
            return table;
        }
        case kVectorAvx2: {
            static const VectorKernels table = Build(kVectorAvx2);
            return table;
        }
        default: {
            static const VectorKernels table = Build(kVectorAvx512);
            return table;
        }
    }
}

}  // namespace pelto_image
