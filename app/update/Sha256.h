// SHA-256 of a byte stream, fed in pieces (an installer is read a block at a time).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace update {

class Sha256 {
public:
    Sha256();
    void Update(const void* data, size_t size);
    // The digest as 64 lower-case hexadecimal digits; the object is spent afterwards.
    std::string FinishHex();

private:
    void Block(const uint8_t* p);
    uint32_t m_h[8];
    uint8_t m_buf[64];
    size_t m_nBuf = 0;
    uint64_t m_nBits = 0;
};

// Whether a hexadecimal digest names the same value, in either letter case.
bool SameDigest(const std::string& hexA, const std::wstring& hexB);

}  // namespace update
