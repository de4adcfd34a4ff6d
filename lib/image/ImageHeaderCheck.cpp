#include "lib/image/ImageHeaderCheck.h"

#include <cstring>

#include "lib/image/ImageProcessor.h"

namespace pelto_image {

namespace {

typedef ImageHeaderVerdict V;
typedef ImageFileFormat F;

// Every read goes through Has first: offsets come from the file and are checked in 64 bits, so
// no sum can wrap past the end.
struct Span {
    const uint8_t* p;
    size_t n;

    bool Has(uint64_t off, uint64_t len) const { return off <= n && len <= n - off; }
    uint32_t U16(uint64_t o, bool big) const {
        return big ? (uint32_t(p[o]) << 8) | p[o + 1] : p[o] | (uint32_t(p[o + 1]) << 8);
    }
    uint32_t U32(uint64_t o, bool big) const {
        return big ? (U16(o, true) << 16) | U16(o + 2, true)
                   : U16(o, false) | (U16(o + 2, false) << 16);
    }
    int32_t S32(uint64_t o) const { return static_cast<int32_t>(U32(o, false)); }
    bool Starts(const char* sig, size_t len) const {
        return n >= len && std::memcmp(p, sig, len) == 0;
    }
};

ImageHeaderInfo Result(F f, V v, int64_t w = 0, int64_t h = 0) { return {v, f, w, h}; }

// Width and height both positive and their product within the limit that every holder and
// processor chain can allocate for.
ImageHeaderInfo SizeResult(F f, int64_t w, int64_t h) {
    if (w <= 0 || h <= 0 || w > INT32_MAX || h > INT32_MAX) return Result(f, V::kMalformed, w, h);
    if (w * h > kMaxImagePixels) return Result(f, V::kTooLarge, w, h);
    return Result(f, V::kAccepted, w, h);
}

bool ValidBitCount(uint32_t bpp) {
    return bpp == 1 || bpp == 4 || bpp == 8 || bpp == 16 || bpp == 24 || bpp == 32;
}

int64_t RowBytes(int64_t w, uint32_t bpp) { return (w * bpp + 31) / 32 * 4; }

ImageHeaderInfo CheckBmp(const Span& s) {
    if (!s.Has(0, 18)) return Result(F::kBmp, V::kMalformed);
    const uint64_t nOffBits = s.U32(10, false);
    const uint32_t nHeader = s.U32(14, false);
    if (nHeader != 12 && nHeader != 40 && nHeader != 52 && nHeader != 56 && nHeader != 108 &&
        nHeader != 124)
        return Result(F::kBmp, V::kMalformed);
    if (!s.Has(14, nHeader)) return Result(F::kBmp, V::kMalformed);
    int64_t w, h;
    uint32_t nPlanes, nBits, nCompression = 0, nSizeImage = 0, nColorsUsed = 0, nEntry = 4;
    if (nHeader == 12) {
        w = s.U16(18, false);
        h = s.U16(20, false);
        nPlanes = s.U16(22, false);
        nBits = s.U16(24, false);
        nEntry = 3;
    } else {
        w = s.S32(18);
        h = s.S32(22);
        nPlanes = s.U16(26, false);
        nBits = s.U16(28, false);
        nCompression = s.U32(30, false);
        nSizeImage = s.U32(34, false);
        nColorsUsed = s.U32(46, false);
    }
    if (nPlanes != 1 || !ValidBitCount(nBits)) return Result(F::kBmp, V::kMalformed, w, h);
    const bool bTopDown = h < 0;
    const int64_t nRows = bTopDown ? -h : h;
    const bool bRle = nCompression == 1 || nCompression == 2;
    if ((nCompression == 1 && nBits != 8) || (nCompression == 2 && nBits != 4) ||
        (nCompression == 3 && nBits != 16 && nBits != 32) || nCompression > 3 || (bRle && bTopDown))
        return Result(F::kBmp, V::kMalformed, w, nRows);
    // The three masks follow a 40-byte header; the larger headers hold them.
    const uint64_t nMasks = nCompression == 3 && nHeader == 40 ? 12 : 0;
    const uint32_t nMaxColors = nBits <= 8 ? 1u << nBits : 256;
    if (nColorsUsed > nMaxColors) return Result(F::kBmp, V::kMalformed, w, nRows);
    const uint64_t nColors = nColorsUsed ? nColorsUsed : (nBits <= 8 ? nMaxColors : 0);
    const uint64_t nTables = 14 + nHeader + nMasks;
    if (!s.Has(0, nTables + nColors * nEntry) || nOffBits < nTables || nOffBits > s.n)
        return Result(F::kBmp, V::kMalformed, w, nRows);
    ImageHeaderInfo size = SizeResult(F::kBmp, w, nRows);
    if (size.verdict != V::kAccepted) return size;
    const uint64_t nData = s.n - nOffBits;
    // Compressed data is read as far as the header says; plain rows must all be there.
    if (bRle ? nSizeImage == 0 || nSizeImage > nData
             : static_cast<uint64_t>(RowBytes(w, nBits) * nRows) > nData)
        return Result(F::kBmp, V::kMalformed, w, nRows);
    return size;
}

const uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};

ImageHeaderInfo CheckPng(const Span& s) {
    if (!s.Has(0, 33) || s.U32(8, true) != 13 || std::memcmp(s.p + 12, "IHDR", 4) != 0)
        return Result(F::kPng, V::kMalformed);
    const int64_t w = s.U32(16, true), h = s.U32(20, true);
    const uint8_t nDepth = s.p[24], nType = s.p[25];
    bool bDepthOk;
    switch (nType) {
        case 0:
            bDepthOk = nDepth == 1 || nDepth == 2 || nDepth == 4 || nDepth == 8 || nDepth == 16;
            break;
        case 3:
            bDepthOk = nDepth == 1 || nDepth == 2 || nDepth == 4 || nDepth == 8;
            break;
        case 2:
        case 4:
        case 6:
            bDepthOk = nDepth == 8 || nDepth == 16;
            break;
        default:
            bDepthOk = false;
    }
    if (!bDepthOk || s.p[26] != 0 || s.p[27] != 0 || s.p[28] > 1)
        return Result(F::kPng, V::kMalformed, w, h);
    ImageHeaderInfo size = SizeResult(F::kPng, w, h);
    if (size.verdict != V::kAccepted) return size;
    // Every chunk must lie inside the file, up to the end chunk.
    for (uint64_t pos = 8; s.Has(pos, 12);) {
        const uint64_t nLength = s.U32(pos, true);
        if (nLength > 0x7FFFFFFF || !s.Has(pos, 12 + nLength))
            return Result(F::kPng, V::kMalformed, w, h);
        if (std::memcmp(s.p + pos + 4, "IEND", 4) == 0) return size;
        pos += 12 + nLength;
    }
    return Result(F::kPng, V::kMalformed, w, h);
}

ImageHeaderInfo CheckIcon(const Span& s, F f) {
    if (!s.Has(0, 6)) return Result(f, V::kMalformed);
    const uint32_t nCount = s.U16(4, false);
    const uint64_t nDirEnd = 6 + 16 * uint64_t(nCount);
    if (s.U16(0, false) != 0 || nCount == 0 || !s.Has(0, nDirEnd)) return Result(f, V::kMalformed);
    ImageHeaderInfo largest = Result(f, V::kAccepted);
    for (uint32_t i = 0; i < nCount; ++i) {
        const uint64_t nEntry = 6 + 16 * uint64_t(i);
        const uint64_t nSize = s.U32(nEntry + 8, false), nOffset = s.U32(nEntry + 12, false);
        if (nOffset < nDirEnd || nSize < 8 || !s.Has(nOffset, nSize))
            return Result(f, V::kMalformed);
        const Span image = {s.p + nOffset, static_cast<size_t>(nSize)};
        ImageHeaderInfo one;
        if (image.Starts(reinterpret_cast<const char*>(kPngSignature), 8)) {
            one = CheckPng(image);
        } else {
            if (!image.Has(0, 40)) return Result(f, V::kMalformed);
            const uint32_t nHeader = image.U32(0, false);
            const int64_t w = image.S32(4), h2 = image.S32(8);
            const uint32_t nBits = image.U16(14, false), nCompression = image.U32(16, false);
            const uint32_t nColorsUsed = image.U32(32, false);
            // The height counts the colour rows and the mask rows together.
            if (nHeader < 40 || nHeader > 124 || image.U16(12, false) > 1 ||
                !ValidBitCount(nBits) ||
                (nCompression != 0 && !(nCompression == 3 && nBits >= 16)) || h2 < 2 ||
                nColorsUsed > 256)
                return Result(f, V::kMalformed, w, h2);
            const int64_t h = h2 / 2;
            one = SizeResult(f, w, h);
            if (one.verdict != V::kAccepted) return one;
            const uint64_t nColors = nColorsUsed ? nColorsUsed : (nBits <= 8 ? 1u << nBits : 0);
            const uint64_t nMasks = nCompression == 3 && nHeader == 40 ? 12 : 0;
            const uint64_t nNeed =
                nHeader + nMasks + nColors * 4 + (RowBytes(w, nBits) + RowBytes(w, 1)) * h;
            if (nNeed > nSize) return Result(f, V::kMalformed, w, h);
        }
        if (one.verdict != V::kAccepted) return Result(f, one.verdict, one.width, one.height);
        if (one.width * one.height > largest.width * largest.height) {
            largest.width = one.width;
            largest.height = one.height;
        }
    }
    return largest;
}

// Skips a chain of GIF data sub-blocks; false when it runs past the end.
bool SkipSubBlocks(const Span& s, uint64_t& pos) {
    for (;;) {
        if (!s.Has(pos, 1)) return false;
        const uint64_t nLength = s.p[pos++];
        if (nLength == 0) return true;
        if (!s.Has(pos, nLength)) return false;
        pos += nLength;
    }
}

ImageHeaderInfo CheckGif(const Span& s) {
    if (!s.Has(0, 13)) return Result(F::kGif, V::kMalformed);
    ImageHeaderInfo screen = SizeResult(F::kGif, s.U16(6, false), s.U16(8, false));
    if (screen.verdict != V::kAccepted) return screen;
    uint64_t pos = 13;
    if (s.p[10] & 0x80) pos += 3u << ((s.p[10] & 7) + 1);
    int nFrames = 0;
    while (s.Has(pos, 1)) {
        const uint8_t nBlock = s.p[pos];
        if (nBlock == 0x3B) break;
        if (nBlock == 0x21) {
            pos += 2;
            if (!SkipSubBlocks(s, pos)) return Result(F::kGif, V::kMalformed);
        } else if (nBlock == 0x2C) {
            if (!s.Has(pos, 10)) return Result(F::kGif, V::kMalformed);
            ImageHeaderInfo frame =
                SizeResult(F::kGif, s.U16(pos + 5, false), s.U16(pos + 7, false));
            if (frame.verdict != V::kAccepted) return frame;
            const uint8_t nFlags = s.p[pos + 9];
            pos += 10;
            if (nFlags & 0x80) pos += 3u << ((nFlags & 7) + 1);
            if (!s.Has(pos, 1) || s.p[pos] < 2 || s.p[pos] > 8)
                return Result(F::kGif, V::kMalformed);
            ++pos;
            if (!SkipSubBlocks(s, pos)) return Result(F::kGif, V::kMalformed);
            ++nFrames;
        } else {
            return Result(F::kGif, V::kMalformed);
        }
    }
    return nFrames > 0 ? screen : Result(F::kGif, V::kMalformed);
}

ImageHeaderInfo CheckJpeg(const Span& s) {
    // Segments up to the frame header must lie inside the file; the frame header gives the size.
    uint64_t pos = 2;
    for (;;) {
        if (!s.Has(pos, 2) || s.p[pos] != 0xFF) return Result(F::kJpeg, V::kMalformed);
        const uint8_t nMarker = s.p[pos + 1];
        if (nMarker == 0xFF) {
            ++pos;  // fill byte
            continue;
        }
        pos += 2;
        if (nMarker == 0x01 || (nMarker >= 0xD0 && nMarker <= 0xD7)) continue;
        if (nMarker == 0xD8 || nMarker == 0xD9 || nMarker == 0xDA || nMarker == 0x00)
            return Result(F::kJpeg, V::kMalformed);
        if (!s.Has(pos, 2)) return Result(F::kJpeg, V::kMalformed);
        const uint64_t nLength = s.U16(pos, true);
        if (nLength < 2 || !s.Has(pos, nLength)) return Result(F::kJpeg, V::kMalformed);
        if (nMarker >= 0xC0 && nMarker <= 0xCF && nMarker != 0xC4 && nMarker != 0xC8 &&
            nMarker != 0xCC) {
            if (nLength < 8) return Result(F::kJpeg, V::kMalformed);
            const int64_t h = s.U16(pos + 3, true), w = s.U16(pos + 5, true);
            const uint32_t nComponents = s.p[pos + 7];
            if (nComponents == 0 || nComponents > 4 || nLength < 8 + 3 * nComponents)
                return Result(F::kJpeg, V::kMalformed, w, h);
            return SizeResult(F::kJpeg, w, h);
        }
        pos += nLength;
    }
}

// One TIFF directory entry: where its values lie once checked to be inside the file.
struct TiffArray {
    uint64_t pos = 0;
    uint64_t count = 0;
    uint32_t elem = 0;  // 2 or 4; 0 when absent
};

bool ReadTiffArray(const Span& s, uint64_t nEntry, bool big, TiffArray& a) {
    const uint32_t nType = s.U16(nEntry + 2, big);
    a.elem = nType == 3 ? 2 : nType == 4 ? 4 : 0;
    a.count = s.U32(nEntry + 4, big);
    if (a.elem == 0 || a.count == 0) return false;
    a.pos = a.count * a.elem <= 4 ? nEntry + 8 : s.U32(nEntry + 8, big);
    return s.Has(a.pos, a.count * a.elem);
}

uint64_t TiffValue(const Span& s, const TiffArray& a, uint64_t i, bool big) {
    return a.elem == 2 ? s.U16(a.pos + 2 * i, big) : s.U32(a.pos + 4 * i, big);
}

ImageHeaderInfo CheckTiff(const Span& s) {
    if (!s.Has(0, 8)) return Result(F::kTiff, V::kMalformed);
    const bool big = s.p[0] == 'M';
    ImageHeaderInfo largest = Result(F::kTiff, V::kMalformed);
    uint64_t nIfd = s.U32(4, big);
    // A chain of directories that loops is cut after this many.
    for (int nPages = 0; nIfd != 0 && nPages < 64; ++nPages) {
        if (nIfd < 8 || !s.Has(nIfd, 2)) return Result(F::kTiff, V::kMalformed);
        const uint64_t nEntries = s.U16(nIfd, big);
        if (nEntries == 0 || !s.Has(nIfd + 2, 12 * nEntries + 4))
            return Result(F::kTiff, V::kMalformed);
        int64_t w = 0, h = 0, tw = 1, th = 1;
        TiffArray offsets, counts;
        for (uint64_t i = 0; i < nEntries; ++i) {
            const uint64_t nEntry = nIfd + 2 + 12 * i;
            const uint32_t nTag = s.U16(nEntry, big);
            TiffArray a;
            const bool bKnown = nTag == 256 || nTag == 257 || nTag == 273 || nTag == 279 ||
                                nTag == 322 || nTag == 323 || nTag == 324 || nTag == 325;
            if (!bKnown) continue;
            if (!ReadTiffArray(s, nEntry, big, a)) return Result(F::kTiff, V::kMalformed);
            const int64_t v = static_cast<int64_t>(TiffValue(s, a, 0, big));
            if (nTag == 256) w = v;
            if (nTag == 257) h = v;
            if (nTag == 322) tw = v;
            if (nTag == 323) th = v;
            if (nTag == 273 || nTag == 324) offsets = a;
            if (nTag == 279 || nTag == 325) counts = a;
        }
        ImageHeaderInfo size = SizeResult(F::kTiff, w, h);
        if (size.verdict != V::kAccepted) return size;
        ImageHeaderInfo tile = SizeResult(F::kTiff, tw, th);
        if (tile.verdict != V::kAccepted) return Result(F::kTiff, tile.verdict, w, h);
        if (offsets.elem == 0 || offsets.count != counts.count)
            return Result(F::kTiff, V::kMalformed, w, h);
        for (uint64_t i = 0; i < offsets.count; ++i)
            if (!s.Has(TiffValue(s, offsets, i, big), TiffValue(s, counts, i, big)))
                return Result(F::kTiff, V::kMalformed, w, h);
        if (largest.verdict != V::kAccepted || w * h > largest.width * largest.height)
            largest = size;
        nIfd = s.U32(nIfd + 2 + 12 * nEntries, big);
    }
    return largest;
}

}  // namespace

ImageHeaderInfo CheckImageHeader(const uint8_t* pData, size_t nSize) {
    const Span s = {pData, pData ? nSize : 0};
    if (s.Starts("BM", 2)) return CheckBmp(s);
    if (s.Starts("\0\0\1\0", 4)) return CheckIcon(s, F::kIco);
    if (s.Starts("\0\0\2\0", 4)) return CheckIcon(s, F::kCur);
    if (s.Starts(reinterpret_cast<const char*>(kPngSignature), 8)) return CheckPng(s);
    if (s.Starts("GIF87a", 6) || s.Starts("GIF89a", 6)) return CheckGif(s);
    if (s.Starts("\xFF\xD8", 2)) return CheckJpeg(s);
    if (s.Starts("II*\0", 4) || s.Starts("MM\0*", 4)) return CheckTiff(s);
    return Result(F::kUnknown, V::kUnknownFormat);
}

}  // namespace pelto_image
