// A cheap look at a picture file's container before any decoder of the platform sees it: the
// platform's loaders trust data offsets, entry offsets and declared sizes, so a file whose header
// points outside itself or declares a picture beyond kMaxImagePixels never reaches them.
#pragma once

#include <cstddef>
#include <cstdint>

namespace pelto_image {

enum class ImageFileFormat { kUnknown, kBmp, kIco, kCur, kPng, kGif, kJpeg, kTiff };

enum class ImageHeaderVerdict {
    kAccepted,       // the container is consistent and the picture fits the limit
    kUnknownFormat,  // no signature this check knows
    kMalformed,      // a field is impossible or points outside the file
    kTooLarge,       // the declared width x height is beyond kMaxImagePixels
};

struct ImageHeaderInfo {
    ImageHeaderVerdict verdict;
    ImageFileFormat format;
    // The declared size of the largest picture in the file (0 when none was read).
    int64_t width;
    int64_t height;
};

// Looks only at the bytes given (the whole file); reads nothing outside them.
ImageHeaderInfo CheckImageHeader(const uint8_t* pData, size_t nSize);

}  // namespace pelto_image
