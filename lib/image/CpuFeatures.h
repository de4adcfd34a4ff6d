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

// The widest paths that the loops may take; tests lower it to run the narrower ones too.
enum VectorLevel { kVectorSse2 = 0, kVectorAvx2 = 1, kVectorAvx512 = 2 };

// CpuHasAvx(), unless the level has been lowered to SSE2.
bool UseAvx();

// CpuHasAvx2(), unless the level has been lowered to SSE2.
bool UseAvx2();

// CpuHasAvx512Bw(), unless the level has been lowered below it.
bool UseAvx512();

// The widest level this processor offers.
VectorLevel CpuVectorLevel();

void SetVectorLevel(VectorLevel level);

}  // namespace pelto_image
