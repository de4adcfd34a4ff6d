// A read-only stream over bytes in memory for the platform's decoders. The platform's own
// HGLOBAL stream copies from beyond its block after a seek past the end (under Wine), so a
// decoder that follows a hostile offset would read wild memory; this one reads nothing there.
#pragma once

#include <objidl.h>
#include <windows.h>

#include <cstddef>
#include <vector>

#include "lib/PeltoLibApi.h"

// A stream holding the bytes (copied or taken), at position 0, with one reference; null when
// memory runs out. A read past the end returns what is there; a seek past the end is allowed;
// writing is refused.
PELTOLIB_API IStream* CreateMemoryStream(const void* pData, size_t nSize);
PELTOLIB_API IStream* CreateMemoryStream(std::vector<BYTE>&& bytes);
