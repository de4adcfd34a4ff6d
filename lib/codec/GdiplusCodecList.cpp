#include "lib/codec/GdiplusCodecList.h"

#include "lib/codec/GdiplusHeaders.h"

#include <new>

#include "lib/codec/GdiplusSession.h"

namespace {

// GDI+'s encoder or decoder records, in a buffer that also holds the strings they point to.
// False when GDI+ is not ready or fails; may throw std::bad_alloc.
bool ReadCodecRecords(BOOL bEncoders, std::vector<unsigned char>& buffer, UINT& nCount) {
    nCount = 0;
    if (!IsGdiplusReady()) return false;
    UINT nBytes = 0;
    Gdiplus::GpStatus status =
        bEncoders ? Gdiplus::DllExports::GdipGetImageEncodersSize(&nCount, &nBytes)
                  : Gdiplus::DllExports::GdipGetImageDecodersSize(&nCount, &nBytes);
    if (status != Gdiplus::Ok) return false;
    if (nCount == 0) return true;
    // The descriptions point into the same buffer at their strings, so GDI+ asks for more than
    // nCount records; never trust a size too small for the records themselves.
    if (nBytes < nCount * sizeof(Gdiplus::ImageCodecInfo)) return false;
    buffer.assign(nBytes, 0);
    auto* pInfo = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
    status = bEncoders ? Gdiplus::DllExports::GdipGetImageEncoders(nCount, nBytes, pInfo)
                       : Gdiplus::DllExports::GdipGetImageDecoders(nCount, nBytes, pInfo);
    return status == Gdiplus::Ok;
}

}  // namespace

BOOL FillGdiplusCodecArray(BOOL bEncoders, CGdiplusCodecArray& arrCodecs) {
    arrCodecs.clear();
    try {
        std::vector<unsigned char> buffer;
        UINT nCount = 0;
        if (!ReadCodecRecords(bEncoders, buffer, nCount)) return FALSE;
        const auto* pInfo = reinterpret_cast<const Gdiplus::ImageCodecInfo*>(buffer.data());
        arrCodecs.reserve(nCount);
        for (UINT i = 0; i < nCount; ++i) {
            arrCodecs.push_back(std::make_unique<CGdiplusCodecInfo>(
                pInfo[i].FormatDescription, pInfo[i].FilenameExtension, pInfo[i].Clsid));
        }
        return TRUE;
    } catch (const std::bad_alloc&) {
        arrCodecs.clear();
        return FALSE;
    }
}

bool IsGifEncoder(const CLSID& clsid) {
    try {
        std::vector<unsigned char> buffer;
        UINT nCount = 0;
        if (!ReadCodecRecords(TRUE, buffer, nCount)) return false;
        const auto* pInfo = reinterpret_cast<const Gdiplus::ImageCodecInfo*>(buffer.data());
        for (UINT i = 0; i < nCount; ++i) {
            if (pInfo[i].Clsid == clsid)
                return pInfo[i].MimeType && ::lstrcmpiW(pInfo[i].MimeType, L"image/gif") == 0;
        }
    } catch (const std::bad_alloc&) {
    }
    return false;
}

namespace {

CString BuildTypeList(const CGdiplusCodecArray& arrCodecs, CString* pAllPatterns) {
    CString strList;
    for (size_t i = 0; i < arrCodecs.size(); ++i) {
        const CGdiplusCodecInfo& codec = *arrCodecs[i];
        CString strFormat = codec.GetFormat();
        CString strPatterns = codec.GetExtensions();
        strList.AppendFormat(L"%s 文件(%s)|%s|", strFormat.GetString(), strPatterns.GetString(),
                             strPatterns.GetString());
        if (pAllPatterns) {
            *pAllPatterns += strPatterns;
            if (i + 1 < arrCodecs.size()) *pAllPatterns += L';';
        }
    }
    return strList;
}

}  // namespace

CString BuildOpenImageFilter(const CGdiplusCodecArray& arrCodecs) {
    CString strAll = L"所有支持的图像文件|";
    CString strList = BuildTypeList(arrCodecs, &strAll);
    CString strFilter;
    strFilter.Format(L"%s|%s|", strAll.GetString(), strList.GetString());
    return strFilter;
}

CString BuildSaveImageFilter(const CGdiplusCodecArray& arrCodecs) {
    CString strList = BuildTypeList(arrCodecs, nullptr);
    CString strFilter;
    strFilter.Format(L"%s||", strList.GetString());
    return strFilter;
}

int FindCodecByExtension(const CGdiplusCodecArray& arrCodecs, LPCWSTR lpszExt) {
    for (size_t i = 0; i < arrCodecs.size(); ++i) {
        if (arrCodecs[i] && arrCodecs[i]->FindExtension(lpszExt)) return static_cast<int>(i);
    }
    return -1;
}

CString GetPathExtension(LPCWSTR lpszPath) {
    CString strPath(lpszPath);
    int nameStart = 0;
    for (int i = 0; i < strPath.GetLength(); ++i) {
        if (strPath[i] == L'\\' || strPath[i] == L'/' || strPath[i] == L':') nameStart = i + 1;
    }
    int dot = strPath.ReverseFind(L'.');
    return dot < nameStart ? CString() : strPath.Mid(dot + 1);
}

BOOL GetEncoderClsidForPath(LPCWSTR lpszPath, CLSID* pClsid) {
    if (!lpszPath || !pClsid) return FALSE;
    CString strExt = GetPathExtension(lpszPath);
    if (strExt.IsEmpty()) return FALSE;
    CGdiplusCodecArray arrEncoders;
    if (!FillGdiplusCodecArray(TRUE, arrEncoders)) return FALSE;
    int index = FindCodecByExtension(arrEncoders, strExt);
    if (index < 0) return FALSE;
    *pClsid = arrEncoders[static_cast<size_t>(index)]->GetCLSID();
    return TRUE;
}
