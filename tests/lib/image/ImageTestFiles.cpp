#include "tests/lib/image/ImageTestFiles.h"

#include "lib/codec/GdiplusHeaders.h"

#include <cstdio>
#include <vector>

namespace ImageTestFiles {

namespace {

void Put16(std::string& s, unsigned v) {
    s += static_cast<char>(v & 0xFF);
    s += static_cast<char>((v >> 8) & 0xFF);
}
void Put32(std::string& s, unsigned v) {
    Put16(s, v & 0xFFFF);
    Put16(s, v >> 16);
}

std::string EncodeWithGdiplus(int w, int h, COLORREF c, const CLSID& encoder) {
    using namespace Gdiplus;
    GdiplusStartupInput input;
    ULONG_PTR token = 0;
    if (GdiplusStartup(&token, &input, nullptr) != Ok) return std::string();
    std::string bytes;
    {
        Bitmap bmp(w, h, PixelFormat24bppRGB);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                bmp.SetPixel(x, y, Color(255, GetRValue(c), GetGValue(c), GetBValue(c)));
        wchar_t dir[MAX_PATH], path[MAX_PATH];
        GetTempPathW(MAX_PATH, dir);
        GetTempFileNameW(dir, L"pim", 0, path);
        if (bmp.Save(path, &encoder, nullptr) == Ok) {
            FILE* f = _wfopen(path, L"rb");
            if (f) {
                char buf[4096];
                size_t n;
                while ((n = fread(buf, 1, sizeof buf, f)) > 0) bytes.append(buf, n);
                fclose(f);
            }
        }
        DeleteFileW(path);
    }
    GdiplusShutdown(token);
    return bytes;
}

}  // namespace

std::string Bmp24(int w, int h, COLORREF c) {
    int stride = (w * 3 + 3) & ~3;
    std::string s = "BM";
    Put32(s, 54 + stride * h);
    Put32(s, 0);
    Put32(s, 54);
    Put32(s, 40);
    Put32(s, w);
    Put32(s, h);
    Put16(s, 1);
    Put16(s, 24);
    Put32(s, 0);
    Put32(s, stride * h);
    Put32(s, 2835);
    Put32(s, 2835);
    Put32(s, 0);
    Put32(s, 0);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            s += static_cast<char>(GetBValue(c));
            s += static_cast<char>(GetGValue(c));
            s += static_cast<char>(GetRValue(c));
        }
        s.append(stride - w * 3, '\0');
    }
    return s;
}

std::string Gif1x1Red() {
    // Header, a two-colour global table (red, black), one image of index 0, LZW codes
    // clear / 0 / end with a 2-bit minimum code size.
    static const unsigned char bytes[] = {'G', 'I',  'F', '8', '9', 'a', 1, 0,    1,    0, 0x80, 0,
                                          0,   0xFF, 0,   0,   0,   0,   0, ',',  0,    0, 0,    0,
                                          1,   0,    1,   0,   0,   2,   2, 0x44, 0x01, 0, ';'};
    return std::string(reinterpret_cast<const char*>(bytes), sizeof bytes);
}

std::string Ico32(int side, COLORREF c) {
    int maskStride = ((side + 31) / 32) * 4;
    int imageSize = 40 + side * side * 4 + maskStride * side;
    std::string s;
    Put16(s, 0);
    Put16(s, 1);
    Put16(s, 1);
    s += static_cast<char>(side);
    s += static_cast<char>(side);
    s += '\0';
    s += '\0';
    Put16(s, 1);
    Put16(s, 32);
    Put32(s, imageSize);
    Put32(s, 22);
    Put32(s, 40);
    Put32(s, side);
    Put32(s, side * 2);  // colour and mask rows together
    Put16(s, 1);
    Put16(s, 32);
    Put32(s, 0);
    Put32(s, side * side * 4 + maskStride * side);
    Put32(s, 0);
    Put32(s, 0);
    Put32(s, 0);
    Put32(s, 0);
    for (int i = 0; i < side * side; ++i) {
        s += static_cast<char>(GetBValue(c));
        s += static_cast<char>(GetGValue(c));
        s += static_cast<char>(GetRValue(c));
        s += static_cast<char>(0xFF);
    }
    s.append(static_cast<size_t>(maskStride) * side, '\0');  // every pixel opaque
    return s;
}

std::string Jpeg(int w, int h, COLORREF c) {
    static const CLSID jpeg = {
        0x557cf401, 0x1a04, 0x11d3, {0x9a, 0x73, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};
    return EncodeWithGdiplus(w, h, c, jpeg);
}

std::string Png(int w, int h) {
    static const CLSID png = {
        0x557cf406, 0x1a04, 0x11d3, {0x9a, 0x73, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};
    return EncodeWithGdiplus(w, h, RGB(0, 0, 255), png);
}

std::string Tiff(int w, int h, COLORREF c) {
    static const CLSID tiff = {
        0x557cf405, 0x1a04, 0x11d3, {0x9a, 0x73, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};
    return EncodeWithGdiplus(w, h, c, tiff);
}

bool Write(const std::wstring& path, const std::string& bytes) {
    FILE* f = _wfopen(path.c_str(), L"wb");
    if (!f) return false;
    bool ok = fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return fclose(f) == 0 && ok;
}

}  // namespace ImageTestFiles
