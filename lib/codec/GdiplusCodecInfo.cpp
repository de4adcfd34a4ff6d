#include "lib/codec/GdiplusCodecInfo.h"

CGdiplusCodecInfo::CGdiplusCodecInfo(LPCWSTR lpszFormat, LPCWSTR lpszExtensions, const CLSID& clsid)
    : m_strFormat(lpszFormat), m_strExtensions(lpszExtensions), m_clsid(clsid) {
    m_strExtensions.MakeLower();
    int semicolon = m_strExtensions.Find(L';');
    m_strDefExt = semicolon < 0 ? m_strExtensions : m_strExtensions.Left(semicolon);
    m_strDefExt.Remove(L'*');
    m_strDefExt.Remove(L'.');
}

CGdiplusCodecInfo::CGdiplusCodecInfo(const CGdiplusCodecInfo& other) = default;
CGdiplusCodecInfo& CGdiplusCodecInfo::operator=(const CGdiplusCodecInfo& other) = default;
CGdiplusCodecInfo::~CGdiplusCodecInfo() = default;

CString CGdiplusCodecInfo::GetFormat() const { return m_strFormat; }
CString CGdiplusCodecInfo::GetExtensions() const { return m_strExtensions; }
LPCWSTR CGdiplusCodecInfo::GetDefExt() const { return m_strDefExt.GetString(); }
CLSID CGdiplusCodecInfo::GetCLSID() const { return m_clsid; }

bool CGdiplusCodecInfo::FindExtension(LPCWSTR lpszExt) const {
    CString pattern;
    pattern.Format(L"*.%s", lpszExt ? lpszExt : L"");
    int start = 0;
    while (start <= m_strExtensions.GetLength()) {
        int end = m_strExtensions.Find(L';', start);
        if (end < 0) end = m_strExtensions.GetLength();
        if (end > start && m_strExtensions.Mid(start, end - start).CompareNoCase(pattern) == 0)
            return true;
        start = end + 1;
    }
    return false;
}

void CGdiplusCodecInfo::ConvertCopy(CString& strTarget, LPCWSTR lpszSource) {
    strTarget = lpszSource;
}
