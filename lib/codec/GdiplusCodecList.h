// GDI+'s codec lists as arrays of codec records, the file-type filters built from them, and the
// choice of an encoder from a file name's extension. The filter and lookup functions take any
// array, so they work the same on hand-made lists.
#pragma once

#include <windows.h>

#include <memory>
#include <vector>

#include "framework/FxString.h"
#include "lib/PeltoLibApi.h"
#include "lib/codec/GdiplusCodecInfo.h"

typedef std::vector<std::unique_ptr<CGdiplusCodecInfo>> CGdiplusCodecArray;

// Replaces the array's contents by GDI+'s decoders or encoders, in GDI+'s order. False (and an
// empty array) when GDI+ is not ready or fails.
PELTOLIB_API BOOL FillGdiplusCodecArray(BOOL bEncoders, CGdiplusCodecArray& arrCodecs);

// The open dialog's filter: "所有支持的图像文件" with every codec's patterns, then one type per
// codec, fields separated by '|' and closed by an empty field.
PELTOLIB_API CString BuildOpenImageFilter(const CGdiplusCodecArray& arrCodecs);
// The save dialog's filter: one type per codec, without the "all" type.
PELTOLIB_API CString BuildSaveImageFilter(const CGdiplusCodecArray& arrCodecs);

// Index of the first codec whose patterns include the extension (without its dot), or -1.
PELTOLIB_API int FindCodecByExtension(const CGdiplusCodecArray& arrCodecs, LPCWSTR lpszExt);

// The text after the last '.' of the path's file-name part; empty when the file name has none.
// A '.' in a folder name does not make an extension.
PELTOLIB_API CString GetPathExtension(LPCWSTR lpszPath);

// The encoder that writes the format the path's extension names. False when GDI+ is not ready or
// no encoder knows the extension (also for a path without one): the caller must not write the file
// in some other format instead.
PELTOLIB_API BOOL GetEncoderClsidForPath(LPCWSTR lpszPath, CLSID* pClsid);

// True when the encoder writes GIF (by its MIME type). False when GDI+ is not ready or knows no
// such encoder.
PELTOLIB_API bool IsGifEncoder(const CLSID& clsid);
