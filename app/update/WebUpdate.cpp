#include "app/update/WebUpdate.h"

#include <string>
#include <vector>

#include "app/update/Sha256.h"
#include "app/update/UpdateList.h"

namespace {

bool ReadFileBytes(const CString& path, std::string* pBytes) {
    HANDLE h = ::CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    pBytes->clear();
    char buf[4096];
    DWORD n = 0;
    bool ok = true;
    while ((ok = ::ReadFile(h, buf, sizeof buf, &n, nullptr) != FALSE) && n > 0)
        pBytes->append(buf, n);
    ::CloseHandle(h);
    return ok;
}

bool FileSha256(const CString& path, std::string* pHex) {
    HANDLE h = ::CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    update::Sha256 sha;
    std::vector<char> buf(1 << 16);
    DWORD n = 0;
    bool ok = true;
    while ((ok = ::ReadFile(h, buf.data(), static_cast<DWORD>(buf.size()), &n, nullptr) != FALSE) &&
           n > 0)
        sha.Update(buf.data(), n);
    ::CloseHandle(h);
    if (ok) *pHex = sha.FinishHex();
    return ok;
}

// The list file is written in the system's ANSI code page.
CString FromAnsi(const std::string& line) {
    if (line.empty()) return CString();
    int n =
        ::MultiByteToWideChar(CP_ACP, 0, line.data(), static_cast<int>(line.size()), nullptr, 0);
    CString out;
    if (n <= 0) return out;
    ::MultiByteToWideChar(CP_ACP, 0, line.data(), static_cast<int>(line.size()),
                          out.GetBufferSetLength(n), n);
    out.ReleaseBuffer(n);
    return out;
}

}  // namespace

CWebUpdate::CWebUpdate() : m_strCurVersion(L"0.0.0.0"), m_strNewVersion(L"0.0.0.0") {}

CWebUpdate::~CWebUpdate() = default;

void CWebUpdate::SetLocalDir(const CString& strFolder, BOOL bUseProgramFolder) {
    if (bUseProgramFolder) {
        wchar_t path[MAX_PATH + 1] = L"";
        DWORD n = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
        CString file(path, static_cast<int>(n));
        m_strLocalDir = file.Left(file.ReverseFind(L'\\') + 1);
        return;
    }
    m_strLocalDir = strFolder;
    if (!m_strLocalDir.IsEmpty() && m_strLocalDir[m_strLocalDir.GetLength() - 1] != L'\\')
        m_strLocalDir += L"\\";
}

bool CWebUpdate::CheckUpdate() {
    m_strFileName.Empty();
    m_strSha256.Empty();
    m_bCancel = false;
    DownloadRequest request;
    request.strUrl = m_strListUrl + CacheBreakingQuery();
    request.strPath = m_strLocalDir + L"TempUpdate.txt";
    request.dwTimeoutMs = m_dwListTimeoutMs;
    request.pCancel = &m_bCancel;
    request.nMaxBytes = m_nMaxListBytes;
    m_lastResult = DownloadToFile(request);
    if (m_lastResult != DownloadResult::Ok) return false;

    std::string bytes;
    if (!ReadFileBytes(request.strPath, &bytes)) return false;
    std::vector<std::string> lines = update::SplitLines(bytes);
    if (lines.empty() || lines[0].empty()) return false;
    update::ListHead head;
    if (!update::ParseListHead(FromAnsi(lines[0]).str(), &head)) return false;
    // A name that is not a plain installer name would be written and started outside our control.
    if (!update::IsSafeInstallerName(head.fileName)) return false;
    m_strFileName = head.fileName;
    m_strNewVersion = head.version;
    m_strSha256 = head.sha256;
    if (!update::IsNewerVersion(m_strNewVersion.str(), m_strCurVersion.str())) return false;

    m_strDescription.Empty();
    for (size_t i = 1; i < lines.size(); ++i) {
        m_strDescription += FromAnsi(lines[i]);
        m_strDescription += L"\r\n";
    }
    return true;
}

bool CWebUpdate::DownloadInstaller() {
    if (m_strBaseUrl.IsEmpty() || m_strFileName.IsEmpty()) return false;
    if (!update::IsSafeInstallerName(m_strFileName.str())) return false;
    m_bCancel = false;
    DownloadRequest request;
    request.strUrl = m_strBaseUrl + L"/" + m_strFileName + CacheBreakingQuery();
    request.strPath = m_strLocalDir + m_strFileName;
    request.pCancel = &m_bCancel;
    request.nMaxBytes = m_nMaxInstallerBytes;
    if (!m_strSha256.IsEmpty()) {
        CString expected = m_strSha256;
        request.verify = [expected](const CString& strTempPath) {
            std::string actual;
            return FileSha256(strTempPath, &actual) && update::SameDigest(actual, expected.str());
        };
    }
    m_lastResult = DownloadToFile(request);
    return m_lastResult == DownloadResult::Ok;
}
