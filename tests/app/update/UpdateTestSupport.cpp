#include "tests/app/update/UpdateTestSupport.h"

#include <algorithm>

CScratchFolder::CScratchFolder() {
    static int s_seq = 0;
    wchar_t temp[MAX_PATH] = L"";
    ::GetTempPathW(MAX_PATH, temp);
    m_path = std::wstring(temp) + L"pelto_update_" + std::to_wstring(::GetCurrentProcessId()) +
             L"_" + std::to_wstring(++s_seq) + L"\\";
    ::CreateDirectoryW(m_path.c_str(), nullptr);
}

CScratchFolder::~CScratchFolder() {
    // One level of subfolders is all the tests make.
    for (const std::wstring& name : Files()) {
        std::wstring full = m_path + name;
        if (::GetFileAttributesW(full.c_str()) & FILE_ATTRIBUTE_DIRECTORY) {
            for (const std::wstring& inner : FilesIn(full + L"\\"))
                ::DeleteFileW((full + L"\\" + inner).c_str());
            ::RemoveDirectoryW(full.c_str());
        } else {
            ::DeleteFileW(full.c_str());
        }
    }
    ::RemoveDirectoryW(m_path.c_str());
}

std::vector<std::wstring> CScratchFolder::Files() const { return FilesIn(m_path); }

std::vector<std::wstring> FilesIn(const std::wstring& folder) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW fd;
    HANDLE h = ::FindFirstFileW((folder + L"*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) return names;
    do {
        std::wstring name = fd.cFileName;
        if (name != L"." && name != L"..") names.push_back(name);
    } while (::FindNextFileW(h, &fd));
    ::FindClose(h);
    std::sort(names.begin(), names.end());
    return names;
}

bool ReadWholeFile(const std::wstring& path, std::string* pBytes) {
    HANDLE h = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                             nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    pBytes->clear();
    char buf[4096];
    DWORD n = 0;
    while (::ReadFile(h, buf, sizeof buf, &n, nullptr) && n > 0) pBytes->append(buf, n);
    ::CloseHandle(h);
    return true;
}

std::wstring TestProgramFolder() {
    wchar_t path[MAX_PATH] = L"";
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring s(path);
    return s.substr(0, s.rfind(L'\\') + 1);
}

std::string Narrow(const std::wstring& s) {
    int n = ::WideCharToMultiByte(CP_UTF8, 0, s.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string out(n > 0 ? n - 1 : 0, '\0');
    if (n > 1) ::WideCharToMultiByte(CP_UTF8, 0, s.c_str(), -1, &out[0], n, nullptr, nullptr);
    return out;
}
