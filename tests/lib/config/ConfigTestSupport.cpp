#include "tests/lib/config/ConfigTestSupport.h"

#include <algorithm>
#include <vector>

namespace config_test {

CTempFolder::CTempFolder() {
    static LONG s_nSerial = 0;
    wchar_t szTemp[MAX_PATH + 1] = {};
    ::GetTempPathW(MAX_PATH, szTemp);
    m_strPath.Format(L"%spelto-config-%lu-%ld\\", szTemp, ::GetCurrentProcessId(),
                     ::InterlockedIncrement(&s_nSerial));
    ::CreateDirectoryW(m_strPath, nullptr);
}

CTempFolder::~CTempFolder() {
    WIN32_FIND_DATAW data;
    HANDLE hFind = ::FindFirstFileW(m_strPath + L"*", &data);
    if (hFind != INVALID_HANDLE_VALUE) {
        do {
            CString strName(data.cFileName);
            if (strName == L"." || strName == L"..") continue;
            CString strFull = m_strPath + strName;
            ::SetFileAttributesW(strFull, FILE_ATTRIBUTE_NORMAL);
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                ::RemoveDirectoryW(strFull);
            } else {
                ::DeleteFileW(strFull);
            }
        } while (::FindNextFileW(hFind, &data));
        ::FindClose(hFind);
    }
    ::RemoveDirectoryW(m_strPath);
}

std::string CTempFolder::ListFiles() const {
    std::vector<std::string> names;
    WIN32_FIND_DATAW data;
    HANDLE hFind = ::FindFirstFileW(m_strPath + L"*", &data);
    if (hFind != INVALID_HANDLE_VALUE) {
        do {
            CString strName(data.cFileName);
            if (strName != L"." && strName != L"..") names.push_back(strName.ToUtf8());
        } while (::FindNextFileW(hFind, &data));
        ::FindClose(hFind);
    }
    std::sort(names.begin(), names.end());
    std::string joined;
    for (const std::string& name : names) {
        if (!joined.empty()) joined += "|";
        joined += name;
    }
    return joined;
}

bool FileExists(const CString& strPath) {
    return ::GetFileAttributesW(strPath) != INVALID_FILE_ATTRIBUTES;
}

std::string ReadBytes(const CString& strPath) {
    HANDLE h = ::CreateFileW(strPath, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                             OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return "<missing>";
    std::string bytes;
    char buffer[65536];
    DWORD nRead = 0;
    while (::ReadFile(h, buffer, sizeof(buffer), &nRead, nullptr) && nRead > 0) {
        bytes.append(buffer, nRead);
    }
    ::CloseHandle(h);
    return bytes;
}

bool WriteBytes(const CString& strPath, const std::string& bytes) {
    HANDLE h = ::CreateFileW(strPath, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    DWORD nWritten = 0;
    BOOL bOk = bytes.empty() ||
               ::WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &nWritten, nullptr);
    ::CloseHandle(h);
    return bOk && nWritten == bytes.size();
}

std::string Utf16(const std::wstring& text) {
    std::string bytes;
    bytes.reserve(text.size() * 2);
    for (wchar_t ch : text) {
        bytes.push_back(static_cast<char>(ch & 0xFF));
        bytes.push_back(static_cast<char>((ch >> 8) & 0xFF));
    }
    return bytes;
}

std::wstring FromUtf16(const std::string& bytes) {
    std::wstring text;
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
        text.push_back(static_cast<wchar_t>(static_cast<unsigned char>(bytes[i]) |
                                            (static_cast<unsigned char>(bytes[i + 1]) << 8)));
    }
    return text;
}

std::string Show(const std::string& bytes) {
    CString text(FromUtf16(bytes));
    text.Replace(L"\r", L"\\r");
    text.Replace(L"\n", L"\\n");
    std::string shown = text.ToUtf8();
    if (bytes.size() % 2) shown += "<odd byte>";
    return shown;
}

long long FirstDifference(const std::string& a, const std::string& b) {
    size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        if (a[i] != b[i]) return static_cast<long long>(i);
    }
    return a.size() == b.size() ? -1 : static_cast<long long>(n);
}

std::string LoadResourceBytes(int nId) {
    HMODULE hModule = ::GetModuleHandleW(nullptr);
    HRSRC hRes = ::FindResourceW(hModule, MAKEINTRESOURCEW(nId), RT_RCDATA);
    if (!hRes) return std::string();
    HGLOBAL hData = ::LoadResource(hModule, hRes);
    DWORD nSize = ::SizeofResource(hModule, hRes);
    const char* p = hData ? static_cast<const char*>(::LockResource(hData)) : nullptr;
    return p ? std::string(p, nSize) : std::string();
}

}  // namespace config_test
