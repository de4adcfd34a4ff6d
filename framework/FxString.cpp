#include "framework/FxString.h"

#include <cstdarg>
#include <cstdio>
#include <cwchar>

#include "framework/ResourceModule.h"

CString CString::FromUtf8(const char* psz) {
    CString r;
    if (!psz || !*psz) return r;
    int n = MultiByteToWideChar(CP_UTF8, 0, psz, -1, nullptr, 0);
    if (n <= 1) return r;
    r.m_str.resize(static_cast<size_t>(n));
    MultiByteToWideChar(CP_UTF8, 0, psz, -1, &r.m_str[0], n);
    r.m_str.resize(static_cast<size_t>(n - 1));
    return r;
}

std::string CString::ToUtf8() const {
    std::string r;
    if (m_str.empty()) return r;
    int n = WideCharToMultiByte(CP_UTF8, 0, m_str.c_str(), -1, nullptr, 0, nullptr, nullptr);
    if (n <= 1) return r;
    r.resize(static_cast<size_t>(n));
    WideCharToMultiByte(CP_UTF8, 0, m_str.c_str(), -1, &r[0], n, nullptr, nullptr);
    r.resize(static_cast<size_t>(n - 1));
    return r;
}

wchar_t* CString::GetBuffer(int nMinLength) {
    if (nMinLength > GetLength()) m_str.resize(static_cast<size_t>(nMinLength));
    return &m_str[0];
}

wchar_t* CString::GetBufferSetLength(int nLength) {
    m_str.resize(Clamp(nLength));
    return &m_str[0];
}

void CString::ReleaseBuffer(int nNewLength) {
    if (nNewLength < 0) {
        m_str.resize(wcsnlen(m_str.c_str(), m_str.size()));
    } else if (static_cast<size_t>(nNewLength) <= m_str.size()) {
        m_str.resize(static_cast<size_t>(nNewLength));
    }
}

int CString::CompareNoCase(const wchar_t* psz) const {
    int r = CompareStringOrdinal(m_str.c_str(), GetLength(), psz ? psz : L"", -1, TRUE);
    return r == CSTR_LESS_THAN ? -1 : r == CSTR_GREATER_THAN ? 1 : 0;
}

void CString::FormatV(const wchar_t* pszFormat, va_list args) {
    if (!pszFormat) {
        Empty();
        return;
    }
    // The Microsoft runtime's formatter gives %s the platform's wide meaning; grow until it fits.
    std::wstring buf(256, L'\0');
    for (;;) {
        va_list copy;
        va_copy(copy, args);
        int n = _vsnwprintf(&buf[0], buf.size(), pszFormat, copy);
        va_end(copy);
        if (n >= 0 && static_cast<size_t>(n) < buf.size()) {
            buf.resize(static_cast<size_t>(n));
            break;
        }
        if (buf.size() >= (1u << 26)) {  // a format that never fits: give up rather than loop
            buf.clear();
            break;
        }
        buf.resize(buf.size() * 2);
    }
    m_str.swap(buf);
}

void CString::Format(const wchar_t* pszFormat, ...) {
    va_list args;
    va_start(args, pszFormat);
    FormatV(pszFormat, args);
    va_end(args);
}

void CString::AppendFormat(const wchar_t* pszFormat, ...) {
    CString tail;
    va_list args;
    va_start(args, pszFormat);
    tail.FormatV(pszFormat, args);
    va_end(args);
    *this += tail;
}

BOOL CString::LoadString(UINT nID) { return LoadString(AfxGetResourceHandle(), nID); }

BOOL CString::LoadString(HINSTANCE hInstance, UINT nID) {
    const wchar_t* p = nullptr;
    // With a zero buffer size LoadStringW hands out a read-only pointer into the resource.
    int n = ::LoadStringW(hInstance, nID, reinterpret_cast<LPWSTR>(&p), 0);
    if (n <= 0 || !p) {
        Empty();
        return FALSE;
    }
    m_str.assign(p, static_cast<size_t>(n));
    return TRUE;
}

int CString::Find(wchar_t ch, int nStart) const {
    if (nStart < 0) nStart = 0;
    size_t pos = m_str.find(ch, static_cast<size_t>(nStart));
    return pos == std::wstring::npos ? -1 : static_cast<int>(pos);
}

int CString::Find(const wchar_t* pszSub, int nStart) const {
    if (!pszSub || nStart > GetLength()) return -1;
    if (nStart < 0) nStart = 0;
    size_t pos = m_str.find(pszSub, static_cast<size_t>(nStart));
    return pos == std::wstring::npos ? -1 : static_cast<int>(pos);
}

int CString::ReverseFind(wchar_t ch) const {
    size_t pos = m_str.rfind(ch);
    return pos == std::wstring::npos ? -1 : static_cast<int>(pos);
}

int CString::FindOneOf(const wchar_t* pszCharSet) const {
    if (!pszCharSet) return -1;
    size_t pos = m_str.find_first_of(pszCharSet);
    return pos == std::wstring::npos ? -1 : static_cast<int>(pos);
}

int CString::Replace(wchar_t chOld, wchar_t chNew) {
    int n = 0;
    for (auto& c : m_str) {
        if (c == chOld) {
            c = chNew;
            ++n;
        }
    }
    return n;
}

int CString::Replace(const wchar_t* pszOld, const wchar_t* pszNew) {
    if (!pszOld || !*pszOld) return 0;
    const std::wstring from(pszOld), to(pszNew ? pszNew : L"");
    std::wstring out;
    int n = 0;
    size_t start = 0, pos;
    while ((pos = m_str.find(from, start)) != std::wstring::npos) {
        out.append(m_str, start, pos - start);
        out += to;
        start = pos + from.size();
        ++n;
    }
    if (n) {
        out.append(m_str, start, std::wstring::npos);
        m_str.swap(out);
    }
    return n;
}

int CString::Remove(wchar_t ch) {
    size_t before = m_str.size();
    std::wstring out;
    out.reserve(before);
    for (wchar_t c : m_str)
        if (c != ch) out += c;
    m_str.swap(out);
    return static_cast<int>(before - m_str.size());
}

int CString::Insert(int nIndex, const wchar_t* psz) {
    if (nIndex < 0) nIndex = 0;
    if (nIndex > GetLength()) nIndex = GetLength();
    if (psz) m_str.insert(static_cast<size_t>(nIndex), psz);
    return GetLength();
}

int CString::Delete(int nIndex, int nCount) {
    if (nIndex < 0) nIndex = 0;
    if (nCount > 0 && nIndex < GetLength())
        m_str.erase(static_cast<size_t>(nIndex), static_cast<size_t>(nCount));
    return GetLength();
}

CString CString::Mid(int nFirst) const { return Mid(nFirst, GetLength()); }

CString CString::Mid(int nFirst, int nCount) const {
    if (nFirst < 0) nFirst = 0;
    if (nCount < 0) nCount = 0;
    if (nFirst >= GetLength()) return CString();
    return CString(m_str.substr(static_cast<size_t>(nFirst), static_cast<size_t>(nCount)));
}

CString CString::Left(int nCount) const { return Mid(0, nCount); }

CString CString::Right(int nCount) const {
    if (nCount <= 0) return CString();
    if (nCount >= GetLength()) return *this;
    return CString(m_str.substr(m_str.size() - static_cast<size_t>(nCount)));
}

CString& CString::MakeUpper() {
    if (!m_str.empty()) CharUpperBuffW(&m_str[0], static_cast<DWORD>(m_str.size()));
    return *this;
}

CString& CString::MakeLower() {
    if (!m_str.empty()) CharLowerBuffW(&m_str[0], static_cast<DWORD>(m_str.size()));
    return *this;
}

CString& CString::Trim() { return TrimRight().TrimLeft(); }

CString& CString::TrimLeft() {
    size_t i = 0;
    while (i < m_str.size() && iswspace(m_str[i])) ++i;
    m_str.erase(0, i);
    return *this;
}

CString& CString::TrimRight() {
    size_t n = m_str.size();
    while (n > 0 && iswspace(m_str[n - 1])) --n;
    m_str.resize(n);
    return *this;
}
