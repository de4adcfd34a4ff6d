// Small picture files made by the tests themselves, byte by byte or through GDI+.
#pragma once

#include <windows.h>

#include <string>

const UINT kTestGifResource = 300;

namespace ImageTestFiles {

// A bottom-up 24-bit BMP file of one colour.
std::string Bmp24(int w, int h, COLORREF c);
// A 1 x 1 GIF whose only pixel is pure red.
std::string Gif1x1Red();
// A square 32-bit icon of one opaque colour.
std::string Ico32(int side, COLORREF c);
// JPEG, PNG and TIFF files of one colour, encoded by GDI+ (empty when GDI+ fails).
std::string Jpeg(int w, int h, COLORREF c);
std::string Png(int w, int h);
std::string Tiff(int w, int h, COLORREF c);

bool Write(const std::wstring& path, const std::string& bytes);

}  // namespace ImageTestFiles
