// Which vector instructions the pixel loops may use. Every path gives the same bits; the wider
// ones only run where the processor and the system support them.
#pragma once

namespace pelto_image {

// Four-lane doubles (AVX), offered by the processor and saved by the system on a thread switch.
bool CpuHasAvx();

// 256-bit integer vectors (AVX2) as well.
bool CpuHasAvx2();

// CpuHasAvx(), unless the wide paths have been turned off.
bool UseAvx();

// CpuHasAvx2(), unless the wide paths have been turned off.
bool UseAvx2();

// Lets tests run the 128-bit paths on a machine that has wider ones.
void SetAvxAllowed(bool bAllowed);

}  // namespace pelto_image
