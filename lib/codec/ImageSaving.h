// Writing an image file through a GDI+ encoder so that what lands on the disk is the picture.
#pragma once

#include <windows.h>

#include "lib/PeltoLibApi.h"

namespace Gdiplus {
class Image;
}

// Saves the image to the path with the encoder, without encoder parameters. Where the encoder
// writes the image as it is, that is what the file holds. Some encoders cannot: Wine's GIF
// encoder writes a broken file for a picture without a palette and still reports success, and
// Wine's encoders refuse metafiles. Then the file is written again from a copy of the image drawn
// into a bitmap (with a palette for GIF). TRUE only for a file that was written, and for GIF one
// that reads back as a picture of the image's size. The picture is written beside the path first
// and then takes its place, so a save that fails leaves a file already there as it was.
PELTOLIB_API BOOL SaveImageFile(Gdiplus::Image* pImage, LPCWSTR lpszPath, const CLSID& clsid);
