// CImageBitmap: holds one device-compatible bitmap and runs chains of pixel processors over it.
#pragma once

#include <ole2.h>
#include <olectl.h>
#include <windows.h>

#include "framework/Array.h"
#include "framework/Gdi.h"
#include "lib/PeltoLibApi.h"
#include "lib/image/ImageProcessor.h"

typedef CArray<CImage32BitProcessor*, CImage32BitProcessor*> CImageProcessorChain;

class PELTOLIB_API CImageBitmap : public CBitmap {
public:
    explicit CImageBitmap(COLORREF clrBackground = 0x00FFFFFF);
    virtual ~CImageBitmap();

    // Loading fills only an empty holder. A background of 0xFFFFFFFF means m_clrBackground.
    BOOL LoadImage(LPCWSTR lpszPath, COLORREF clrBackground = 0xFFFFFFFF);
    BOOL LoadImage(UINT nResourceId, LPCWSTR lpszResourceType, HINSTANCE hInstance,
                   COLORREF clrBackground = 0xFFFFFFFF);

    // Replaces the held bitmap with a device-compatible deep copy of the given one.
    BOOL CopyImage(HBITMAP hBitmap);
    BOOL CopyImage(CBitmap* pBitmap);

    // Runs the processors in order over the held picture and replaces it with the result. On
    // failure the held picture is left as it was.
    BOOL ProcessImage(CImageProcessorChain& chain);
    BOOL ProcessImage(CImage32BitProcessor* pProcessor);

    BOOL RotateImage(int nDegrees, int bSmooth);
    BOOL ShearImage(int nAcross, int nDown, int bSmooth);
    BOOL GrayImage();
    BOOL BlurImage(int nStrength);
    BOOL SharpenImage(int nStrength);
    BOOL ResizeImage(double dFactor);
    BOOL FlipImage(int bLeftRight, int bTopBottom);
    BOOL NegateImage();
    BOOL ReplaceColor(COLORREF clrFrom, COLORREF clrTo);

    // A picture decoded from bytes in memory; the caller releases it. Null on failure.
    static IPicture* LoadFromBuffer(const BYTE* pBuffer, DWORD nLength);
    // The bytes of a resource: with a null buffer stores the size in nLength; otherwise copies
    // when nLength is large enough.
    static BOOL GetResource(LPCWSTR lpszName, LPCWSTR lpszType, HMODULE hModule, void* pBuffer,
                            DWORD& nLength);
    // A file's bytes as a stream for any decoder (the caller releases it), or null when the
    // file cannot be read or its header is malformed or declares a picture larger than
    // kMaxImagePixels. Formats the header check does not know (metafiles, ...) pass only with
    // bAllowUnknown.
    static IStream* OpenImageStream(LPCWSTR lpszPath, BOOL bAllowUnknown = TRUE);
    // Bitmaps the caller owns, or null. Files and buffers whose header is refused never reach
    // the platform's decoders.
    static HBITMAP LoadImageFile(LPCWSTR lpszPath, COLORREF clrBackground);
    static HBITMAP LoadImageResource(UINT nResourceId, LPCWSTR lpszType, HINSTANCE hInstance,
                                     COLORREF clrBackground);

    DWORD m_clrBackground;

    // Makes bmi's header a top-down 32-bit one of that size; the resolution fields are left alone.
    static void SetInfoHeader32(BITMAPINFO& bmi, LONG width, LONG height);

protected:
    // 0 BMP, 1 ICO, 2 JPEG, 3 GIF, 4 anything else.
    static int GetFileType(LPCWSTR lpszName);
    static BOOL Fill(RGBX* pPixels, CSize size, COLORREF clr);
    static HBITMAP ExtractBitmap(IPicture* pPicture, COLORREF clrBackground);

    // A 32-bit top-down header for hBitmap (or the held one); returns the number of lines.
    LONG PrepareBitmapInfo32(BITMAPINFO& bmi, HBITMAP hBitmap = nullptr);
    // The held picture as 32-bit top-down pixels (new[]; the caller deletes), or null.
    RGBX* GetDIBits32();

private:
    // Takes what bitmap holds in place of the held bitmap; false (and nothing changed) when it
    // holds nothing.
    BOOL Replace(CBitmap& bitmap);
};
