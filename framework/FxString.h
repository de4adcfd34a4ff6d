// CString: the framework's wide string. Every text of the system is one of these, file names
// included. Indexes and lengths are in UTF-16 code units, as on the platform.
#pragma once

#include <windows.h>

#include <string>

#include "framework/FxApi.h"

class FX_API CString {
public:
    CString() = default;
    CString(const wchar_t* psz) : m_str(psz ? psz : L"") {}
    CString(const wchar_t* pch, int nLength)
        : m_str(pch && nLength > 0 ? pch : L"", Clamp(nLength)) {}
    CString(wchar_t ch, int nRepeat = 1) : m_str(Clamp(nRepeat), ch) {}
    CString(const std::wstring& s) : m_str(s) {}
    CString(const CString&) = default;
    CString(CString&&) noexcept = default;
    CString& operator=(const CString&) = default;
    CString& operator=(CString&&) noexcept = default;
    CString& operator=(const wchar_t* psz) {
        m_str = psz ? psz : L"";
        return *this;
    }
    CString& operator=(wchar_t ch) {
        m_str.assign(1, ch);
        return *this;
    }

    // Conversions from and to UTF-8 (the narrow encoding of sources and tests).
    static CString FromUtf8(const char* psz);
    std::string ToUtf8() const;

    int GetLength() const { return static_cast<int>(m_str.size()); }
    bool IsEmpty() const { return m_str.empty(); }
    void Empty() { m_str.clear(); }
    const wchar_t* GetString() const { return m_str.c_str(); }
    operator const wchar_t*() const { return m_str.c_str(); }
    const std::wstring& str() const { return m_str; }

    wchar_t GetAt(int i) const { return m_str.at(static_cast<size_t>(i)); }
    void SetAt(int i, wchar_t ch) { m_str.at(static_cast<size_t>(i)) = ch; }
    wchar_t operator[](int i) const { return GetAt(i); }

    // Direct access for APIs that fill a buffer: GetBuffer gives room for at least nMinLength
    // characters plus the terminator; ReleaseBuffer(-1) takes the length up to the first zero.
    wchar_t* GetBuffer(int nMinLength = 0);
    wchar_t* GetBufferSetLength(int nLength);
    void ReleaseBuffer(int nNewLength = -1);

    CString& operator+=(const CString& s) {
        m_str += s.m_str;
        return *this;
    }
    CString& operator+=(const wchar_t* psz) {
        if (psz) m_str += psz;
        return *this;
    }
    CString& operator+=(wchar_t ch) {
        m_str += ch;
        return *this;
    }
    void Append(const wchar_t* psz) { *this += psz; }

    int Compare(const wchar_t* psz) const { return m_str.compare(psz ? psz : L""); }
    int CompareNoCase(const wchar_t* psz) const;

    // printf-style formatting with the platform's rules: %s and %c take wide arguments.
    void Format(const wchar_t* pszFormat, ...);
    void FormatV(const wchar_t* pszFormat, va_list args);
    void AppendFormat(const wchar_t* pszFormat, ...);

    // Loads string nID from the current resource module; false (and empty) when it is missing.
    BOOL LoadString(UINT nID);
    BOOL LoadString(HINSTANCE hInstance, UINT nID);

    // Search: positions are 0-based, -1 when not found; a start beyond the end finds nothing.
    int Find(wchar_t ch, int nStart = 0) const;
    int Find(const wchar_t* pszSub, int nStart = 0) const;
    int ReverseFind(wchar_t ch) const;
    int FindOneOf(const wchar_t* pszCharSet) const;

    // Replaces every occurrence and returns how many were replaced.
    int Replace(wchar_t chOld, wchar_t chNew);
    int Replace(const wchar_t* pszOld, const wchar_t* pszNew);
    int Remove(wchar_t ch);
    int Insert(int nIndex, const wchar_t* psz);
    int Delete(int nIndex, int nCount = 1);

    CString Mid(int nFirst) const;
    CString Mid(int nFirst, int nCount) const;
    CString Left(int nCount) const;
    CString Right(int nCount) const;

    CString& MakeUpper();
    CString& MakeLower();
    CString& Trim();
    CString& TrimLeft();
    CString& TrimRight();

private:
    static size_t Clamp(int n) { return n > 0 ? static_cast<size_t>(n) : 0; }
    std::wstring m_str;
};

inline CString operator+(const CString& a, const CString& b) {
    CString r(a);
    r += b;
    return r;
}
inline CString operator+(const CString& a, const wchar_t* b) {
    CString r(a);
    r += b;
    return r;
}
inline CString operator+(const wchar_t* a, const CString& b) {
    CString r(a);
    r += b;
    return r;
}
inline CString operator+(const CString& a, wchar_t b) {
    CString r(a);
    r += b;
    return r;
}
inline CString operator+(wchar_t a, const CString& b) {
    CString r(a);
    r += b;
    return r;
}
inline bool operator==(const CString& a, const CString& b) { return a.str() == b.str(); }
inline bool operator==(const CString& a, const wchar_t* b) { return a.Compare(b) == 0; }
inline bool operator==(const wchar_t* a, const CString& b) { return b.Compare(a) == 0; }
inline bool operator!=(const CString& a, const CString& b) { return !(a == b); }
inline bool operator!=(const CString& a, const wchar_t* b) { return !(a == b); }
inline bool operator!=(const wchar_t* a, const CString& b) { return !(a == b); }
inline bool operator<(const CString& a, const CString& b) { return a.str() < b.str(); }
