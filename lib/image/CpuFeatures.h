// Which vector instructions the pixel loops may use. Every path gives the same bits; the wider
// ones only run where the processor and the system support them.
#pragma once

namespace pelto_image {

// Four-lane doubles (AVX), offered by the processor and saved by the system on a thread switch.
bool CpuHasAvx();

// 256-bit integer vectors (AVX2) as well.
bool CpuHasAvx2();

// 512-bit vectors with 8- and 16-bit lanes (AVX-512 F and BW).
bool CpuHasAvx512Bw();

// The widest paths that the loops may take; tests and benchmarks lower it to run the narrower
// ones too.
enum VectorLevel { kVectorSse2 = 0, kVectorAvx2 = 1, kVectorAvx512 = 2 };

// The widest level this processor offers.
VectorLevel CpuVectorLevel();

// Lowers (or restores) the widest level the pixel processors take; their kernels follow at
// their next call.
void SetVectorLevel(VectorLevel level);

// The level set last (before any, the one the environment variable PELTO_VECTOR names: "sse2",
// "avx2" or "avx512"), never above CpuVectorLevel(): the one the kernel tables are filled for.
VectorLevel ChosenVectorLevel();

}  // namespace pelto_image
