// The header check over the smallest consistent files of each format and one hostile field each.
#include "lib/image/ImageHeaderCheck.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

using pelto_image::CheckImageHeader;
using pelto_image::ImageFileFormat;
using pelto_image::ImageHeaderVerdict;

namespace {

typedef std::string Bytes;

void Le16(Bytes& s, uint32_t v) {
    s += char(v & 0xFF);
    s += char((v >> 8) & 0xFF);
}
void Le32(Bytes& s, uint32_t v) {
    Le16(s, v & 0xFFFF);
    Le16(s, v >> 16);
}
void Be16(Bytes& s, uint32_t v) {
    s += char((v >> 8) & 0xFF);
    s += char(v & 0xFF);
}
void Be32(Bytes& s, uint32_t v) {
    Be16(s, v >> 16);
    Be16(s, v & 0xFFFF);
}
void SetLe32(Bytes& s, size_t at, uint32_t v) {
    Bytes b;
    Le32(b, v);
    s.replace(at, 4, b);
}
void SetLe16(Bytes& s, size_t at, uint32_t v) {
    Bytes b;
    Le16(b, v);
    s.replace(at, 2, b);
}
void SetBe32(Bytes& s, size_t at, uint32_t v) {
    Bytes b;
    Be32(b, v);
    s.replace(at, 4, b);
}
void SetBe16(Bytes& s, size_t at, uint32_t v) {
    Bytes b;
    Be16(b, v);
    s.replace(at, 2, b);
}

// 2 x 2, 24 bits, bottom-up.
Bytes Bmp() {
    Bytes s = "BM";
    Le32(s, 70);
    Le32(s, 0);
    Le32(s, 54);
    for (uint32_t v : {40u, 2u, 2u}) Le32(s, v);
    Le16(s, 1);
    Le16(s, 24);
    for (uint32_t v : {0u, 16u, 2835u, 2835u, 0u, 0u}) Le32(s, v);
    return s + Bytes(16, '\x55');
}

// One 2 x 2 32-bit entry with its mask.
Bytes Ico() {
    Bytes s;
    for (uint32_t v : {0u, 1u, 1u}) Le16(s, v);
    s += Bytes("\x02\x02\x00\x00", 4);
    Le16(s, 1);
    Le16(s, 32);
    Le32(s, 40 + 16 + 8);
    Le32(s, 22);
    for (uint32_t v : {40u, 2u, 4u}) Le32(s, v);
    Le16(s, 1);
    Le16(s, 32);
    for (int i = 0; i < 6; ++i) Le32(s, 0);
    return s + Bytes(24, '\0');
}

Bytes PngSized(uint32_t w, uint32_t h) {
    Bytes s = "\x89PNG\r\n\x1a\n";
    Be32(s, 13);
    s += "IHDR";
    Be32(s, w);
    Be32(s, h);
    s += Bytes("\x08\x02\x00\x00\x00", 5);
    Be32(s, 0);  // the checksum is the decoder's business
    for (const char* type : {"IDAT", "IEND"}) {
        Be32(s, 0);
        s += type;
        Be32(s, 0);
    }
    return s;
}

Bytes Gif() {
    Bytes s = "GIF89a";
    Le16(s, 2);
    Le16(s, 2);
    s += Bytes("\x00\x00\x00", 3);
    s += '\x2C';
    for (uint32_t v : {0u, 0u, 2u, 2u}) Le16(s, v);
    s += Bytes("\x00\x02\x02\x4C\x01\x00\x3B", 7);
    return s;
}

Bytes Jpeg() {
    Bytes s = "\xFF\xD8";
    s += "\xFF\xE0";
    Be16(s, 4);
    s += "ab";
    s += "\xFF\xC0";
    Be16(s, 11);
    s += '\x08';
    Be16(s, 2);
    Be16(s, 2);
    s += Bytes("\x01\x01\x11\x00", 4);
    return s + "\xFF\xD9";
}

// Little-endian, one strip of four bytes after the directory.
Bytes Tiff() {
    Bytes s = Bytes("II*\0", 4);
    Le32(s, 8);
    Le16(s, 4);
    const uint32_t entries[4][3] = {{256, 3, 2}, {257, 3, 2}, {273, 4, 62}, {279, 4, 4}};
    for (const auto& e : entries) {
        Le16(s, e[0]);
        Le16(s, e[1]);
        Le32(s, 1);
        Le32(s, e[2]);
    }
    Le32(s, 0);
    return s + Bytes(4, '\x7F');
}

Bytes With(Bytes s, const std::function<void(Bytes&)>& change) {
    change(s);
    return s;
}

}  // namespace

TEST(ImageHeaderCheckTest, HostileFieldsAreRefusedAndConsistentFilesPass) {
    const auto A = ImageHeaderVerdict::kAccepted;
    const auto M = ImageHeaderVerdict::kMalformed;
    const auto L = ImageHeaderVerdict::kTooLarge;
    const auto U = ImageHeaderVerdict::kUnknownFormat;
    struct Case {
        const char* name;
        Bytes bytes;
        ImageHeaderVerdict verdict;
        ImageFileFormat format;
        int64_t w = 0, h = 0;  // checked for accepted and too large files
    } cases[] = {
        {"bmp", Bmp(), A, ImageFileFormat::kBmp, 2, 2},
        {"bmp top-down", With(Bmp(), [](Bytes& s) { SetLe32(s, 22, uint32_t(-2)); }), A,
         ImageFileFormat::kBmp, 2, 2},
        {"bmp data offset 0x7FFFFFFF", With(Bmp(), [](Bytes& s) { SetLe32(s, 10, 0x7FFFFFFF); }), M,
         ImageFileFormat::kBmp},
        {"bmp data offset 0xFFFFFFFF", With(Bmp(), [](Bytes& s) { SetLe32(s, 10, 0xFFFFFFFF); }), M,
         ImageFileFormat::kBmp},
        {"bmp data offset inside the header", With(Bmp(), [](Bytes& s) { SetLe32(s, 10, 20); }), M,
         ImageFileFormat::kBmp},
        {"bmp header size", With(Bmp(), [](Bytes& s) { SetLe32(s, 14, 41); }), M,
         ImageFileFormat::kBmp},
        {"bmp header past the end", Bmp().substr(0, 30), M, ImageFileFormat::kBmp},
        {"bmp bit count", With(Bmp(), [](Bytes& s) { SetLe16(s, 28, 7); }), M,
         ImageFileFormat::kBmp},
        {"bmp compression", With(Bmp(), [](Bytes& s) { SetLe32(s, 30, 9); }), M,
         ImageFileFormat::kBmp},
        {"bmp rle8 at 24 bits", With(Bmp(), [](Bytes& s) { SetLe32(s, 30, 1); }), M,
         ImageFileFormat::kBmp},
        {"bmp rle8 data beyond the file",
         With(Bmp(),
              [](Bytes& s) {
                  SetLe16(s, 28, 8);
                  SetLe32(s, 30, 1);
                  SetLe32(s, 34, 1000);
              }),
         M, ImageFileFormat::kBmp},
        {"bmp palette beyond the file", With(Bmp(), [](Bytes& s) { SetLe16(s, 28, 8); }), M,
         ImageFileFormat::kBmp},
        {"bmp palette count", With(Bmp(), [](Bytes& s) { SetLe32(s, 46, 300); }), M,
         ImageFileFormat::kBmp},
        {"bmp rows missing", Bmp().substr(0, 66), M, ImageFileFormat::kBmp},
        {"bmp 4-bit 2147483647 wide",
         With(Bmp(),
              [](Bytes& s) {
                  SetLe32(s, 18, 0x7FFFFFFF);
                  SetLe32(s, 22, 1);
                  SetLe16(s, 28, 4);
                  SetLe32(s, 46, 1);
              }),
         L, ImageFileFormat::kBmp, 0x7FFFFFFF, 1},
        {"bmp height INT_MIN", With(Bmp(), [](Bytes& s) { SetLe32(s, 22, 0x80000000); }), M,
         ImageFileFormat::kBmp},
        {"ico", Ico(), A, ImageFileFormat::kIco, 2, 2},
        {"ico no entries", With(Ico(), [](Bytes& s) { SetLe16(s, 4, 0); }), M,
         ImageFileFormat::kIco},
        {"ico entry offset past the file", With(Ico(), [](Bytes& s) { SetLe32(s, 18, 5000); }), M,
         ImageFileFormat::kIco},
        {"ico entry offset and size wrap",
         With(Ico(),
              [](Bytes& s) {
                  SetLe32(s, 14, 0x20);
                  SetLe32(s, 18, 0xFFFFFFF0);
              }),
         M, ImageFileFormat::kIco},
        {"ico entry inside the directory", With(Ico(), [](Bytes& s) { SetLe32(s, 18, 2); }), M,
         ImageFileFormat::kIco},
        {"ico entry count beyond the file", With(Ico(), [](Bytes& s) { SetLe16(s, 4, 3); }), M,
         ImageFileFormat::kIco},
        {"ico mask beyond the entry", With(Ico(), [](Bytes& s) { SetLe32(s, 26, 3); }), M,
         ImageFileFormat::kIco},
        {"cur", With(Ico(), [](Bytes& s) { SetLe16(s, 2, 2); }), A, ImageFileFormat::kCur, 2, 2},
        {"png", PngSized(3, 5), A, ImageFileFormat::kPng, 3, 5},
        {"png at the limit", PngSized(16384, 8192), A, ImageFileFormat::kPng, 16384, 8192},
        {"png one row past the limit", PngSized(16384, 8193), L, ImageFileFormat::kPng, 16384,
         8193},
        {"png 16000 x 16000", PngSized(16000, 16000), L, ImageFileFormat::kPng, 16000, 16000},
        {"png width 0", PngSized(0, 5), M, ImageFileFormat::kPng},
        {"png width 2^31", PngSized(0x80000000, 1), M, ImageFileFormat::kPng},
        {"png header length", With(PngSized(3, 5), [](Bytes& s) { SetBe32(s, 8, 14); }), M,
         ImageFileFormat::kPng},
        {"png bit depth", With(PngSized(3, 5), [](Bytes& s) { s[24] = 3; }), M,
         ImageFileFormat::kPng},
        {"png chunk beyond the file",
         With(PngSized(3, 5), [](Bytes& s) { SetBe32(s, 33, 0xFFFFFFF0); }), M,
         ImageFileFormat::kPng},
        {"png without end", PngSized(3, 5).substr(0, 45), M, ImageFileFormat::kPng},
        {"gif", Gif(), A, ImageFileFormat::kGif, 2, 2},
        {"gif screen 65535 x 65535",
         With(Gif(),
              [](Bytes& s) {
                  SetLe16(s, 6, 65535);
                  SetLe16(s, 8, 65535);
              }),
         L, ImageFileFormat::kGif, 65535, 65535},
        {"gif frame 65535 x 65535",
         With(Gif(),
              [](Bytes& s) {
                  SetLe16(s, 18, 65535);
                  SetLe16(s, 20, 65535);
              }),
         L, ImageFileFormat::kGif, 65535, 65535},
        {"gif colour table beyond the file", With(Gif(), [](Bytes& s) { s[10] = '\x87'; }), M,
         ImageFileFormat::kGif},
        {"gif code size", With(Gif(), [](Bytes& s) { s[23] = 12; }), M, ImageFileFormat::kGif},
        {"gif data cut", Gif().substr(0, 25), M, ImageFileFormat::kGif},
        {"gif no frame", Gif().substr(0, 13) + ";", M, ImageFileFormat::kGif},
        {"jpeg", Jpeg(), A, ImageFileFormat::kJpeg, 2, 2},
        {"jpeg 65535 x 65535",
         With(Jpeg(),
              [](Bytes& s) {
                  SetBe16(s, 13, 65535);
                  SetBe16(s, 15, 65535);
              }),
         L, ImageFileFormat::kJpeg, 65535, 65535},
        {"jpeg height 0", With(Jpeg(), [](Bytes& s) { SetBe16(s, 13, 0); }), M,
         ImageFileFormat::kJpeg},
        {"jpeg segment beyond the file", With(Jpeg(), [](Bytes& s) { SetBe16(s, 4, 60000); }), M,
         ImageFileFormat::kJpeg},
        {"jpeg segment length 0", With(Jpeg(), [](Bytes& s) { SetBe16(s, 4, 0); }), M,
         ImageFileFormat::kJpeg},
        {"jpeg scan before frame", With(Jpeg(), [](Bytes& s) { s[3] = '\xDA'; }), M,
         ImageFileFormat::kJpeg},
        {"jpeg components", With(Jpeg(), [](Bytes& s) { s[17] = 9; }), M, ImageFileFormat::kJpeg},
        {"tiff", Tiff(), A, ImageFileFormat::kTiff, 2, 2},
        {"tiff directory past the file", With(Tiff(), [](Bytes& s) { SetLe32(s, 4, 0x7FFFFFF0); }),
         M, ImageFileFormat::kTiff},
        {"tiff entry count", With(Tiff(), [](Bytes& s) { SetLe16(s, 8, 0xFFFF); }), M,
         ImageFileFormat::kTiff},
        {"tiff 100000 x 100000",
         With(Tiff(),
              [](Bytes& s) {
                  SetLe16(s, 12, 4);
                  SetLe32(s, 18, 100000);
                  SetLe16(s, 24, 4);
                  SetLe32(s, 30, 100000);
              }),
         L, ImageFileFormat::kTiff, 100000, 100000},
        {"tiff strip past the file", With(Tiff(), [](Bytes& s) { SetLe32(s, 42, 0xFFFFFFF0); }), M,
         ImageFileFormat::kTiff},
        {"tiff strip count beyond the file", With(Tiff(), [](Bytes& s) { SetLe32(s, 38, 1000); }),
         M, ImageFileFormat::kTiff},
        {"tiff no width", With(Tiff(), [](Bytes& s) { SetLe16(s, 10, 999); }), M,
         ImageFileFormat::kTiff},
        {"tiff directory loop", With(Tiff(), [](Bytes& s) { SetLe32(s, 58, 8); }), A,
         ImageFileFormat::kTiff, 2, 2},
        {"big-endian tiff cut", Bytes("MM\0*\0\0", 6), M, ImageFileFormat::kTiff},
        {"text", "hello", U, ImageFileFormat::kUnknown},
        {"empty", "", U, ImageFileFormat::kUnknown},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto info =
            CheckImageHeader(reinterpret_cast<const uint8_t*>(c.bytes.data()), c.bytes.size());
        EXPECT_EQ(info.verdict, c.verdict);
        EXPECT_EQ(info.format, c.format);
        if (c.verdict == A || c.verdict == L) {
            EXPECT_EQ(info.width, c.w);
            EXPECT_EQ(info.height, c.h);
        }
        // No byte past the end is looked at: each prefix lies in a block of its own size, where
        // the address sanitizer sees any read beyond it.
        for (size_t n = 0; n < c.bytes.size(); ++n) {
            std::vector<uint8_t> prefix(c.bytes.begin(), c.bytes.begin() + n);
            CheckImageHeader(prefix.data(), prefix.size());
        }
    }
    EXPECT_EQ(CheckImageHeader(nullptr, 100).verdict, U);
}
